#pragma once
// A graph component over the scripted graph classes, with two logging members and an observer.
#include <gtest/gtest.h>

#include <memory>

#include "fakes/FakeGraphClasses.h"
#include "fakes/FakeGraphCompanions.h"
#include "media/FilterGraph.h"

using TCalls = std::vector<std::string>;

class GraphFixture : public ::testing::Test {
protected:
  TFakeFilterGraph& Graph() { return *Classes.Latest(); }
  // Activates with member A and the observer registered, and forgets the calls made so far.
  void ActivateWithMemberAndObserver() {
    FG->AddMember(&A);
    FG->AddObserver(&Observer);
    FG->SetActive(true);
    Log.Take();
  }

  TCallLog Log;
  TFakeGraphClasses Classes{Log};
  TFakeMember A{Log, "A"};
  TFakeMember B{Log, "B"};
  TFakeObserver Observer{Log};
  std::unique_ptr<TFilterGraph> FG = std::make_unique<TFilterGraph>();
};
