#include <gtest/gtest.h>

#include <cstring>

#include "TestEntry.h"
#include "engine/VizmoraPlayer.h"

namespace {
std::vector<std::uint8_t> Bytes(std::initializer_list<int> L) {
  std::vector<std::uint8_t> V;
  for (int B : L) V.push_back(static_cast<std::uint8_t>(B));
  return V;
}
std::vector<std::uint8_t> DoubleBytes(double D) {
  std::vector<std::uint8_t> V(8);
  std::memcpy(V.data(), &D, 8);
  return V;
}
}  // namespace

TEST(PlayListEntry, ConstructionDefaults) {
  TTestEntry E("");
  EXPECT_EQ(E.State, esIdle);
  EXPECT_FALSE(E.OnFinished.Assigned());
  EXPECT_EQ(E.Duration, 0);
  EXPECT_EQ(E.FileName, "");
  EXPECT_EQ(static_cast<int>(esPlaying), 0);
  EXPECT_EQ(static_cast<int>(esStopped), 1);
  EXPECT_EQ(static_cast<int>(esPaused), 2);
  EXPECT_EQ(static_cast<int>(esIdle), 3);
  EXPECT_EQ(sizeof(TEntryState), 1u);
}

TEST(PlayListEntry, CommonBodyLayoutIsLengthNameAndDouble) {
  TTestEntry E("ab/c.avi");
  E.Duration = 65.5 / 86400.0;
  TMemoryStream S;
  E.TPlayListEntry::SaveToStream(S);
  std::vector<std::uint8_t> Expected = Bytes({8, 0, 0, 0, 'a', 'b', '/', 'c', '.', 'a', 'v', 'i'});
  const auto D = DoubleBytes(E.Duration);
  Expected.insert(Expected.end(), D.begin(), D.end());
  EXPECT_EQ(S.Bytes(), Expected);

  TTestEntry Empty("");
  TMemoryStream S2;
  Empty.TPlayListEntry::SaveToStream(S2);
  EXPECT_EQ(S2.Bytes(), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PlayListEntry, BodyReadsBackBitIdentical) {
  for (double Duration : {0.0, 1.0 / 3.0, 5400.0 / 86400.0, -0.0, 1e-300}) {
    TTestEntry Out("/a/b.jpg");
    Out.Duration = Duration;
    Out.Extra = 77;
    TMemoryStream S;
    Out.SaveToStream(S);
    S.SetPosition(0);
    TTestEntry In("stale name");
    In.LoadFromStream(S);
    EXPECT_EQ(In.FileName, "/a/b.jpg");
    EXPECT_EQ(std::memcmp(&In.Duration, &Duration, 8), 0);
    EXPECT_EQ(In.Extra, 77);
    EXPECT_EQ(S.Position(), S.Size());
  }
}

TEST(PlayListEntry, BrokenBodiesRaiseWithoutReadingPastTheEnd) {
  struct Case {
    const char* What;
    std::vector<std::uint8_t> Body;
  };
  const std::vector<Case> Cases = {
      {"negative length", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0})},
      {"length beyond the end", Bytes({0x00, 0x00, 0x00, 0x7F, 'a'})},
      {"truncated length", Bytes({3, 0})},
      {"truncated duration", Bytes({1, 0, 0, 0, 'a', 0, 0, 0})},
  };
  for (const auto& C : Cases) {
    TMemoryStream S(C.Body);
    TTestEntry E("");
    EXPECT_THROW(E.LoadFromStream(S), EPlayListFormatError) << C.What;
    EXPECT_LE(S.Position(), S.Size()) << C.What;
  }
}

TEST(PlayListEntry, BaseOperationsOnlyMoveTheState) {
  TVizmoraPlayer Player;
  struct Plain : TPlayListEntry {
    using TPlayListEntry::TPlayListEntry;
    IPropertiesFrame* CreatePropertiesFrame() override { return nullptr; }
    void ApplyProperties(IPropertiesFrame*) override {}
  } E(&Player);
  EXPECT_EQ(E.Owner, &Player);
  E.Play();
  EXPECT_EQ(E.State, esPlaying);
  E.Pause();
  EXPECT_EQ(E.State, esPaused);
  E.Seek(50);
  EXPECT_EQ(E.State, esPaused);
  E.Stop();
  EXPECT_EQ(E.State, esStopped);
  EXPECT_EQ(E.GetDuration(), 0);
  EXPECT_EQ(E.GetPosition(), 0);
}
