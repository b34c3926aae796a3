#include <gtest/gtest.h>

#include "TestEntry.h"
#include "engine/VizmoraPlayer.h"
#include "framework/DayFractions.h"
#include "fakes/ManualTimer.h"

namespace {
using Log = std::vector<std::string>;

struct PlayListTest : ::testing::Test {
  Log Calls;  // outlives the player, whose entries record their own freeing
  TManualTimers Timers;
  TVizmoraPlayer Player;
  TVizmoraPlayList& PL = *Player.PlayList;
  TManualTimer& HandOver = *Timers.Made.at(0);

  // Ends the entry, then runs the event loop's turn that hands over to the next.
  void PlayOut(TTestEntry* E) {
    E->Finish();
    HandOver.Fire();
  }

  TTestEntry* Add(const std::string& Name) {
    auto* E = new TTestEntry(Name, &Calls);
    PL.Add(E);
    return E;
  }
};

// The order as one text, for comparing after each move.
std::string Order(const TVizmoraPlayList& PL) {
  std::string Names;
  for (int I = 0; I < PL.Count(); ++I) Names += PL.Items(I)->FileName;
  return Names;
}
}  // namespace

TEST_F(PlayListTest, NewPlaylistCountsAsPlayingWithNothingCurrent) {
  EXPECT_EQ(PL.Player, &Player);
  EXPECT_EQ(PL.Count(), 0);
  EXPECT_EQ(PL.Current, -1);
  EXPECT_EQ(PL.State, esPlaying);
  EXPECT_EQ(PL.CurrentDuration(), 0);
  EXPECT_EQ(PL.CurrentPosition(), 0);
  EXPECT_EQ(PL.Items(0), nullptr);
}

TEST_F(PlayListTest, FirstEntryBecomesCurrentWithoutPlaying) {
  TTestEntry* A = Add("a");
  Add("b");
  EXPECT_EQ(PL.Current, 0);
  EXPECT_EQ(A->State, esIdle);
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(PL.Items(1)->FileName, "b");
  EXPECT_EQ(PL.Items(2), nullptr);
  EXPECT_EQ(PL.IndexOf(A), 0);
}

TEST_F(PlayListTest, FinishingAdvancesAndWrapsRound) {
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  PL.PlayIndex(0);
  PlayOut(A);
  EXPECT_EQ(PL.Current, 1);
  PlayOut(B);
  EXPECT_EQ(PL.Current, 0);
  EXPECT_EQ(PL.NextIndex, 0);
  EXPECT_EQ(PL.State, esPlaying);
  // Finished entries are idle, so the playlist's Stop does not call them.
  EXPECT_EQ(Calls, (Log{"play a", "play b", "play a"}));
}

TEST_F(PlayListTest, OneEntryPlaysAgainWhenItFinishes) {
  TTestEntry* A = Add("a");
  PL.PlayIndex(0);
  PlayOut(A);
  PlayOut(A);
  EXPECT_EQ(Calls, (Log{"play a", "play a", "play a"}));
  EXPECT_EQ(PL.Current, 0);
}

TEST_F(PlayListTest, PlayIndexStopsThePlayingEntryAndIgnoresBadIndices) {
  Add("a");
  Add("b");
  PL.PlayIndex(-1);
  PL.PlayIndex(2);
  EXPECT_TRUE(Calls.empty());
  PL.PlayIndex(0);
  PL.PauseResume();
  PL.PlayIndex(1);
  EXPECT_EQ(Calls, (Log{"play a", "pause a", "stop a", "play b"}));
  EXPECT_EQ(PL.State, esPlaying);
}

TEST_F(PlayListTest, StopWithNothingCurrentStillStops) {
  PL.Stop();
  EXPECT_EQ(PL.State, esStopped);
  TTestEntry* A = Add("a");
  PL.Stop();  // idle entry: not called
  EXPECT_TRUE(Calls.empty());
  PL.PlayIndex(0);
  PL.Stop();
  PL.Stop();  // stopped entry: not called again
  EXPECT_EQ(Calls, (Log{"play a", "stop a"}));
  EXPECT_EQ(A->State, esStopped);
}

