// Behaviour both controls share: the hint colour swap and the parent colour notice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "settings/ProgressBarEx.h"
#include "settings/TrackBarEx.h"

template <class TControl>
class ControlEx : public ::testing::Test {};
using Controls = ::testing::Types<TProgressBarEx, TTrackBarEx>;
TYPED_TEST_SUITE(ControlEx, Controls);

TYPED_TEST(ControlEx, EnteringSwapsTheHintColourAndLeavingRestoresItBeforeTheEvents) {
  const QColor Application(0x12, 0x34, 0x56), Own(0xAB, 0xCD, 0xEF);
  SetApplicationHintColor(Application);
  TControlHost<TypeParam> Host(150, 25);
  EXPECT_EQ(Host.Control->HintColor(), clInfoBk);
  Host.Control->SetHintColor(Own);
  std::vector<std::string> Seen;
  auto Record = [&](const char* What) {
    return [&, What](QObject* Sender) {
      EXPECT_EQ(Sender, Host.Control);
      Seen.push_back(What + ApplicationHintColor().name().toStdString());
    };
  };
  Host.Control->OnMouseEnter = Record("enter ");
  Host.Control->OnMouseLeave = Record("leave ");

  Host.Move({-40, 10});
  Host.Move({20, 10});
  Host.Move({20, 100});
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter #abcdef", "leave #123456"}));
  EXPECT_EQ(ApplicationHintColor(), Application);
}

TYPED_TEST(ControlEx, ParentColorChangeIsRaisedOnceTheParentColourHasChanged) {
  TControlHost<TypeParam> Host(150, 25);
  std::vector<QColor> Seen;
  Host.Control->OnParentColorChange = [&](QObject*) { Seen.push_back(Host.Control->palette().color(QPalette::Window)); };

  QPalette Palette = Host.Window.palette();
  Palette.setColor(QPalette::WindowText, Qt::darkGreen);  // not the colour
  Host.Window.setPalette(Palette);
  Palette.setColor(QPalette::Window, Qt::darkRed);
  Host.Window.setPalette(Palette);
  EXPECT_EQ(Seen, (std::vector<QColor>{QColor(Qt::darkRed)}));
}
