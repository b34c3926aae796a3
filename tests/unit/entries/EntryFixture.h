#pragma once
// The main graph FG and the sound graph SG over the scripted graph classes (G1 and G2 in the
// call log), with timers and the clock driven by hand.
#include <gtest/gtest.h>

#include <memory>

#include "fakes/FakeGraphClasses.h"
#include "fakes/ManualClock.h"
#include "fakes/ManualTimer.h"
#include "media/FilterGraph.h"

using TCalls = std::vector<std::string>;

class EntryFixture : public ::testing::Test {
protected:
  EntryFixture() {
    FG->SetActive(true);
    SG->SetActive(true);
    Log.Take();
  }
  TFakeFilterGraph& Main() { return *Classes.Graphs.at(0).Get(); }
  TFakeFilterGraph& Sound() { return *Classes.Graphs.at(1).Get(); }

  TCallLog Log;
  TFakeGraphClasses Classes{Log};
  TManualTimers Timers;
  TManualClock Clock;
  std::unique_ptr<TFilterGraph> FG = std::make_unique<TFilterGraph>();
  std::unique_ptr<TFilterGraph> SG = std::make_unique<TFilterGraph>();
};