TEST_F(PlayListTest, PauseResumeFollowsTheCurrentEntry) {
  PL.PauseResume();  // nothing current
  TTestEntry* A = Add("a");
  PL.PauseResume();  // idle: nothing
  PL.PlayIndex(0);
  PL.PauseResume();
  EXPECT_EQ(PL.State, esPaused);
  PL.PauseResume();
  EXPECT_EQ(PL.State, esPlaying);  // the entry's second Pause resumes it
  PL.Stop();
  PL.PauseResume();  // stopped: nothing
  EXPECT_EQ(PL.State, esStopped);
  EXPECT_EQ(Calls, (Log{"play a", "pause a", "pause a", "stop a"}));
  EXPECT_EQ(A->State, esStopped);
}

TEST_F(PlayListTest, SeekReachesOnlyAPlayingOrPausedEntry) {
  PL.Seek(50);
  Add("a");
  PL.Seek(10);  // idle
  PL.PlayIndex(0);
  PL.Seek(20);
  PL.PauseResume();
  PL.Seek(30);
  PL.Stop();
  PL.Seek(40);  // stopped
  EXPECT_EQ(Calls, (Log{"play a", "seek 20 a", "pause a", "seek 30 a", "stop a"}));
}

TEST_F(PlayListTest, CurrentLengthAndPositionComeFromTheCurrentEntry) {
  TTestEntry* A = Add("a");
  A->Length = 0.25;
  A->Position = 0.125;
  EXPECT_EQ(PL.CurrentDuration(), 0.25);
  EXPECT_EQ(PL.CurrentPosition(), 0.125);
}

TEST_F(PlayListTest, RemovingTheCurrentEntryStopsItFirst) {
  Add("a");
  TTestEntry* B = Add("b");
  Add("c");
  PL.PlayIndex(1);
  PL.Remove(B);
  EXPECT_EQ(Calls, (Log{"play b", "stop b", "free b"}));
  EXPECT_EQ(PL.Count(), 2);
  EXPECT_EQ(PL.Current, 1);  // now names "c"
  EXPECT_EQ(PL.State, esStopped);
}

TEST_F(PlayListTest, RemovingInFrontOfTheCurrentKeepsTheSameEntryCurrent) {
  TTestEntry* A = Add("a");
  Add("b");
  Add("c");
  TTestEntry* D = Add("d");
  PL.PlayIndex(2);
  PL.Remove(A);
  EXPECT_EQ(PL.Items(PL.Current)->FileName, "c");
  PL.Remove(D);  // behind the current entry: Current stays
  EXPECT_EQ(PL.Items(PL.Current)->FileName, "c");
  PL.PauseResume();  // reaches the entry that plays
  EXPECT_EQ(PL.State, esPaused);
  EXPECT_EQ(Calls, (Log{"play c", "free a", "free d", "pause c"}));
}

TEST_F(PlayListTest, RemovingTheLastEntryWhileCurrentMovesCurrentBack) {
  Add("a");
  TTestEntry* B = Add("b");
  PL.PlayIndex(1);
  PL.Remove(B);
  EXPECT_EQ(PL.Current, 0);
  PL.Remove(PL.Items(0));
  EXPECT_EQ(PL.Current, -1);
  EXPECT_EQ(PL.Count(), 0);
  EXPECT_EQ(Calls, (Log{"play b", "stop b", "free b", "free a"}));
}

TEST_F(PlayListTest, MovingKeepsTheSameEntryCurrentAndLeavesEveryEntryAlone) {
  for (const char* Name : {"a", "b", "c", "d", "e"}) Add(Name);
  PL.PlayIndex(2);
  int Told = 0;
  PL.Listeners.Add([&Told](TPlayListChange C) { Told += C == TPlayListChange::pcEntries; });
  // From, To, the order after it: the current entry itself, entries crossing it both ways,
  // entries on one side of it.
  const struct {
    int From, To;
    const char* Order;
  } Moves[] = {{2, 4, "abdec"}, {4, 0, "cabde"}, {1, 4, "cbdea"}, {3, 0, "ecbda"},
               {0, 1, "cebda"}, {4, 3, "cebad"}, {3, 4, "cebda"}};
  for (const auto& M : Moves) {
    PL.Move(M.From, M.To);
    EXPECT_EQ(Order(PL), M.Order) << M.From << " to " << M.To;
    EXPECT_EQ(PL.Items(PL.Current)->FileName, "c") << M.From << " to " << M.To;
  }
  EXPECT_EQ(Told, 7);
  // Nothing to move: nothing changes, nobody is told.
  for (auto [From, To] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 5}, {2, 2}}) PL.Move(From, To);
  EXPECT_EQ(Order(PL), "cebda");
  EXPECT_EQ(Told, 7);
  EXPECT_EQ(Calls, (Log{"play c"})) << "moving plays, stops and pauses nothing";
  EXPECT_EQ(PL.State, esPlaying);
  // The entry now after the current one plays next.
  PlayOut(static_cast<TTestEntry*>(PL.Items(PL.Current)));
  EXPECT_EQ(PL.Items(PL.Current)->FileName, "e");
}

