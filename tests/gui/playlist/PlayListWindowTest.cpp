// The playlist window as a user meets it: files added through the dialog, played by a double
// click, followed on the status bar and the seek bar, paused, sought, silenced, saved, loaded,
// deleted and edited, on real media.
#include <QFileInfo>
#include <QRegularExpression>
#include <QStatusBar>
#include <fstream>

#include "app/EntryKinds.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "fakes/ManualClock.h"
#include "framework/FileNames.h"
#include "framework/TimeText.h"
#include "gui/playlist/PlayListWindowFixture.h"
#include "settings/ProgressBarEx.h"
#include "settings/TrackBarEx.h"
#include "ui/MessagesDialog.h"
#include "ui/PLEProp.h"

namespace {
QString Folder(const std::string& Path) { return QFileInfo(QString::fromStdString(Path)).absolutePath(); }
QString Name(const std::string& Path) { return QFileInfo(QString::fromStdString(Path)).fileName(); }
std::string Seconds(double S) { return TimeText(S / 86400); }
}  // namespace

TEST_F(PlayListWindow, TypicalRunAddsFilesThroughTheDialogAndPlaysOnADoubleClick) {
  // With nothing current the position display reads zero on both sides, and the bar stays.
  const std::string Zero = Seconds(0) + "/" + Seconds(0);
  EXPECT_TRUE(RunUntil([this, &Zero] { return Window().StatusText() == Zero; }, 5000)) << Window().StatusText();
  EXPECT_EQ(Window().trPos->Position(), 0);

  const std::string Red = Media(TTestMedia::RedClip), Green = Media(TTestMedia::GreenJpeg),
                    Clip = Media(TTestMedia::AviMjpegPcm);
  AnswerFileDialog(Folder(Red), "\"" + Name(Red) + "\" \"" + Name(Green) + "\" \"" + Name(Clip) + "\"");
  ClickButton(Window().AddFile);
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(Window().LB->Count(), 3);
  EXPECT_EQ(List().Items(0)->FileName, Red) << "in the dialog's order, with full paths";
  EXPECT_EQ(List().Items(1)->FileName, Green);
  EXPECT_EQ(List().Items(2)->FileName, Clip);
  EXPECT_EQ(List().Current, 0);
  for (int I = 0; I < 3; ++I) EXPECT_EQ(List().Items(I)->State, esIdle) << "nothing plays yet";
  EXPECT_NE(vizmoraFM->FG->GraphState(), gsRunning);
  // Rows: a video shows its file's length once it has been read, a picture its display time.
  EXPECT_TRUE(RunUntil([this] { return Window().LB->Items(0) == "red.avi" + std::string(10, ' ') + Seconds(4); }))
      << Window().LB->Items(0);
  EXPECT_EQ(Window().LB->Items(1), "green.jpg" + std::string(10, ' ') + Seconds(10));
  EXPECT_EQ(Window().LB->Items(3), "");

  PlayRow(0);
  EXPECT_EQ(List().State, esPlaying);
  // The position text follows the playing entry; the bar moves with it.
  const QRegularExpression PositionText("^(.+)/" + QRegularExpression::escape(QString::fromStdString(Seconds(4))) + "$");
  std::vector<std::string> Seen;
  ASSERT_TRUE(RunUntil([&] {
    const std::string Text = Window().StatusText();
    if (Seen.empty() || Seen.back() != Text) Seen.push_back(Text);
    return Window().trPos->Position() > 0 && Text == Seconds(2) + "/" + Seconds(4);
  })) << Window().StatusText();
  for (const std::string& Text : Seen) {
    if (Text != Zero) {
      EXPECT_TRUE(PositionText.match(QString::fromStdString(Text)).hasMatch()) << Text;
    }
  }
  EXPECT_EQ(Window().PosTimer->Interval(), 500);
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, PauseKeepsBarAndTextAndOnlyALeftReleaseOnTheBarSeeks) {
  Add(TTestMedia::RedClip);  // 4 s
  PlayRow(0);
  ASSERT_TRUE(RunUntil([] { return PositionMs() > 1100; }));
  ASSERT_TRUE(RunUntil([this] { return Window().trPos->Position() > 0; }));
  ClickButton(Window().Pause);
  ASSERT_EQ(List().State, esPaused);
  // The main graph's notice of the pause is the last text.
  ASSERT_TRUE(RunUntil([this] { return Window().StatusText() == "Paused"; }, 5000)) << Window().StatusText();
  const std::string Text = Window().StatusText();
  const int Bar = Window().trPos->Position();
  RunFor(1500);
  EXPECT_EQ(Window().StatusText(), Text) << "paused: the timer changes nothing";
  EXPECT_EQ(Window().trPos->Position(), Bar);

  TProgressBarEx* Seek = Window().trPos;
  ASSERT_EQ(Seek->width(), 250);
  const auto Release = [Seek](Qt::MouseButton Button, int PressX, int ReleaseX) {
    QTest::mousePress(Seek, Button, {}, QPoint(PressX, 9));
    QTest::mouseRelease(Seek, Button, {}, QPoint(ReleaseX, 9));
  };
  Release(Qt::LeftButton, 124, 124);
  EXPECT_EQ(Seek->Position(), 50);
  EXPECT_TRUE(RunUntil([] { return std::abs(PositionMs() - 2000) <= 40; }, 5000)) << PositionMs();
  EXPECT_EQ(List().Items(0)->State, esPaused) << "seeking leaves a paused entry paused";

  Release(Qt::RightButton, 10, 10);
  EXPECT_EQ(Seek->Position(), 50) << "a right-button release changes nothing";
  RunFor(300);
  EXPECT_NEAR(PositionMs(), 2000, 40);

  Release(Qt::LeftButton, 124, 300);  // released beyond the bar: clamped to 100
  EXPECT_EQ(Seek->Position(), 100);
  EXPECT_TRUE(RunUntil([] { return PositionMs() >= 3900; }, 5000)) << PositionMs();

  Release(Qt::LeftButton, 10, -20);  // released left of the bar: 0
  EXPECT_EQ(Seek->Position(), 0);
  EXPECT_TRUE(RunUntil([] { return PositionMs() <= 40; }, 5000)) << PositionMs();

  // Moving with the left button held makes the bar follow without seeking.
  QTest::mousePress(Seek, Qt::LeftButton, {}, QPoint(62, 9));
  QTest::mouseMove(Seek, QPoint(186, 9));
  EXPECT_EQ(Seek->Position(), 75);
  EXPECT_LE(PositionMs(), 40);
  QTest::mouseRelease(Seek, Qt::LeftButton, {}, QPoint(186, 9));

  ClickButton(Window().Pause);
  EXPECT_EQ(List().State, esPlaying) << "Pause again resumes";
}

