// What the playlist window looks like on the screen: the rows' colours and the mark of the entry
// playing, lengths as they are read, captions that fit in both windows and both properties
// frames, and a long list that grows as it loads and paints only the rows in view.
#include <QAbstractSlider>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>

#include "app/EntryKinds.h"
#include "framework/TimeText.h"
#include "gui/playlist/PlayListWindowFixture.h"
#include "platform/dshow/MonotonicClock.h"
#include "engine/LengthReader.h"
#include "ui/AVIFrm.h"
#include "ui/DesignControls.h"
#include "ui/GIFFrm.h"
#include "ui/PLEProp.h"

namespace {
// Some pixel of the area is near the colour.
bool Shows(const QImage& Image, const QRect& Area, const QColor& Colour) {
  for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
    for (int X = Area.left(); X <= Area.right(); ++X) {
      const QColor C = Image.pixelColor(X, Y);
      if (std::abs(C.red() - Colour.red()) < 60 && std::abs(C.green() - Colour.green()) < 60 &&
          std::abs(C.blue() - Colour.blue()) < 60)
        return true;
    }
  return false;
}

// A control whose place the design gives, and which must not lie over another.
bool IsControl(const QWidget* W) {
  return qobject_cast<const QLabel*>(W) || qobject_cast<const QAbstractButton*>(W) ||
         qobject_cast<const QAbstractSlider*>(W) || qobject_cast<const QLineEdit*>(W);
}

// Every caption in the widget's tree fits its control, and no two controls side by side overlap.
void ExpectCaptionsFit(QWidget* Root) {
  for (QWidget* W : Root->findChildren<QWidget*>()) {
    if (!W->isVisibleTo(Root)) continue;
    const QString Name = W->objectName().isEmpty() ? W->metaObject()->className() : W->objectName();
    if (auto* Panel = dynamic_cast<TCaptionPanel*>(W)) {
      EXPECT_TRUE(Panel->CaptionFont()) << Name.toStdString() << ": " << Panel->text().toStdString() << " not shown";
    } else if (auto* Label = qobject_cast<QLabel*>(W); Label && !Label->text().isEmpty()) {
      EXPECT_LE(Label->sizeHint().width(), Label->width()) << Name.toStdString() << ": " << Label->text().toStdString();
      EXPECT_LE(Label->fontMetrics().height(), Label->height()) << Name.toStdString();
    } else if (auto* Button = qobject_cast<QPushButton*>(W); Button && !Button->text().isEmpty()) {
      // The caption and the margins round it; the style's least button width aside.
      const int Margins = 2 * (Button->style()->pixelMetric(QStyle::PM_ButtonMargin) +
                               Button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
      EXPECT_LE(Button->fontMetrics().horizontalAdvance(Button->text()) + Margins, Button->width())
          << Name.toStdString() << ": " << Button->text().toStdString();
    } else if (auto* Slider = qobject_cast<QSlider*>(W)) {
      // Its tick marks within its bounds.
      const bool Across = Slider->orientation() == Qt::Horizontal;
      EXPECT_LE(Across ? Slider->sizeHint().height() : Slider->sizeHint().width(),
                Across ? Slider->height() : Slider->width())
          << Name.toStdString();
    } else if (auto* Box = qobject_cast<QCheckBox*>(W)) {
      EXPECT_LE(Box->sizeHint().width(), Box->width()) << Name.toStdString() << ": " << Box->text().toStdString();
    }
  }
  QList<QWidget*> Controls = Root->findChildren<QWidget*>();
  Controls.removeIf([Root](QWidget* W) { return !IsControl(W) || !W->isVisibleTo(Root); });
  for (QWidget* A : Controls)
    for (QWidget* B : Controls)
      if (A < B && A->parent() == B->parent()) {
        EXPECT_FALSE(A->geometry().intersects(B->geometry()))
            << A->objectName().toStdString() << " " << A->metaObject()->className() << " overlaps "
            << B->objectName().toStdString() << " " << B->metaObject()->className();
      }
}
}  // namespace

TEST_F(PlayListWindow, SelectedAndUnselectedRowsShowTheirColoursOnTheScreen) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenJpeg);
  ClickRow(0);
  RunFor(200);
  const QRect Rows = RowRect(0).united(RowRect(1));
  const QPoint At = Window().LB->viewport()->mapToGlobal(Rows.topLeft());
  const QImage Shot = QGuiApplication::primaryScreen()->grabWindow(0, At.x(), At.y(), Rows.width(), Rows.height()).toImage();
  ASSERT_EQ(Shot.height(), 32);
  const int Width = Shot.width();
  const auto Row = [Width](int Index, int Left, int Right) { return QRect(Left, Index * 16 + 2, Right - Left, 12); };

  EXPECT_EQ(Shot.pixelColor(Width / 2, 8), QColor(0, 0, 128)) << "selected: navy";
  EXPECT_TRUE(Shows(Shot, Row(0, 1, 60), QColor(255, 255, 255))) << "selected: a white name";
  EXPECT_TRUE(Shows(Shot, Row(0, Width - 60, Width - 2), QColor(255, 255, 0))) << "selected: a yellow length";
  EXPECT_EQ(Shot.pixelColor(Width / 2, 24), QColor(255, 255, 255)) << "unselected: white";
  EXPECT_TRUE(Shows(Shot, Row(1, 1, 60), QColor(0, 0, 0))) << "unselected: a black name";
  EXPECT_TRUE(Shows(Shot, Row(1, Width - 60, Width - 2), QColor(0, 0, 255))) << "unselected: a blue length";
  EXPECT_FALSE(Shows(Shot, Row(1, Width - 60, Width - 2), QColor(255, 255, 0)));
}