TEST_F(PlayListTest, RemovingAnEntryOfAnotherListFreesNothing) {
  Add("a");
  TTestEntry Stranger("stranger", &Calls);
  PL.Remove(&Stranger);
  EXPECT_EQ(PL.Count(), 1);
  EXPECT_TRUE(Calls.empty());
}

TEST_F(PlayListTest, FailingPlayLeavesTheNewIndexCurrentAndThePlaylistStopped) {
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  B->FailPlay = true;
  PL.PlayIndex(0);
  EXPECT_THROW(PlayOut(A), std::runtime_error);
  EXPECT_EQ(PL.Current, 1);
  EXPECT_EQ(PL.State, esStopped);
  EXPECT_TRUE(B->OnFinished.Assigned());
  EXPECT_EQ(B->State, esIdle);
}

// While an entry's files open the event loop runs: whatever stops the playlist then stops the
// entry still starting, whose Play is called off, and its PlayIndex ends quietly.
TEST_F(PlayListTest, AStopWhileAnEntryOpensStopsItAndItsPlayIndexEndsQuietly) {
  TTestEntry* A = Add("a");
  Add("b");
  Add("c");
  bool Stopped = false;
  A->Stopped = &Stopped;
  Log Heard;
  PL.Listeners.Add([&](TPlayListChange C) { Heard.push_back(std::to_string(static_cast<int>(C))); });
  const auto PlayWhile = [&](const std::function<void()>& While) {
    Stopped = false;
    A->WhileOpening = While;
    Calls.clear();
    Heard.clear();
    PL.PlayIndex(0);
    return Calls;
  };
  EXPECT_EQ(PlayWhile([&] { PL.Stop(); }), (Log{"play a", "stop a"}));
  EXPECT_EQ(PL.State, esStopped);
  EXPECT_EQ(A->State, esStopped);
  EXPECT_EQ(PL.PlayError, "");
  EXPECT_EQ(Heard, (Log{"3", "1", "3"})) << "stopped, starting, stopped: no current of its own";

  EXPECT_EQ(PlayWhile([&] { PL.PlayIndex(1); }), (Log{"play a", "stop a", "play b"}));
  EXPECT_EQ(PL.Current, 1);
  EXPECT_EQ(PL.State, esPlaying);

  PL.Stop();
  EXPECT_EQ(PlayWhile([&] { PL.Remove(A); }), (Log{"play a", "stop a", "free a"}));
  EXPECT_EQ(PL.Count(), 2);
  EXPECT_EQ(PL.State, esStopped);
  PL.Stop();  // the entry gone, nothing is left to stop
  EXPECT_EQ(Calls, (Log{"play a", "stop a", "free a"}));
}

TEST_F(PlayListTest, DestroyingThePlaylistFreesEveryEntryInOrder) {
  {
    TVizmoraPlayer Other;
    Other.PlayList->Add(new TTestEntry("x", &Calls));
    Other.PlayList->Add(new TTestEntry("y", &Calls));
  }
  EXPECT_EQ(Calls, (Log{"free x", "free y"}));
}