TEST_F(PlayListWindow, VolumeZeroSilencesBothGraphsAndStaysSilentForTheNextEntry) {
  EXPECT_EQ(Window().SoundLev->toolTip(), "Volume");
  Add(TTestMedia::RedClip);
  Add(TTestMedia::AviMjpegPcm);
  PlayRow(0);
  EXPECT_EQ(GraphVolume(vizmoraFM->FG), 0) << "nothing is sent before the user moves the slider";

  TTrackBarEx* Slider = Window().SoundLev;
  const QPoint Thumb(Slider->width() - 6, Slider->height() / 2);  // on the thumb, at the right end
  QTest::mousePress(Slider, Qt::LeftButton, {}, Thumb);
  QTest::mouseMove(Slider, QPoint(-40, Slider->height() / 2));
  EXPECT_EQ(GraphVolume(vizmoraFM->FG), 0) << "the volume changes on release only";
  QTest::mouseRelease(Slider, Qt::LeftButton, {}, QPoint(-40, Slider->height() / 2));
  ASSERT_EQ(Slider->Position(), 0);
  EXPECT_EQ(GraphVolume(vizmoraFM->FG), -10000);
  EXPECT_EQ(GraphVolume(vizmoraFM->SG), -10000);

  PlayRow(1);  // a new main graph
  EXPECT_EQ(GraphVolume(vizmoraFM->FG), -10000) << "the next entry plays silent too";
}

