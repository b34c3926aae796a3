// The schedule of a show on a shared clock, read at instants the test picks.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/ShowSchedule.h"

namespace {
constexpr std::int64_t S = 1000000000;  // a second in nanoseconds
}

TEST(ShowSchedule, EachInstantFallsInOneSlotOfTheLoopingList) {
  // 3 s, 2 s, no length (no slot), 5 s: a round of 10 s from the epoch at 100 s.
  const TShowSchedule Show(100 * S, {3 * S, 2 * S, 0, 5 * S});
  struct TCase {
    std::int64_t Now;
    int Index;
    std::int64_t Start;
  };
  const TCase Cases[] = {{100 * S, 0, 100 * S},      {103 * S - 1, 0, 100 * S}, {103 * S, 1, 103 * S},
                         {105 * S, 3, 105 * S},      {109 * S, 3, 105 * S},     {110 * S, 0, 110 * S},
                         {1000 * S + 4 * S, 1, 1003 * S},
                         {99 * S, 3, 95 * S},        {100 * S - 8 * S, 0, 90 * S}};  // before the epoch too
  for (const TCase& C : Cases) {
    const TShowSlot Slot = Show.At(C.Now);
    EXPECT_EQ(Slot.Index, C.Index) << C.Now;
    EXPECT_EQ(Slot.Start, C.Start) << C.Now;
  }
  // Slot after slot, wrapping round past the entry of no length.
  TShowSlot Slot = Show.At(104 * S);
  std::vector<int> Order;
  for (int I = 0; I < 4; ++I, Slot = Show.After(Slot)) Order.push_back(Slot.Index);
  EXPECT_EQ(Order, (std::vector<int>{1, 3, 0, 1}));
  EXPECT_EQ(Slot.Start, 115 * S);
  EXPECT_EQ(TShowSchedule(0, {0, 0}).At(5 * S).Index, -1);
}

TEST(ShowSchedule, SyncAndWallOptionsAreReadFromTheCommandLine) {
  const auto Default = TCommandLine::Parse({"--sync-clock", "10.0.0.1:5637"});
  EXPECT_TRUE(Default.Synced());
  EXPECT_EQ(Default.SyncEpochNs, 946684800LL * S);
  const auto Served = TCommandLine::Parse({"--sync-serve", "5637", "--sync-epoch", "2026-12-11T10:00:00.5+01:00"});
  EXPECT_EQ(Served.SyncServe, "5637");
  EXPECT_EQ(Served.SyncEpochNs, 1796979600LL * S + S / 2);
  EXPECT_FALSE(TCommandLine::Parse({"a.avi"}).Synced());
  EXPECT_NE(TCommandLine::Parse({"--sync-epoch", "noon"}).Error.find("\"noon\""), std::string::npos);
  const auto Wall = TCommandLine::Parse({"--wall", "3x2:4", "--wall-bezel", "12"});
  EXPECT_EQ((std::vector<int>{Wall.WallCols, Wall.WallRows, Wall.WallIndex, Wall.WallBezel}), (std::vector<int>{3, 2, 4, 12}));
  for (const char* Bad : {"2x2:4", "0x2:0", "2x2", "2 x 2:1"})
    EXPECT_NE(TCommandLine::Parse({"--wall", Bad}).Error.find(Bad), std::string::npos) << Bad;
}
