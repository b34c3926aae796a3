#include <cstring>

#include "EntryFixture.h"
#include "engine/GIFPLE.h"
#include "framework/Streams.h"
#include "media/DirectShowException.h"

namespace {
class PictureEntryTest : public EntryFixture {
protected:
  PictureEntryTest() {
    E->MainGraph = FG.get();
    E->SoundGraph = SG.get();
    E->FileName = "/show/photo.jpg";
    E->OnFinished = [this](TPlayListEntry*) { ++Finished; };
  }
  TManualTimer& DisplayTimer() { return static_cast<TManualTimer&>(E->DisplayTimer()); }
  TManualTimer& SoundStopTimer() { return static_cast<TManualTimer&>(E->SoundStopTimer()); }

  std::unique_ptr<TGIFPLE> E = std::make_unique<TGIFPLE>(nullptr);
  int Finished = 0;
};
}  // namespace

TEST_F(PictureEntryTest, DefaultsShowTenSecondsWithTheSoundTimerIdle) {
  EXPECT_EQ(E->DisplayTime, 10);
  EXPECT_DOUBLE_EQ(E->GetDuration(), 10 / 86400.0);
  EXPECT_FALSE(E->ContinueSound);
  EXPECT_EQ(E->SoundFile, "");
  EXPECT_EQ(E->State, esIdle);
  EXPECT_TRUE(Timers.Made.empty());  // none until needed
  EXPECT_FALSE(SoundStopTimer().Enabled());
  EXPECT_EQ(SoundStopTimer().Interval(), 1000);
  EXPECT_FALSE(DisplayTimer().Enabled());
}

TEST_F(PictureEntryTest, PlayOnAStoppedGraphStartsPictureAndOwnSound) {
  E->SoundFile = "/show/song.mp3";
  E->Play();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Stop", "G2 Stop", "G2 RenderFile /show/song.mp3", "G2 Run",
                                "G1 RenderFile /show/photo.jpg", "G1 Run"}));
  EXPECT_TRUE(DisplayTimer().Enabled());
  EXPECT_EQ(DisplayTimer().Interval(), 10000);
  EXPECT_EQ(E->State, esPlaying);
  EXPECT_DOUBLE_EQ(E->StartTime, Clock.Now());
}

TEST_F(PictureEntryTest, ContinueFromPreviousNeverTouchesTheSoundGraph) {
  E->SoundFile = "/show/song.mp3";
  E->ContinueSound = true;
  SoundStopTimer().SetEnabled(true);
  Main().State = State_Running;
  E->Play();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Stop", "G1 RenderFile /show/photo.jpg", "G1 Run"}));
  EXPECT_FALSE(SoundStopTimer().Enabled());
}

TEST_F(PictureEntryTest, InactiveMainGraphRendersOnlyWithASound) {
  FG->SetActive(false);
  Log.Take();
  E->Play();
  EXPECT_TRUE(Log.Take().empty());
  EXPECT_TRUE(DisplayTimer().Enabled());

  E->SoundFile = "/show/song.wav";
  E->Play();
  EXPECT_EQ(Log.Take(), (TCalls{"G2 Stop", "G2 RenderFile /show/song.wav", "G2 Run"}));
}

TEST_F(PictureEntryTest, PausedMainGraphIsLeftAlone) {
  Main().State = State_Paused;
  E->Play();
  EXPECT_TRUE(Log.Take().empty());
  EXPECT_EQ(E->State, esPlaying);
}

TEST_F(PictureEntryTest, DisplayTimeSetsTheTimerWithinWhatItCanCount) {
  for (auto [Seconds, Interval] : std::vector<std::pair<int, int>>{
           {1, 1000}, {200, 200000}, {0, 1000}, {-5, 1000}, {2147483647, 2147483647}}) {
    E->DisplayTime = Seconds;
    E->Play();
    EXPECT_EQ(DisplayTimer().Interval(), Interval) << Seconds;
    EXPECT_EQ(E->DisplayTime, Seconds) << "the stored value is kept";
  }
}

