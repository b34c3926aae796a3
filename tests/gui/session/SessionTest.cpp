// The program's windows in a desktop session, as its window manager or compositor answers:
// first start side by side, full screen over the whole screen and back to the same rectangle
// and state, the playlist window above the full-screen video and a properties dialog above the
// playlist window, pictures for dense screens, and the video drawn under Wayland. Run on a
// display of its own under each window manager and under weston (see CMakeLists.txt).
#include <QProcess>
#include <QScreen>

#include "gui/playlist/PlayListWindowFixture.h"
#include "platform/win/WindowManager.h"
#include "platform/win/WindowPlacement.h"
#include "ui/PLEProp.h"

namespace {
std::string Text(const QRect& R) {
  return std::to_string(R.x()) + "," + std::to_string(R.y()) + " " + std::to_string(R.width()) + "x" +
         std::to_string(R.height());
}

bool Near(const QColor& Seen, const QColor& Wanted) {
  return std::abs(Seen.red() - Wanted.red()) < 40 && std::abs(Seen.green() - Wanted.green()) < 40 &&
         std::abs(Seen.blue() - Wanted.blue()) < 40;
}

class Session : public PlayListWindow {
protected:
  static TForm& Video() { return *vizmoraFM; }
  // Under an X11 window manager, once it has framed the video form.
  static bool Framed() {
    if (!FullScreenStateHonoured() || QGuiApplication::platformName() != "xcb") return true;
    return RunUntil([] { return Video().frameGeometry() != Video().geometry(); });
  }
  // What the screen shows at a point, in screen coordinates.
  static QColor OnScreen(const QPoint& At) {
    return QGuiApplication::primaryScreen()->grabWindow(0, At.x(), At.y(), 1, 1).toImage().pixelColor(0, 0);
  }
  // Whether the screen shows Window's own picture at its point Local.
  static bool Shows(QWidget& Window, const QPoint& Local) {
    return Near(OnScreen(Window.mapToGlobal(Local)), Window.grab().toImage().pixelColor(Local));
  }
};

using X11Session = Session;
using WaylandSession = Session;
}  // namespace

TEST_F(X11Session, FirstStartPutsBothWindowsSideBySideWithinTheScreen) {
  ASSERT_TRUE(Framed());
  const QRect Area = Video().screen()->availableGeometry();
  // Qt may not learn of a tool window's frame: taken as large as the form's.
  const QMargins Frame(Video().x() - Video().frameGeometry().x(), Video().y() - Video().frameGeometry().y(),
                       Video().frameGeometry().right() - Video().geometry().right(),
                       Video().frameGeometry().bottom() - Video().geometry().bottom());
  const QRect List = Window().frameGeometry() | Window().geometry().marginsAdded(Frame);
  EXPECT_FALSE(Video().frameGeometry().intersects(List)) << Text(Video().frameGeometry()) << " and " << Text(List);
  EXPECT_TRUE(Area.contains(Video().frameGeometry())) << Text(Video().frameGeometry());
  EXPECT_TRUE(Area.contains(List)) << Text(List);
  EXPECT_LT(Video().x(), Window().x()) << "the list on the right";
  EXPECT_EQ(Video().size(), QSize(783, 647));
  EXPECT_EQ(Window().size(), QSize(423, 645));
}

// Under Wayland a window's place is the compositor's: only sizes are compared there.
TEST_F(Session, FullScreenCoversTheScreenAndRestoreGivesBackTheRectangleAndState) {
  ASSERT_TRUE(Framed());
  const bool Wayland = QGuiApplication::platformName().startsWith("wayland");
  const auto Same = [Wayland](const QRect& A, const QRect& B) { return Wayland ? A.size() == B.size() : A == B; };
  const QRect Normal = Video().geometry(), Screen = Video().screen()->geometry();
  // Waits for the window manager's answer: its state, then where it put the form.
  const auto Covers = [&] {
    return RunUntil([&] {
      const bool Answered = Video().windowState() & Qt::WindowFullScreen || !FullScreenStateHonoured();
      return Answered && Same(Video().geometry(), Screen);
    });
  };
  const auto Restored = [&](Qt::WindowState State, const std::function<bool()>& Placed) {
    return RunUntil([&] { return (Video().windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)) == State && Placed(); });
  };
  const auto AtNormal = [&] { return Same(Video().geometry(), Normal); };
  const auto Maximized = [&] { return Video().width() > Normal.width() && !Same(Video().geometry(), Screen); };

  // Maximized before, maximized after; restored from there, the rectangle it had at first.
  // Without a window manager nothing maximizes. (Each step waits for the last one's answer:
  // Qt's Wayland client may lose a state asked for before.)
  if (FullScreenStateHonoured()) {
    Video().SetWindowState(wsMaximized);
    ASSERT_TRUE(Restored(Qt::WindowMaximized, Maximized));
    Window().FullScreenExecute();
    EXPECT_TRUE(Covers()) << Text(Video().geometry());
    Window().RestoreExecute();
    EXPECT_TRUE(Restored(Qt::WindowMaximized, Maximized)) << Text(Video().geometry());
    Video().SetWindowState(wsNormal);
    ASSERT_TRUE(Restored(Qt::WindowNoState, AtNormal)) << Text(Video().geometry()) << ", was " << Text(Normal);
  }

  Window().FullScreenExecute();
  EXPECT_TRUE(Covers()) << Text(Video().geometry()) << " on " << Text(Screen);
  EXPECT_TRUE(Window().isVisible());
  // Stored now, the placement is the one full screen gives back.
  WINDOWPLACEMENT P;
  P.length = sizeof P;
  ASSERT_TRUE(GetWindowPlacement(Video().Handle(), &P));
  EXPECT_EQ(P.showCmd, SW_SHOWNORMAL);
  const RECT& R = P.rcNormalPosition;
  EXPECT_EQ(QRect(R.left, R.top, R.right - R.left, R.bottom - R.top), Normal);
  Window().RestoreExecute();
  EXPECT_TRUE(Restored(Qt::WindowNoState, AtNormal)) << Text(Video().geometry()) << ", was " << Text(Normal);
}