TEST_F(PlayListWindow, ThePlayMarkFollowsTheShowInBothColourSchemes) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::RedClip);
  const QColor Blue(0, 0, 255), Yellow(255, 255, 0);
  // Some pixel of the mark's colour before the row's name.
  const auto Marked = [this](int Row, const QColor& Colour) {
    const QImage Shot = Window().LB->viewport()->grab().toImage();
    const qreal Ratio = Shot.devicePixelRatio();
    const QRect Gutter(2, RowRect(Row).top() + 3, 9, 10);
    return Shows(Shot, QRect(Gutter.topLeft() * Ratio, Gutter.size() * Ratio), Colour);
  };
  EXPECT_FALSE(Marked(0, Blue) || Marked(0, Yellow)) << "nothing plays yet";
  PlayRow(0);  // the double click selects the row
  EXPECT_TRUE(RunUntil([&] { return Marked(0, Yellow); }, 5000)) << "selected: a yellow mark";
  ClickRow(1);
  EXPECT_TRUE(RunUntil([&] { return Marked(0, Blue); }, 5000)) << "not selected: a blue mark";
  EXPECT_FALSE(Marked(1, Yellow));
  PlayRow(1);
  EXPECT_TRUE(RunUntil([&] { return Marked(1, Yellow) && !Marked(0, Blue); }, 5000)) << "selected: a yellow mark";
  ClickButton(Window().Pause);
  RunFor(100);
  EXPECT_TRUE(Marked(1, Yellow)) << "paused, the entry is still on screen";
  ClickButton(Window().Stop);
  EXPECT_TRUE(RunUntil([&] { return !Marked(1, Yellow); }, 5000));
}

TEST_F(PlayListWindow, RowsShowLengthsAsReadOrWhyNotAndRepaintAfterApply) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::UnknownType);
  Add(TTestMedia::GreenJpeg);
  const auto Length = [this](int Row) {
    const std::string Text = Window().LB->Items(Row);
    return Text.substr(Text.find_last_of(' ') + 1);
  };
  EXPECT_TRUE(RunUntil([&] { return Length(0) == TimeText(4 / 86400.0); })) << Length(0);
  EXPECT_TRUE(RunUntil([&] { return List().Items(1)->LengthCheck == lcFailed; }));
  EXPECT_EQ(Length(1), "--:--:--");
  const QString Hint = Window().LB->model()->data(Window().LB->model()->index(1, 0), Qt::ToolTipRole).toString();
  EXPECT_TRUE(Hint.contains("The type of the file is not known.")) << Hint.toStdString();

  std::vector<int> Drawn;
  Window().LB->OnDrawItem = [&](QObject* Sender, int Index, QPainter& Canvas, const QRect& Rect, TOwnerDrawState State) {
    Drawn.push_back(Index);
    Window().LBDrawItem(Sender, Index, Canvas, Rect, State);
  };
  Window().ShowProperties(2);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(PLEProp));
  static_cast<TGIFFrm*>(PLEProp->Frame())->TrackBar1->setValue(7);
  RunFor(100);
  Drawn.clear();
  QTest::mouseClick(PLEProp->Button1, Qt::LeftButton);
  EXPECT_TRUE(RunUntil([&] { return std::count(Drawn.begin(), Drawn.end(), 2) > 0; }, 5000)) << "repainted";
  EXPECT_EQ(Length(2), TimeText(7 / 86400.0));
}

