#include <algorithm>
#include <cstring>

#include "EntryFixture.h"
#include "engine/AVIPLE.h"
#include "engine/VizmoraPlayer.h"
#include "fakes/FakeVideoHost.h"
#include "fakes/FakeVideoRenderers.h"
#include "framework/Streams.h"
#include "media/DirectShowException.h"

namespace {
constexpr LONGLONG Second = 10000000;  // 100-ns units

class VideoEntryTest : public EntryFixture {
protected:
  VideoEntryTest() {
    (new TFakeVMR9(Log, "VMR1"))->QueryInterface(IUnknown::IID, VW.Renderer.ReleaseAndGetVoidAddress());
    E->MainGraph = FG.get();
    E->SoundGraph = SG.get();
    E->VideoWindow = &VW;
    E->FileName = "/show/clip.avi";
    E->OnFinished = [this](TPlayListEntry*) { ++Finished; };
    Log.Take();
  }
  // The graph's latest incarnation (each reload builds a new one).
  TFakeFilterGraph& Latest() { return *Classes.Latest(); }
  // The calls that show what the entry did: graph creation, control, rendering, seeking, mixing.
  TCalls EntryCalls() {
    TCalls Calls;
    for (std::string& C : Log.Take())
      for (const char* Mark : {" Stop", " Run", " Pause", " RenderFile ", " SetPositions ", "create G", " SetOutputRect",
                               " SetAlpha", " SetZOrder"})
        if (C.find(Mark) != std::string::npos && C.find("VMR") == std::string::npos) {
          Calls.push_back(C);
          break;
        } else if (C.find(Mark) != std::string::npos && C.find("Set") != std::string::npos) {
          Calls.push_back(C.substr(C.find(' ') + 1));  // the mixer's calls, whichever renderer
          break;
        }
    return Calls;
  }

  TFakeVideoHost VW;
  std::unique_ptr<TAVIPLE> E = std::make_unique<TAVIPLE>(nullptr);
  int Finished = 0;
};
}  // namespace

TEST_F(VideoEntryTest, Defaults) {
  EXPECT_EQ(E->AdditionalFile, "");
  EXPECT_EQ(E->OverlayRect, (VMR9NormalizedRect{0, 0, 0.1f, 0.1f}));
  EXPECT_EQ(E->OverlayAlpha, 1.0f);
  EXPECT_EQ(E->GetDuration(), 0);
  EXPECT_EQ(E->State, esIdle);
}

TEST_F(VideoEntryTest, PlayReloadsTheGraphWithoutMixingWhenThereIsNoOverlay) {
  Classes.OnCreateGraph = [](TFakeFilterGraph& G) { G.Length = 90 * 60 * Second; };
  E->Play();
  EXPECT_EQ(EntryCalls(), (TCalls{"G2 Stop", "G1 Stop", "create G3", "G3 RenderFile /show/clip.avi", "G3 Run"}));
  EXPECT_DOUBLE_EQ(E->GetDuration(), 5400000 / 86400000.0);
  EXPECT_EQ(E->State, esPlaying);
  EXPECT_TRUE(FG->OnGraphComplete.BoundTo(E.get()));
}

TEST_F(VideoEntryTest, OverlayIsMixedAfterBothRendersAndBeforeTheRun) {
  E->AdditionalFile = "/show/logo.avi";
  E->OverlayRect = {0.5f, 0.25f, 1, 0.75f};
  E->OverlayAlpha = 0.5f;
  E->Play();
  EXPECT_EQ(EntryCalls(), (TCalls{"G2 Stop", "G1 Stop", "create G3", "G3 RenderFile /show/clip.avi",
                                  "G3 RenderFile /show/logo.avi", "SetOutputRect 1 0.5,0.25,1,0.75", "SetAlpha 1 0.5",
                                  "SetZOrder 1 0", "SetAlpha 0 1", "G3 Run"}));
}

TEST_F(VideoEntryTest, AnOverlayWithoutAMixingRendererOrWindowPlaysUnmixed) {
  E->AdditionalFile = "/show/logo.avi";
  const TCalls Unmixed{"G2 Stop", "G1 Stop", "create G3", "G3 RenderFile /show/clip.avi", "G3 RenderFile /show/logo.avi",
                       "G3 Run"};
  VW.Renderer.Reset();  // the classic renderer, or none yet
  E->Play();
  EXPECT_EQ(EntryCalls(), Unmixed);
  E->Stop();
  QObject NotAWindow;
  E->VideoWindow = &NotAWindow;
  Log.Take();
  E->Play();
  EXPECT_EQ(EntryCalls(), (TCalls{"G2 Stop", "G3 Stop", "create G4", "G4 RenderFile /show/clip.avi",
                                  "G4 RenderFile /show/logo.avi", "G4 Run"}));
}

TEST_F(VideoEntryTest, AFileThatCannotBeRenderedLeavesTheEntryAsItWas) {
  Classes.OnCreateGraph = [](TFakeFilterGraph& G) { G.RenderResult = VFW_E_UNKNOWN_FILE_TYPE; };
  E->AdditionalFile = "/show/logo.avi";
  EXPECT_THROW(E->Play(), EDirectShowException);
  const TCalls Calls = EntryCalls();
  EXPECT_EQ(Calls.back(), "G3 RenderFile /show/clip.avi") << "no second render, no mixing, no run";
  EXPECT_EQ(E->State, esIdle);
  EXPECT_FALSE(FG->OnGraphComplete.BoundTo(E.get()));
}

