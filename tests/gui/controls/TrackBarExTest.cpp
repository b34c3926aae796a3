#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "settings/TrackBarEx.h"

namespace {

// Records mouse-ups and changes in order, each with the position at that moment.
struct TRecorder {
  std::vector<std::string> Seen;
  int Changes = 0;
  explicit TRecorder(TTrackBarEx& Bar) {
    Bar.OnMouseUp = [&](QObject*, TMouseButton Button, TShiftState, int, int) {
      Seen.push_back("up " + std::to_string(Button) + " at " + std::to_string(Bar.Position()));
    };
    Bar.OnChanged = [&](QObject* Sender) {
      EXPECT_EQ(Sender, &Bar);
      Seen.push_back("changed at " + std::to_string(Bar.Position()));
    };
    Bar.OnChange = [&](QObject*) { ++Changes; };
  }
};

}  // namespace

TEST(TrackBarEx, Defaults) {
  TTrackBarEx Bar;
  EXPECT_EQ(Bar.property("Min").toInt(), 0);
  EXPECT_EQ(Bar.property("Max").toInt(), 10);
  EXPECT_EQ(Bar.property("Position").toInt(), 0);
  EXPECT_EQ(Bar.property("Frequency").toInt(), 1);
  EXPECT_EQ(Bar.property("LineSize").toInt(), 1);
  EXPECT_EQ(Bar.property("PageSize").toInt(), 2);
  EXPECT_EQ(Bar.property("Orientation").value<TTrackBarOrientation>(), TTrackBarEx::trHorizontal);
  EXPECT_EQ(Bar.property("TickMarks").value<TTickMark>(), TTrackBarEx::tmBottomRight);
  EXPECT_EQ(Bar.property("TickStyle").value<TTickStyle>(), TTrackBarEx::tsAuto);
  EXPECT_TRUE(Bar.property("ShowRange").toBool());
  EXPECT_FALSE(Bar.property("ToolTips").toBool());
  EXPECT_EQ(Bar.property("ToolTipSide").value<TTrackToolTipSide>(), TTrackBarEx::tsLeft);
  EXPECT_EQ(Bar.property("HintColor").value<QColor>(), QColor(0xFF, 0xFF, 0xE1));
  EXPECT_EQ(Bar.Hint(), "");
  Bar.SetPosition(-3);
  EXPECT_EQ(Bar.Position(), 0);
  Bar.SetPosition(30);
  EXPECT_EQ(Bar.Position(), 10);
}

TEST(TrackBarEx, ChangedFollowsEachMouseUpOfEveryButtonWithThePositionFinal) {
  TControlHost<TTrackBarEx> Host(150, 25);
  TTrackBarEx& Bar = *Host.Control;
  Bar.SetPosition(5);
  TRecorder R(Bar);

  Host.Click({5, 12}, Qt::LeftButton);  // a page step towards the pointer
  Host.Click({140, 12}, Qt::RightButton);
  Host.Click({140, 12}, Qt::MiddleButton);
  Host.Press({5, 12});  // a left press holds the mouse: its release counts anywhere
  Host.Release({-60, 80});
  Host.Press({5, 12}, Qt::RightButton);  // other buttons do not
  Host.Release({-60, 80}, Qt::RightButton);
  EXPECT_EQ(R.Seen, (std::vector<std::string>{"up 0 at 3", "changed at 3", "up 1 at 3", "changed at 3",
                                              "up 2 at 3", "changed at 3", "up 0 at 1", "changed at 1"}));
}

TEST(TrackBarEx, KeyboardWheelAndProgramChangesRaiseOnlyOnChange) {
  TControlHost<TTrackBarEx> Host(150, 25);
  TTrackBarEx& Bar = *Host.Control;
  Bar.SetPosition(5);
  TRecorder R(Bar);

  QTest::keyClick(&Bar, Qt::Key_Right);
  EXPECT_EQ(Bar.Position(), 6);
  const QPointF Centre(75, 12);
  QWheelEvent Wheel(Centre, Bar.mapToGlobal(Centre), {}, {0, 120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&Bar, &Wheel);
  EXPECT_GT(Bar.Position(), 6);
  Bar.SetPosition(2);
  EXPECT_EQ(R.Changes, 3);
  EXPECT_TRUE(R.Seen.empty());
}

TEST(TrackBarEx, HoldingTheChannelPagesRepeatedlyWithOneChangedOnRelease) {
  TControlHost<TTrackBarEx> Host(150, 25);
  TTrackBarEx& Bar = *Host.Control;
  Bar.SetMax(10000);
  Bar.SetFrequency(1000);
  Bar.SetPosition(5000);
  TRecorder R(Bar);

  Host.Press({5, 12});
  EXPECT_EQ(Bar.Position(), 4998);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Bar.Position() <= 4990; }, 10000));
  Host.Release({5, 12});
  const int Final = Bar.Position();
  EXPECT_EQ(Final % 2, 0);
  EXPECT_EQ(R.Changes, (5000 - Final) / 2);
  EXPECT_EQ(R.Seen, (std::vector<std::string>{"up 0 at " + std::to_string(Final), "changed at " + std::to_string(Final)}));
}

TEST(TrackBarEx, ValueTipShowsTheTextOnToolTipMakesBesideTheThumbWhileItIsDragged) {
  TControlHost<TTrackBarEx> Host(150, 25);
  TTrackBarEx& Bar = *Host.Control;
  Bar.SetPosition(5);
  auto* Tip = Bar.findChild<QLabel*>();
  ASSERT_NE(Tip, nullptr);
  std::vector<std::string> Asked;
  Bar.OnToolTip = [&](QObject* Sender, std::string& Text) {
    EXPECT_EQ(Sender, &Bar);
    Asked.push_back(Text);
    Text = "Level " + Text;
  };

  Host.Press({75, 12});  // tips off: none
  Host.Release({75, 12});
  EXPECT_FALSE(Tip->isVisible());

  Bar.SetToolTips(true);
  const QPoint Thumb = Bar.mapToGlobal(QPoint(75, 12));  // the thumb's middle, give or take
  Host.Press({75, 12});
  ASSERT_TRUE(Tip->isVisible());
  EXPECT_EQ(Tip->text(), "Level 5");
  EXPECT_LT(Tip->geometry().right(), Thumb.x() - 4);
  EXPECT_NEAR(Tip->geometry().center().y(), Thumb.y(), 6);
  Bar.SetToolTipSide(TTrackBarEx::tsTop);  // at once
  EXPECT_LT(Tip->geometry().bottom(), Thumb.y() - 4);
  EXPECT_NEAR(Tip->geometry().center().x(), Thumb.x(), 3);
  Host.Move({150, 12});
  EXPECT_EQ(Tip->text(), "Level 10");
  EXPECT_EQ(Asked, (std::vector<std::string>{"5", "5", "10"}));
  Host.Release({150, 12});
  EXPECT_FALSE(Tip->isVisible());
}