TEST_F(PlayListWindow, SavedOverAnOlderFileAndLoadedTwiceGivesEveryEntryTwiceWhilePlayGoesOn) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenJpeg);
  static_cast<TGIFPLE*>(List().Items(1))->SoundFile = Media(TTestMedia::Wav);
  Add(TTestMedia::AviMjpegPcm);
  static_cast<TAVIPLE*>(List().Items(2))->AdditionalFile = Media(TTestMedia::BlueClip);

  const std::string Saved = (Dir.path() + "/show.pll").toStdString();
  std::ofstream(Saved) << "an older file, replaced without a question";
  AnswerFileDialog(Dir.path(), "show");  // the default extension is appended
  ClickButton(Window().SavePL);

  PlayRow(0);
  for (int Load = 0; Load < 2; ++Load) {
    AnswerFileDialog(Dir.path(), "show.pll");
    ClickButton(Window().LoadPL);
  }
  ASSERT_EQ(List().Count(), 9);
  EXPECT_EQ(Window().LB->Count(), 9);
  ASSERT_TRUE(ShowsEveryRow());
  for (int I = 3; I < 9; ++I) {
    EXPECT_EQ(List().Items(I)->FileName, List().Items(I % 3)->FileName) << I;
    EXPECT_EQ(EntryKindOf(*List().Items(I)).Code, EntryKindOf(*List().Items(I % 3)).Code) << I;
  }
  EXPECT_EQ(static_cast<TGIFPLE*>(List().Items(7))->SoundFile, Media(TTestMedia::Wav));
  EXPECT_EQ(static_cast<TAVIPLE*>(List().Items(8))->AdditionalFile, Media(TTestMedia::BlueClip));
  EXPECT_EQ(List().Current, 0);
  EXPECT_EQ(List().Items(0)->State, esPlaying) << "loading does not interrupt the entry playing";
  EXPECT_EQ(vizmoraFM->FG->GraphState(), gsRunning);

  // A loaded entry plays, pauses and stops as an added one does, its overlay included.
  PlayRow(8);
  EXPECT_EQ(List().Items(0)->State, esStopped);
  ClickButton(Window().Pause);
  EXPECT_EQ(List().Items(8)->State, esPaused);
  ClickButton(Window().Stop);
  EXPECT_EQ(List().Items(8)->State, esStopped);
  ClickButton(Window().Play);
  EXPECT_EQ(List().Items(8)->State, esPlaying);
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, DeleteRemovesTheFocusedRowOnlyAndStopsTheEntryPlaying) {
  for (auto Kind : {TTestMedia::RedClip, TTestMedia::GreenJpeg, TTestMedia::AviMjpegPcm})
    Add(Kind);
  TPlayListEntry* Third = List().Items(2);
  PlayRow(0);
  // Rows 0 to 2 selected, row 2 focused: only row 2 goes.
  ClickRow(2, Qt::ShiftModifier);
  ASSERT_TRUE(Window().LB->Selected(0) && Window().LB->Selected(2));
  ASSERT_EQ(Window().LB->ItemIndex(), 2);
  ClickButton(Window().DelItem);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Window().LB->Count(), 2);
  EXPECT_EQ(List().IndexOf(Third), -1);
  EXPECT_EQ(List().Items(0)->State, esPlaying) << "another row's entry plays on";

  ClickRow(0);
  ClickButton(Window().DelItem);
  EXPECT_EQ(List().Count(), 1);
  EXPECT_EQ(List().State, esStopped);
  EXPECT_NE(vizmoraFM->FG->GraphState(), gsRunning) << "the entry playing was stopped";
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, PropertiesOpenWithoutBlockingSeveralAtOnceAndCloseWithTheirEntry) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenJpeg);
  ClickRow(0);
  ClickButton(Window().Properties);
  ASSERT_TRUE(PLEProp);
  QPointer<TPLEProp> First = PLEProp;
  EXPECT_TRUE(First->isVisible());
  EXPECT_FALSE(First->isModal());
  EXPECT_EQ(First->Entry(), List().Items(0));
  EXPECT_EQ(First->Frame()->objectName(), "AVIFrm");

  ClickRow(1);  // the list stays usable
  ChooseMenuItem("File", Window().Properties);
  ASSERT_TRUE(PLEProp);
  EXPECT_NE(PLEProp.data(), First.data()) << "PLEProp names the dialog opened last";
  EXPECT_EQ(PLEProp->Frame()->objectName(), "GIFFrm");
  EXPECT_TRUE(First->isVisible());

  ClickRow(0);
  ClickButton(Window().DelItem);
  EXPECT_TRUE(RunUntil([&First] { return First.isNull(); }, 5000)) << "a dialog whose entry went closes";
  EXPECT_TRUE(PLEProp->isVisible());
}

TEST_F(PlayListWindow, HiddenListComesBackFromThePopupMenuAndTheCloseBoxHidesToo) {
  ChooseMenuItem("View", Window().HidePL);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_FALSE(Window().HidePL->isEnabled());
  EXPECT_TRUE(Window().ShowPL->isEnabled());

  QMenu* Popup = OpenVideoPopupMenu();
  QStringList Items;
  for (QAction* Item : Popup->actions()) Items << QString(Item->text()).remove('&');
  EXPECT_EQ(Items, QStringList({"Hide Play List", "Show Play List", "Play", "Pause", "Stop", "Full Screen", "Restore"}));
  QTest::mouseClick(Popup, Qt::LeftButton, {}, Popup->actionGeometry(Window().ShowPL).center());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_TRUE(Window().HidePL->isEnabled());
  EXPECT_FALSE(Window().ShowPL->isEnabled());

  Window().close();
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(Window().ShowPL->isEnabled());
  EXPECT_TRUE(vizmoraFM->isVisible()) << "the program goes on";
  EXPECT_TRUE(PlayLstFm) << "hiding keeps the window";
}

