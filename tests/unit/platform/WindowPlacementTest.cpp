#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "fakes/FakePlacedWindow.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowPlacement.h"

namespace {
RECT RectOf(const QRect& R) { return RECT{R.left(), R.top(), R.left() + R.width(), R.top() + R.height()}; }

// The placement set, and the normal rectangle it left.
QRect Placed(TFakePlacedWindow& Window, const QRect& Normal, UINT ShowCmd = SW_SHOWNORMAL) {
  WINDOWPLACEMENT P;
  P.length = sizeof P;
  P.showCmd = ShowCmd;
  P.rcNormalPosition = RectOf(Normal);
  EXPECT_TRUE(SetWindowPlacement(HandleOf(&Window), &P));
  return Window.Normal;
}
}  // namespace

TEST(WindowPlacement, ReadsAndSetsTheNormalRectangleAndState) {
  TFakePlacedWindow Window;
  Window.Normal = QRect(100, 120, 500, 400);
  Window.States = Qt::WindowMaximized;
  WINDOWPLACEMENT P;
  P.length = sizeof P;
  ASSERT_TRUE(GetWindowPlacement(HandleOf(&Window), &P));
  EXPECT_EQ(P.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(QRect(QPoint(P.rcNormalPosition.left, P.rcNormalPosition.top),
                  QPoint(P.rcNormalPosition.right - 1, P.rcNormalPosition.bottom - 1)),
            QRect(100, 120, 500, 400));

  Placed(Window, QRect(110, 130, 300, 200), SW_SHOWMINIMIZED);
  EXPECT_EQ(Window.States, Qt::WindowMinimized);
  EXPECT_TRUE(Window.Shown);
  Placed(Window, QRect(110, 130, 300, 200), SW_HIDE);
  EXPECT_FALSE(Window.Shown);

  QObject NoWindow;
  P.length = sizeof P;
  EXPECT_FALSE(GetWindowPlacement(HandleOf(&NoWindow), &P));
  EXPECT_FALSE(SetWindowPlacement(HandleOf(&NoWindow), &P));
}

TEST(WindowPlacement, ARectangleWhoseMonitorIsGoneComesBackOntoTheNearestScreenWhole) {
  QRect Area;
  for (const QScreen* Screen : QGuiApplication::screens()) Area |= Screen->availableGeometry();
  const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
  TFakePlacedWindow Window;
  const QRect OnScreen(Screen.left() + 10, Screen.top() + 10, 300, 200);
  EXPECT_EQ(Placed(Window, OnScreen), OnScreen);
  // Half of it out, but enough shows to take hold of it: as it is.
  const QRect Half(Screen.right() - 150, Screen.top() + 10, 300, 200);
  EXPECT_EQ(Placed(Window, Half), Half);

  const QRect Right = Placed(Window, QRect(Area.right() + 2000, Screen.top() + 50, 300, 200));
  EXPECT_EQ(Right.size(), QSize(300, 200));
  EXPECT_TRUE(Area.contains(Right)) << Right.x() << "," << Right.y();
  // Only a sliver left on a screen: brought in as well.
  const QRect Sliver = Placed(Window, QRect(Area.left() - 295, Screen.top() + 50, 300, 200));
  EXPECT_TRUE(Area.contains(Sliver)) << Sliver.x() << "," << Sliver.y();
  // Larger than every screen: as large as the screen it comes onto.
  const QRect Huge = Placed(Window, QRect(Area.right() + 10, Area.bottom() + 10, Area.width() * 3, Area.height() * 3));
  EXPECT_TRUE(Area.contains(Huge));
  EXPECT_FALSE(Huge.isEmpty());
}