TEST_F(PlayListTest, ListenersHearEveryChangeInOrder) {
  Log Heard;
  const char* const Names[] = {"entries", "starting", "current", "state", "seek", "ended", "volume"};
  auto Listen = [&Heard, &Names](const char* Who) {
    return [&Heard, &Names, Who](TPlayListChange C) { Heard.push_back(std::string(Who) + " " + Names[static_cast<int>(C)]); };
  };
  PL.Listeners.Add(Listen("one"));
  const int Second = PL.Listeners.Add(Listen("two"));
  TTestEntry* A = Add("a");
  PL.Listeners.Remove(Second);
  TTestEntry* B = Add("b");
  PL.PauseResume();  // nothing playing: nothing changes, nobody is told
  PL.PlayIndex(0);
  PL.PauseResume();
  PL.Seek(50);
  PlayOut(A);  // the next entry starts
  A->FailPlay = true;
  EXPECT_THROW(PlayOut(B), std::runtime_error);  // wrapping round to an entry that fails
  PL.Seek(10);  // the failed entry is not playing
  PL.Remove(A);
  EXPECT_EQ(Heard, (Log{"one entries", "two entries", "one entries", "one state", "one starting", "one current",
                        "one state", "one seek", "one ended", "one state", "one starting", "one current",
                        "one ended", "one state", "one starting", "one ended", "one current", "one state",
                        "one entries"}));

  // A listener may remove itself while it is told.
  Heard.clear();
  int Self = 0;
  Self = PL.Listeners.Add([&](TPlayListChange) {
    Heard.push_back("self");
    PL.Listeners.Remove(Self);
  });
  PL.Stop();
  PL.Stop();
  EXPECT_EQ(Heard, (Log{"one state", "self", "one state"}));
}

TEST_F(PlayListTest, TheNextEntryStartsOnTheLoopsTurnUnlessSomethingCameFirst) {
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  Add("c");
  PL.PlayIndex(0);
  A->Finish();
  EXPECT_EQ(Calls, (Log{"play a"})) << "nothing starts inside the entry's own event";
  EXPECT_TRUE(HandOver.Enabled());
  HandOver.Fire();
  EXPECT_EQ(PL.Current, 1);
  EXPECT_FALSE(HandOver.Enabled());

  // Stopped, or another entry started, before the turn: the handover is off.
  B->Finish();
  PL.Stop();
  HandOver.Fire();
  EXPECT_EQ(PL.Current, 1);
  PL.PlayIndex(1);
  B->Finish();
  PL.PlayIndex(0);
  HandOver.Fire();
  EXPECT_EQ(PL.Current, 0);

  // Removing the entry that ended, the current one, stops the playlist: nothing starts.
  PL.PlayIndex(1);
  B->Finish();
  PL.Remove(B);
  HandOver.Fire();
  EXPECT_EQ(PL.State, esStopped);
  EXPECT_EQ(Calls, (Log{"play a", "play b", "play b", "play a", "stop a", "play b", "free b"}));
}

// Whoever moves the show on asks the playlist, and hears why the entry that played ended.
TEST_F(PlayListTest, OneRuleForTheNextEntryAndEveryEndSaysWhy) {
  TTestEntry* A = Add("a");
  Add("b");
  TTestEntry* C = Add("c");
  EXPECT_EQ(PL.IndexAfter(2), 0);
  EXPECT_EQ(PL.IndexAfter(-1), 0);
  EXPECT_EQ(PL.IndexBefore(0), 2);
  Log Ends;
  const char* const Why[] = {"finished", "failed", "stalled", "skipped", "user"};
  PL.Listeners.Add([&](TPlayListChange C) {
    if (C == TPlayListChange::pcEnded) Ends.push_back(PL.Items(PL.Current)->FileName + " " + Why[int(PL.LastEnd)]);
  });
  PL.PlayIndex(2);
  PL.PlayNext();  // past the last: the first
  PlayOut(A);
  PL.PlayPrevious();
  PL.PlayIndex(2);
  PL.EndCurrent(TEndReason::erStalled);
  EXPECT_EQ(PL.State, esStopped);
  C->FailPlay = true;
  EXPECT_THROW(PL.PlayIndex(2), std::runtime_error);
  PL.PlayIndex(0);
  PL.Stop();
  PL.Stop();  // nothing plays: nothing ends
  EXPECT_EQ(Ends, (Log{"c skipped", "a finished", "b skipped", "a user", "c stalled", "c failed", "a user"}));

  // Each entry keeps its own number wherever it moves.
  const std::uint64_t Id = C->Id;
  EXPECT_NE(Id, A->Id);
  PL.Move(2, 0);
  EXPECT_EQ(PL.Items(0)->Id, Id);
  EXPECT_EQ(TVizmoraPlayList().IndexAfter(0), -1) << "an empty list has no next entry";
}