TEST_F(VideoEntryTest, PauseResumesAPausedEntryAndRestartsAStoppedOne) {
  Classes.OnCreateGraph = [](TFakeFilterGraph& G) { G.Length = 5 * Second; };
  E->Play();
  E->Pause();
  EXPECT_EQ(E->State, esPaused);
  Log.Take();
  Latest().Length = 0;  // a graph that cannot tell its length while it resumes
  E->Pause();  // resumes where it was
  EXPECT_EQ(EntryCalls(), (TCalls{"G2 Stop", "G3 Run"}));
  EXPECT_EQ(E->State, esPlaying);
  EXPECT_DOUBLE_EQ(E->GetDuration(), 5 / 86400.0) << "the length known stays";
  E->Stop();
  Log.Take();
  E->Pause();  // starts over
  EXPECT_EQ(EntryCalls(), (TCalls{"G2 Stop", "G3 Stop", "create G4", "G4 RenderFile /show/clip.avi", "G4 Run"}));
  EXPECT_EQ(E->State, esPlaying);
}

TEST_F(VideoEntryTest, PositionIsInWholeSeconds) {
  E->Play();
  Latest().Position = 19999999;  // 1.9999999 s
  EXPECT_DOUBLE_EQ(E->GetPosition(), 1 / 86400.0);
  Latest().Position = 65 * Second + 5;
  EXPECT_DOUBLE_EQ(E->GetPosition(), 65 / 86400.0);
}

TEST_F(VideoEntryTest, SeekGoesToTheStopPositionDividedByAHundredTimesPercent) {
  Classes.OnCreateGraph = [](TFakeFilterGraph& G) { G.Length = 4 * Second + 99; };
  E->Play();
  Log.Take();
  E->Seek(0);
  E->Seek(50);
  E->Seek(100);
  const LONGLONG Stop = 4 * Second + 99;
  EXPECT_EQ(EntryCalls(), (TCalls{"G3 SetPositions 0 1 " + std::to_string(Stop) + " 0",
                                  "G3 SetPositions " + std::to_string(Stop / 100 * 50) + " 1 " + std::to_string(Stop) + " 0",
                                  "G3 SetPositions " + std::to_string(Stop / 100 * 100) + " 1 " + std::to_string(Stop) + " 0"}));
  Latest().StopPositionResult = E_FAIL;
  E->Seek(10);
  EXPECT_TRUE(EntryCalls().empty()) << "no stop position, no seek";
}

TEST_F(VideoEntryTest, SeekRestartsARunningMixedGraph) {
  E->AdditionalFile = "/show/logo.avi";
  E->Play();
  Latest().State = State_Running;
  Log.Take();
  E->Seek(10);
  EXPECT_EQ(EntryCalls(), (TCalls{"G3 SetPositions 0 1 0 0", "G3 Stop", "G3 Run"}));
  Latest().State = State_Paused;
  E->Seek(10);
  EXPECT_EQ(EntryCalls(), (TCalls{"G3 SetPositions 0 1 0 0"}));
}

TEST_F(VideoEntryTest, CompletionFinishesOnlyAPlayingEntry) {
  E->Play();
  FG->OnGraphComplete(FG.get(), S_OK, nullptr);
  EXPECT_EQ(Finished, 1);
  EXPECT_EQ(E->State, esIdle);
  // Still the receiver after it stopped: a completion now (a picture's graph ending) is not its own.
  E->Play();
  E->Stop();
  FG->OnGraphComplete(FG.get(), S_OK, nullptr);
  EXPECT_EQ(Finished, 1);
  EXPECT_EQ(E->State, esStopped);
}

TEST_F(VideoEntryTest, ARemovedEntryIsUnhookedFromTheMainGraph) {
  TVizmoraPlayer Player;
  auto* Entry = new TAVIPLE(&Player);
  Entry->MainGraph = FG.get();
  Entry->SoundGraph = SG.get();
  Entry->FileName = "/show/clip.avi";
  Player.PlayList->Add(Entry);
  Player.PlayList->PlayIndex(0);
  ASSERT_TRUE(FG->OnGraphComplete.BoundTo(Entry));
  Player.PlayList->Remove(Entry);
  EXPECT_FALSE(FG->OnGraphComplete.Assigned());
  FG->OnGraphComplete(FG.get(), S_OK, nullptr);  // reaches nobody
}

TEST_F(VideoEntryTest, BodyIsAdditionalFileFourSinglesAndTheAlpha) {
  E->FileName = "";
  E->AdditionalFile = "ab";
  E->OverlayRect = {0.25f, 0.5f, 0.75f, 1.0f};
  E->OverlayAlpha = 0.5f;
  TMemoryStream S;
  E->SaveToStream(S);
  ASSERT_EQ(S.Size(), 36 + 0 + 2);
  const auto& B = S.Bytes();
  EXPECT_EQ(std::vector<std::uint8_t>(B.begin() + 12, B.begin() + 18), (std::vector<std::uint8_t>{2, 0, 0, 0, 'a', 'b'}));
  float Fields[5];
  std::memcpy(Fields, B.data() + 18, sizeof Fields);
  EXPECT_EQ(Fields[0], 0.25f);
  EXPECT_EQ(Fields[3], 1.0f);
  EXPECT_EQ(Fields[4], 0.5f);
  S.SetPosition(0);
  TAVIPLE Back(nullptr);
  Back.LoadFromStream(S);
  EXPECT_EQ(Back.AdditionalFile, "ab");
  EXPECT_EQ(Back.OverlayRect, E->OverlayRect);
  EXPECT_EQ(Back.OverlayAlpha, 0.5f);
}