TEST_F(X11Session, TheListStaysAboveTheFullScreenVideoAndAPropertiesDialogAboveTheList) {
  ASSERT_TRUE(Framed());
  const QPoint InList = Window().LB->geometry().center();
  Window().FullScreenExecute();
  ASSERT_TRUE(RunUntil([] { return Video().geometry() == Video().screen()->geometry(); }));
  EXPECT_TRUE(RunUntil([&] { return Shows(Window(), InList); })) << "the list is not in front of the video";

  // The list over the dialog's place, then the dialog: it opens in front, wholly on the screen.
  Window().RestoreExecute();
  Add(TTestMedia::GreenJpeg);
  Window().move(Video().screen()->geometry().topLeft() + QPoint(300, 200));
  ASSERT_TRUE(RunUntil([&] { return Window().frameGeometry().topLeft() == Video().screen()->geometry().topLeft() + QPoint(300, 200); }));
  ClickRow(0);
  Window().PropertiesExecute();
  ASSERT_TRUE(PLEProp);
  TPLEProp& Dialog = *PLEProp;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
  const QPoint InBoth = Dialog.mapFromGlobal(Window().geometry().intersected(Dialog.geometry()).center());
  EXPECT_TRUE(RunUntil([&] { return Shows(Dialog, InBoth); })) << "the dialog is not in front of the list";
  EXPECT_TRUE(Dialog.screen()->availableGeometry().contains(Dialog.frameGeometry())) << Text(Dialog.frameGeometry());
}

TEST_F(Session, ThePicturesComeTwiceAsDenseForDenseScreens) {
  for (QAction* Action : {Window().Play, Window().FullScreen, Window().SavePL})
    for (const int Size : {16, 32}) {
      const QPixmap Picture = Action->icon().pixmap(QSize(Size, Size), 2.0);
      EXPECT_EQ(Picture.devicePixelRatio(), 2.0) << Action->text().toStdString() << " at " << Size;
      EXPECT_EQ(Picture.size(), QSize(Size, Size) * 2) << Action->text().toStdString() << " at " << Size;
    }
}

// The compositor's own screenshot, of a red clip playing full screen.
TEST_F(WaylandSession, TheVideoIsDrawnFullScreen) {
  Add(TTestMedia::RedClip);
  PlayRow(0);
  Window().HidePLExecute();
  Window().FullScreenExecute();
  ASSERT_TRUE(RunUntil([] { return Video().size() == Video().screen()->size(); }));
  QImage Shot;
  const auto Red = [&] {
    for (const QString& Old : QDir(Dir.path()).entryList({"*.png"})) QFile::remove(Dir.filePath(Old));
    QProcess Screenshooter;
    Screenshooter.setWorkingDirectory(Dir.path());
    Screenshooter.start("weston-screenshooter", {});
    if (!Screenshooter.waitForFinished(10000)) return false;
    const QStringList Shots = QDir(Dir.path()).entryList({"*.png"});
    if (Shots.isEmpty()) return false;
    Shot = QImage(Dir.filePath(Shots.first()));
    return Near(Shot.pixelColor(Shot.rect().center()), Qt::red) && Near(Shot.pixelColor(40, 40), Qt::red);
  };
  EXPECT_TRUE(RunUntil(Red, 30000)) << "the screen does not show the red clip";
  EXPECT_TRUE(Reports.empty());
}