TEST_F(PlayListWindow, FullScreenTwiceIsImpossibleAndTheVideoPlaysOnThroughBothChanges) {
  Add(TTestMedia::RedClip);
  PlayRow(0);
  // The renderer keeps drawing into the video window after its form changed state.
  const auto Drawing = [] {
    const LONGLONG From = PositionMs();
    return RunUntil([From] {
      const QColor Centre = vizmoraFM->VW->grab().toImage().pixelColor(vizmoraFM->VW->rect().center());
      return PositionMs() != From && Centre.red() > 200 && Centre.green() < 60 && Centre.blue() < 60;
    });
  };
  ASSERT_TRUE(Drawing());

  ClickButton(Window().FullScreen);
  EXPECT_EQ(vizmoraFM->WindowState(), wsMaximized);
  EXPECT_TRUE(vizmoraFM->FullScreen());
  EXPECT_FALSE(Window().FullScreen->isEnabled());
  EXPECT_TRUE(Window().Restore->isEnabled());
  ClickButton(Window().FullScreen);  // disabled: nothing happens
  EXPECT_TRUE(vizmoraFM->FullScreen());
  EXPECT_TRUE(RunUntil([] { return vizmoraFM->isVisible(); }, 5000));
  EXPECT_TRUE(Window().isVisible());
  EXPECT_TRUE(Drawing()) << "full screen";

  ClickButton(Window().Restore);
  EXPECT_EQ(vizmoraFM->WindowState(), wsNormal);
  EXPECT_FALSE(vizmoraFM->FullScreen());
  EXPECT_TRUE(Window().FullScreen->isEnabled());
  EXPECT_FALSE(Window().Restore->isEnabled());
  EXPECT_TRUE(Drawing()) << "restored";
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, TheListsMenuActsOnTheRowRightClickedWithTheWindowsActions) {
  for (auto Kind : {TTestMedia::GreenJpeg, TTestMedia::RedClip, TTestMedia::BlueClip}) Add(Kind);
  ClickRow(0);
  QMenu* Menu = Window().PopupMenu1;
  const auto RightClick = [&](int Row) {
    QTest::mouseClick(Window().windowHandle(), Qt::RightButton, {},
                      Window().LB->viewport()->mapTo(&Window(), RowRect(Row).center()));
    return RunUntil([Menu] { return Menu->isVisible(); }, 5000);
  };
  ASSERT_TRUE(RightClick(2));
  QList<QAction*> Items = Menu->actions();
  Items.removeIf([](QAction* A) { return A->isSeparator(); });
  EXPECT_EQ(Items, (QList<QAction*>{Window().Play, Window().Properties, Window().DelItem, Window().MoveUp,
                                    Window().MoveDown}));
  EXPECT_EQ(Window().LB->ItemIndex(), 2);
  EXPECT_TRUE(Window().LB->Selected(2) && !Window().LB->Selected(0)) << "the row clicked alone is selected";
  QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Window().Play).center());
  ASSERT_TRUE(RunUntil([this] { return List().Items(2)->State == esPlaying; })) << "Play plays the row clicked";

  ASSERT_TRUE(RightClick(2));
  QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Window().MoveUp).center());
  EXPECT_EQ(ExtractFileName(List().Items(1)->FileName), "blue.avi");
  EXPECT_TRUE(Window().LB->Selected(1) && !Window().LB->Selected(2)) << "the moved row alone is selected";
  EXPECT_EQ(List().Current, 1);
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, ANoteOutlivesThePositionForFiveSecondsAndStaysWholeInTheToolTipAndTheMessages) {
  TManualClock Clock;
  Add(TTestMedia::RedClip);
  PlayRow(0);
  const std::string Note = "a note longer than the status bar is wide: " + std::string(120, 'x');
  Window().ShowStatus(Note);
  Window().PosTimerTimer(nullptr);
  EXPECT_EQ(Window().StatusText(), Note);
  Clock.AdvanceSeconds(4.9);
  Window().PosTimerTimer(nullptr);
  EXPECT_EQ(Window().StatusText(), Note);
  EXPECT_EQ(Window().StatusBar1->toolTip().toStdString(), Note);
  Clock.AdvanceSeconds(0.2);
  Window().PosTimerTimer(nullptr);
  EXPECT_NE(Window().StatusText(), Note) << "the position is shown again";

  ChooseMenuItem("View", Window().Messages1);
  EXPECT_TRUE(RunUntil([this] { return Window().MessagesDialog->isVisible(); }, 5000));
  EXPECT_TRUE(Window().MessagesDialog->Text().contains(QString::fromStdString(Note)));
}