TEST_F(PictureEntryTest, DisplayTimeUpFinishesWithoutTouchingTheGraphs) {
  E->Play();
  Log.Take();
  DisplayTimer().Fire();
  EXPECT_EQ(Finished, 1);
  EXPECT_EQ(E->State, esStopped);
  EXPECT_FALSE(DisplayTimer().Enabled());
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(PictureEntryTest, StopEndsThePictureAtOnceAndTheSoundASecondLater) {
  E->SoundFile = "/show/song.mp3";
  E->Play();
  Log.Take();
  E->Stop();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Stop"}));
  EXPECT_TRUE(SoundStopTimer().Enabled());
  EXPECT_FALSE(DisplayTimer().Enabled());
  EXPECT_EQ(E->State, esStopped);
  SoundStopTimer().Fire();
  EXPECT_EQ(Log.Take(), (TCalls{"G2 Stop"}));
  EXPECT_FALSE(SoundStopTimer().Enabled());
}

TEST_F(PictureEntryTest, PauseFreezesTheTimerAndResumeRunsWhatWasLeft) {
  E->SoundFile = "/show/song.mp3";
  E->Play();
  Sound().State = State_Running;
  Clock.AdvanceSeconds(4);
  Log.Take();
  E->Pause();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Pause", "G2 Pause"}));
  EXPECT_FALSE(DisplayTimer().Enabled());
  EXPECT_EQ(E->State, esPaused);

  Clock.AdvanceSeconds(100);
  EXPECT_NEAR(E->GetPosition() * 86400, 104, 1e-6) << "the position is wall-clock time";
  E->Pause();  // the playlist resumes a paused entry by pausing it again
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Run", "G2 Run"}));
  EXPECT_TRUE(DisplayTimer().Enabled());
  EXPECT_EQ(DisplayTimer().Interval(), 6000);
  EXPECT_EQ(E->State, esPlaying);

  Clock.AdvanceSeconds(2);
  E->Pause();
  E->Pause();
  EXPECT_EQ(DisplayTimer().Interval(), 4000);
}

TEST_F(PictureEntryTest, ResumeLeavesASoundThatWasNotRunningStopped) {
  E->Play();
  Sound().State = State_Stopped;
  E->Pause();
  Log.Take();
  E->Pause();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 Run"}));
}

TEST_F(PictureEntryTest, APictureThatCannotBeRenderedDoesNotStartItsTime) {
  Main().RenderResult = VFW_E_UNKNOWN_FILE_TYPE;
  EXPECT_THROW(E->Play(), EDirectShowException);
  EXPECT_FALSE(DisplayTimer().Enabled());
  EXPECT_EQ(E->State, esIdle);
}

TEST_F(PictureEntryTest, BodyWithoutSoundIsLengthZeroFlagClearAndDisplayTime) {
  E->FileName = "p.gif";
  E->DisplayTime = 0x01020304;
  TMemoryStream S;
  E->SaveToStream(S);
  const std::vector<std::uint8_t> Expected = {5, 0, 0, 0, 'p', '.', 'g', 'i', 'f', 0, 0, 0, 0, 0, 0, 0, 0,
                                              0, 0, 0, 0, 0, 4, 3, 2, 1};
  EXPECT_EQ(S.Bytes(), Expected) << "a never-applied entry is saved with duration 0";
  EXPECT_EQ(S.Size(), 21 + 5);
}

TEST_F(PictureEntryTest, BodyRoundTripKeepsEveryField) {
  E->SoundFile = "/show/song.wav";
  E->ContinueSound = true;
  E->DisplayTime = 250;
  E->Duration = 250 / 86400.0;
  TMemoryStream S;
  E->SaveToStream(S);
  S.SetPosition(0);
  TGIFPLE Back(nullptr);
  Back.LoadFromStream(S);
  EXPECT_EQ(Back.FileName, "/show/photo.jpg");
  EXPECT_EQ(Back.SoundFile, "/show/song.wav");
  EXPECT_TRUE(Back.ContinueSound);
  EXPECT_EQ(Back.DisplayTime, 250);
  EXPECT_EQ(std::memcmp(&Back.Duration, &E->Duration, 8), 0);
}