TEST_F(PlayListTest, TheEntryAfterThePlayingOneIsPreparedAnewAsTheListChangesAndDroppedOnStopButNotAfterTheShowsEnd) {
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  TTestEntry* C = Add("c");
  PL.PlayIndex(0);
  EXPECT_EQ(1, B->Prepared);
  PL.Move(2, 1);  // c follows now
  EXPECT_EQ(1, B->Dropped);
  EXPECT_EQ(1, C->Prepared);
  PlayOut(A);  // the prepared one plays, and the one after it is prepared
  EXPECT_EQ(0, C->Dropped);
  EXPECT_EQ(2, B->Prepared);
  PL.Remove(B);  // the prepared entry goes: the first one follows now
  EXPECT_EQ(1, A->Prepared);
  PL.Stop();
  EXPECT_EQ(1, A->Dropped);
  PL.SetPreload(false);
  PL.PlayIndex(0);
  EXPECT_EQ(1, C->Prepared);
  PL.PlaysAfter = [](int Index) { return Index != 1; };  // the show ends with c
  PL.SetPreload(true);
  EXPECT_EQ(2, C->Prepared);
  PL.PlayIndex(1);
  EXPECT_EQ(1, A->Prepared);
}

TEST_F(PlayListTest, AFadeHandsOverItsLengthBeforeTheEndAtMostHalfTheEntryAndTheEntryPlaysOn) {
  TManualTimer& EndWatch = *Timers.Made.at(1);
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  A->Length = 10 / SecsPerDay;
  B->Length = 3 / SecsPerDay;
  PL.SetTransition({tkCrossFade, 2000});
  PL.PlayIndex(0);
  A->Position = 7.9 / SecsPerDay;
  EndWatch.Fire();
  EXPECT_FALSE(HandOver.Enabled());
  A->Position = 8.1 / SecsPerDay;
  EndWatch.Fire();
  EXPECT_TRUE(PL.FadingOut());
  HandOver.Fire();
  EXPECT_EQ((Log{"play a", "play b"}), Calls) << "the entry fading out is not stopped";
  EXPECT_EQ((TTransition{tkCrossFade, 2000}), B->PlayedWith);
  EXPECT_FALSE(PL.FadingOut());
  B->Position = 1.4 / SecsPerDay;  // a 3 s entry fades for 1.5 s
  EndWatch.Fire();
  EXPECT_FALSE(HandOver.Enabled());
  B->Position = 1.6 / SecsPerDay;
  EndWatch.Fire();
  HandOver.Fire();
  EXPECT_EQ((TTransition{tkCrossFade, 1500}), A->PlayedWith);
  PL.SetTransition({});
  PlayOut(A);
  EXPECT_EQ(TTransition{}, B->PlayedWith);
}

TEST_F(PlayListTest, ANextEntryThatFailsToOpenIsPassedOverAheadWhileSkippingOneEntryAheadAtMost) {
  TTestEntry* A = Add("a");
  TTestEntry* B = Add("b");
  TTestEntry* C = Add("c");
  TTestEntry* D = Add("d");
  bool Skipping = true;
  PL.PassesFailing = [&] { return Skipping; };
  std::vector<std::string> Passed;
  PL.Listeners.Add([&](TPlayListChange Change) {
    if (Change == TPlayListChange::pcPassed) Passed.push_back(std::to_string(PL.Passed) + " " + PL.PlayError);
  });
  PL.PlayIndex(0);
  B->PrepareFailed("b is gone");
  EXPECT_EQ(1, B->Dropped);
  EXPECT_EQ(1, C->Prepared);
  C->PrepareFailed("c is gone");  // known only at its turn: no entry further ahead is opened
  EXPECT_EQ(0, C->Dropped);
  EXPECT_EQ(0, D->Prepared);
  PlayOut(A);
  EXPECT_EQ((Log{"play a", "play c"}), Calls);
  EXPECT_EQ((std::vector<std::string>{"1 b is gone"}), Passed);

  // Without skipping, the entry that fails plays at its turn and raises there.
  Skipping = false;
  D->PrepareFailed("d is gone");
  EXPECT_EQ(0, D->Dropped);
  D->FailPlay = true;
  C->Finish();
  EXPECT_THROW(HandOver.Fire(), std::runtime_error);
  EXPECT_EQ("play d", Calls.back());
  EXPECT_EQ(1u, Passed.size());
}
