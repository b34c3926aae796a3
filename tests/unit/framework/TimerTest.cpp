#include <gtest/gtest.h>

#include <QCoreApplication>

#include "framework/QtTimer.h"
#include "framework/Timer.h"
#include "fakes/ManualTimer.h"
#include "support/WaitUntil.h"

TEST(Timer, QtTimerFiresOnTheEventLoopAndStopsWhenDisabled) {
  int Argc = 1;
  char Name[] = "framework_tests";
  char* Argv[] = {Name, nullptr};
  QCoreApplication App(Argc, Argv);

  auto T = CreateTimer();
  EXPECT_EQ(T->Interval(), 1000);
  EXPECT_FALSE(T->Enabled());
  int Fired = 0;
  T->OnTimer = [&](ITimer* Sender) {
    ++Fired;
    Sender->SetEnabled(false);  // a handler may disable its own timer
  };
  T->SetInterval(20);
  T->SetEnabled(true);
  RunUntil([&Fired] { return Fired > 0; });
  EXPECT_EQ(Fired, 1);
  EXPECT_FALSE(T->Enabled());
}

TEST(Timer, FactoryCanBeReplacedByHandDrivenTimers) {
  TManualTimers Timers;
  auto T = CreateTimer();
  ASSERT_EQ(Timers.Made.size(), 1u);
  int Fired = 0;
  T->OnTimer = [&](ITimer*) { ++Fired; };
  Timers.Made[0]->Fire();  // disabled: nothing
  T->SetEnabled(true);
  Timers.Made[0]->Fire();
  EXPECT_EQ(Fired, 1);
}