TEST_F(PlayListWindow, EveryCaptionFitsInBothWindowsAndBothFrames) {
  ExpectCaptionsFit(&Window());
  EXPECT_LE(Window().MainMenu1->sizeHint().width(), Window().width());
  EXPECT_LE(Window().ToolBar1->sizeHint().width(), Window().width()) << "every tool button in view";
  ExpectCaptionsFit(vizmoraFM);

  // The properties dialog with each frame as designed, the overlay's rectangle as a new entry has it.
  auto* Video = new TAVIFrm;
  Video->SetOverlayRect(0, 0, 0.1f, 0.1f);
  for (IPropertiesFrame* Frame : std::initializer_list<IPropertiesFrame*>{Video, new TGIFFrm}) {
    TPLEProp Dialog;
    Dialog.SetFrame(Frame);
    Dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
    ExpectCaptionsFit(&Dialog);
  }
}

TEST_F(PlayListWindow, ALongListGrowsAsItLoadsAtTheScreensPaceAndPaintsOnlyTheRowsInView) {
  const std::string Path = (Dir.path() + "/long.pll").toStdString();
  {
    TVizmoraPlayer Player;
    TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
    for (int I = 0; I < 20000; ++I) Kinds.AddMediaFile("/show/clip" + std::to_string(I) + (I % 2 ? ".jpg" : ".avi"));
    Kinds.SavePlayList(Path);
  }
  // Each paint of the list during the load, with the rows it knew of. The list paces its paints
  // by a clock this test drives: each look at it is 2 ms on, whatever the machine's speed.
  std::vector<int> Painted;
  struct TWatch : QObject {
    std::function<void()> Seen;
    bool eventFilter(QObject*, QEvent* E) override {
      if (E->type() == QEvent::Paint) Seen();
      return false;
    }
  } Watch;
  Watch.Seen = [&] { Painted.push_back(Window().LB->model()->rowCount()); };
  long long Ms = 0;
  Window().LB->SetPaceClock([&Ms] { return Ms += 2; });
  Window().LB->viewport()->installEventFilter(&Watch);
  const long long Started = Ms;
  Window().LoadPlayList(Path);
  const long long Elapsed = Ms - Started;
  Window().LB->viewport()->removeEventFilter(&Watch);
  Window().LB->SetPaceClock(MonotonicMilliseconds);

  ASSERT_EQ(List().Count(), 20000);
  ASSERT_FALSE(Painted.empty()) << "the list showed nothing while it loaded";
  EXPECT_LT(Painted.front(), 20000) << "the first rows were shown before the load ended";
  const double Frame = 1000.0 / QGuiApplication::primaryScreen()->refreshRate();
  EXPECT_LE(Painted.size(), Elapsed / Frame + 2) << "painted more often than the screen refreshes";
  ASSERT_TRUE(ShowsEveryRow());

  // Scrolled to the end, a paint draws the rows in view and no others.
  std::vector<int> Drawn;
  Window().LB->OnDrawItem = [&](QObject* Sender, int Index, QPainter& Canvas, const QRect& Rect, TOwnerDrawState State) {
    Drawn.push_back(Index);
    Window().LBDrawItem(Sender, Index, Canvas, Rect, State);
  };
  Window().LB->scrollToBottom();
  Window().LB->viewport()->repaint();
  const int InView = Window().LB->viewport()->height() / 16 + 1;
  ASSERT_FALSE(Drawn.empty());
  EXPECT_LE(static_cast<int>(Drawn.size()), InView + 1);
  EXPECT_EQ(*std::max_element(Drawn.begin(), Drawn.end()), 19999);
  EXPECT_GE(*std::min_element(Drawn.begin(), Drawn.end()), 19999 - InView);
  EXPECT_EQ(Window().LB->Items(19999), "clip19999.jpg" + std::string(10, ' ') + TimeText(10 / 86400.0));

  // The keys move the focus through the whole list and keep it in view; Shift extends.
  TVirtualListBox* List = Window().LB;
  List->setFocus();
  QTest::keyClick(List, Qt::Key_Home);
  EXPECT_EQ(List->ItemIndex(), 0);
  EXPECT_EQ(List->ItemRect(0).top(), 0);
  QTest::keyClick(List, Qt::Key_PageDown);
  EXPECT_EQ(List->ItemIndex(), InView - 1);
  EXPECT_TRUE(List->viewport()->rect().contains(List->ItemRect(List->ItemIndex())));
  QTest::keyClick(List, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(List->ItemIndex(), 19999);
  EXPECT_TRUE(List->viewport()->rect().contains(List->ItemRect(19999)));
  EXPECT_TRUE(List->Selected(InView - 1) && List->Selected(12345) && List->Selected(19999));
  EXPECT_FALSE(List->Selected(InView - 2));
  ClickRow(19998);
  EXPECT_TRUE(List->Selected(19998));
  EXPECT_FALSE(List->Selected(19999)) << "a plain click selects its row alone";
}
