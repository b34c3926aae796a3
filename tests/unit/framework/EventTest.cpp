#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Event.h"

TEST(Event, EmptyIsNotRaisedAndHoldsOneHandler) {
  TEvent<int> E;
  EXPECT_FALSE(E.Assigned());
  E(1);  // nothing to call

  std::vector<std::string> Calls;
  E = [&](int V) { Calls.push_back("first " + std::to_string(V)); };
  E = [&](int V) { Calls.push_back("second " + std::to_string(V)); };
  E(2);
  E.Clear();
  E(3);
  EXPECT_EQ(Calls, (std::vector<std::string>{"second 2"}));
}

TEST(Event, HandlerReplacingItselfRunsToTheEndAndTheNewOneTakesOverNextTime) {
  TEvent<> E;
  std::vector<std::string> Calls;
  std::string Captured = "captured state";
  E = [&, Captured] {
    E = [&] { Calls.push_back("replacement"); };
    // The old handler's captures must still be alive after the replacement.
    Calls.push_back(Captured);
  };
  E();
  E();
  EXPECT_EQ(Calls, (std::vector<std::string>{"captured state", "replacement"}));
}

TEST(Event, BindCallsTheMethodOfTheReceiver) {
  struct Receiver {
    int Sum = 0;
    void Add(int V) { Sum += V; }
  } R;
  TEvent<int> E;
  E.Bind(&R, &Receiver::Add);
  E(4);
  E(5);
  EXPECT_EQ(R.Sum, 9);
  EXPECT_TRUE(E.BoundTo(&R));
  Receiver Other;
  EXPECT_FALSE(E.BoundTo(&Other));
  E = [](int) {};
  EXPECT_FALSE(E.BoundTo(&R));
}
