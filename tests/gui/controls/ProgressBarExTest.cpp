#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "settings/ProgressBarEx.h"

TEST(ProgressBarEx, DefaultsAndPositionKeptWithinTheRange) {
  TProgressBarEx Bar;
  EXPECT_EQ(Bar.property("Min").toInt(), 0);
  EXPECT_EQ(Bar.property("Max").toInt(), 100);
  EXPECT_EQ(Bar.property("Position").toInt(), 0);
  EXPECT_FALSE(Bar.property("Smooth").toBool());
  EXPECT_EQ(Bar.property("Step").toInt(), 10);
  EXPECT_EQ(Bar.property("BarColor").value<QColor>(), QColor(0, 0, 0x80));
  EXPECT_EQ(Bar.property("HintColor").value<QColor>(), QColor(0xFF, 0xFF, 0xE1));
  EXPECT_EQ(Bar.property("Cursor").value<Qt::CursorShape>(), Qt::ArrowCursor);

  Bar.SetPosition(-7);
  EXPECT_EQ(Bar.Position(), 0);
  Bar.setProperty("Position", 250);
  EXPECT_EQ(Bar.Position(), 100);
  Bar.SetPosition(80);
  Bar.SetMax(50);  // a narrower range takes the position along
  EXPECT_EQ(Bar.Position(), 50);
  Bar.SetMin(60);
  EXPECT_EQ(Bar.Max(), 60);
  EXPECT_EQ(Bar.Position(), 60);
}

// As the playlist window's seek bar: a left drag writes the percentage of the pointer and
// the release reads back the clamped position as the seek target.
TEST(ProgressBarEx, LeftDragIsFollowedOutsideTheBarAndPositionsFromItAreClamped) {
  TControlHost<TProgressBarEx> Host(250, 19);
  TProgressBarEx& Bar = *Host.Control;
  Bar.SetPosition(40);
  std::vector<std::string> Seen;
  Bar.OnMouseMove = [&](QObject*, TShiftState Shift, int X, int) {
    if (Shift & ssLeft) Seen.push_back("move " + std::to_string(X));
  };
  Bar.OnMouseUp = [&](QObject*, TMouseButton Button, TShiftState Shift, int X, int) {
    Seen.push_back("up " + std::to_string(Button) + " " + std::to_string(Shift & ssLeft ? 1 : 0) + " " + std::to_string(X));
  };

  Host.Press({100, 9});
  Host.Move({-30, 9});
  Host.Move({-80, 30});
  EXPECT_EQ(Bar.Position(), 40);  // the bar does not follow the mouse by itself
  Host.Release({-80, 30});
  EXPECT_EQ(Seen, (std::vector<std::string>{"move -30", "move -80", "up 0 0 -80"}));

  Bar.OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int X, int) { Bar.SetPosition(X * 100 / (Bar.width() - 2)); };
  Host.Press({100, 9});
  Host.Move({-30, 9});
  Host.Release({-30, 9});
  EXPECT_EQ(Bar.Position(), 0);
  Host.Press({100, 9});
  Host.Release({400, 9});
  EXPECT_EQ(Bar.Position(), 100);
}

TEST(ProgressBarEx, WithoutALeftPressEventsOutsideTheBarAreNotItsOwn) {
  TControlHost<TProgressBarEx> Host(250, 19);
  int Moves = 0, Ups = 0;
  Host.Control->OnMouseMove = [&](QObject*, TShiftState, int X, int) { Moves += X < 0; };
  Host.Control->OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) { ++Ups; };
  Host.Press({100, 9}, Qt::RightButton);
  Host.Move({-30, 9});
  Host.Release({-30, 9}, Qt::RightButton);
  EXPECT_EQ(Moves, 0);
  EXPECT_EQ(Ups, 0);
  Host.Click({100, 9}, Qt::RightButton);
  EXPECT_EQ(Ups, 1);
}

TEST(ProgressBarEx, BarColorPaintsTheBarContinuousWhenSmoothAndInBlocksOtherwise) {
  TControlHost<TProgressBarEx> Host(250, 19);
  TProgressBarEx& Bar = *Host.Control;
  Bar.SetBarColor(Qt::red);
  Bar.SetPosition(50);
  Bar.SetSmooth(true);
  QImage Image = Bar.grab().toImage();
  const int Mid = Image.height() / 2;
  for (int X = 3; X < 120; ++X) EXPECT_EQ(Image.pixelColor(X, Mid), QColor(Qt::red)) << X;
  EXPECT_NE(Image.pixelColor(180, Mid), QColor(Qt::red));

  Bar.SetSmooth(false);  // blocks of 10 (two thirds of the inner 15) two pixels apart
  Image = Bar.grab().toImage();
  EXPECT_EQ(Image.pixelColor(2 + 5, Mid), QColor(Qt::red));
  EXPECT_NE(Image.pixelColor(2 + 11, Mid), QColor(Qt::red));
  EXPECT_EQ(Image.pixelColor(2 + 17, Mid), QColor(Qt::red));
}
