#include "engine/VizmoraPlayList.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "engine/PlayListEntry.h"
#include "framework/DayFractions.h"
#include "framework/Exception.h"
#include "framework/Timer.h"

namespace {
constexpr int EndWatchMs = 10;  // finer than a frame at 60 frames/s
}

TVizmoraPlayList::TVizmoraPlayList() : FHandOver(CreateTimer()), FEndWatch(CreateTimer()) {
  FHandOver->SetInterval(0);
  FHandOver->OnTimer = [this](ITimer*) { HandOver(); };
  FEndWatch->SetInterval(EndWatchMs);
  FEndWatch->OnTimer = [this](ITimer*) { WatchEnd(); };
}

TVizmoraPlayList::~TVizmoraPlayList() {
  for (TPlayListEntry* Entry : FItems) delete Entry;
}

void TVizmoraPlayList::Add(TPlayListEntry* Entry) {
  Entry->Id = ++FLastId;
  FItems.push_back(Entry);
  if (FItems.size() == 1) Current = 0;
  PrepareNext();
  Listeners.Notify(TPlayListChange::pcEntries);
}

void TVizmoraPlayList::Remove(TPlayListEntry* Entry) {
  const int I = IndexOf(Entry);
  if (I < 0) return;  // not ours: freeing it could free another list's entry
  if (I == Current) Stop();
  if (Entry == FPlayedOut) FPlayedOut = nullptr;
  if (Entry == FPrepared || Entry == FPassing) DropPrepared();
  FItems.erase(FItems.begin() + I);
  delete Entry;
  if (I < Current) --Current;  // else Pause and Stop would reach an entry that is not playing
  if (Count() - 1 < Current) Current = Count() - 1;
  PrepareNext();
  Listeners.Notify(TPlayListChange::pcEntries);
}

void TVizmoraPlayList::Move(int From, int To) {
  if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To) return;
  const auto Item = FItems.begin() + From, Target = FItems.begin() + To;
  if (From < To)
    std::rotate(Item, Item + 1, Target + 1);
  else
    std::rotate(Target, Item, Item + 1);
  if (Current == From)
    Current = To;
  else if (From < Current && Current <= To)
    --Current;
  else if (To <= Current && Current < From)
    ++Current;
  PrepareNext();
  Listeners.Notify(TPlayListChange::pcEntries);
}

TPlayListEntry* TVizmoraPlayList::Items(int Index) const {
  return Index >= 0 && Index < Count() ? FItems[static_cast<size_t>(Index)] : nullptr;
}

int TVizmoraPlayList::IndexOf(const TPlayListEntry* Entry) const {
  const auto It = std::find(FItems.begin(), FItems.end(), Entry);
  return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TVizmoraPlayList::PlayIndex(int Index) {
  if (!Refused("Play")) Start(Index, TEndReason::erUser);
}

bool TVizmoraPlayList::Refused(const char* What) const { return Refuses && Refuses(What); }

void TVizmoraPlayList::Start(int Index, TEndReason Why) {
  if (Index < 0 || Index >= Count()) return;
  const TTransition Fade = std::exchange(FFadeOut, {});
  Stop(Why);
  TPlayListEntry* Entry = Items(Index);
  if (Entry != FPrepared) DropPrepared();
  FPrepared = nullptr;  // the entry's Play takes it
  Current = Index;
  Listeners.Notify(TPlayListChange::pcStarting);
  Entry->OnFinished.Bind(this, &TVizmoraPlayList::EntryPlayedOut);
  const int Start = ++FStarts;
  FStarting = Entry;
  Entry->FadeIn = Fade;
  FPassing = nullptr;
  try {
    Entry->Play();
    Entry->FadeIn = {};
  } catch (const EAbort&) {
    // Called off by a Stop, which told the listeners, or by the program's end; the entry may
    // be gone.
    if (Start == FStarts) FStarting = nullptr;
    return;
  } catch (const std::exception& E) {
    // Current stays set and State at esStopped; the listeners hear of both, and why.
    FStarting = nullptr;
    PlayError = E.what();
    Ended(TEndReason::erFailed);
    Listeners.Notify(TPlayListChange::pcCurrent);
    throw;
  } catch (...) {
    FStarting = nullptr;
    PlayError = "Unknown exception";
    Ended(TEndReason::erFailed);
    Listeners.Notify(TPlayListChange::pcCurrent);
    throw;
  }
  FStarting = nullptr;
  PlayError.clear();
  State = esPlaying;
  Listeners.Notify(TPlayListChange::pcCurrent);
  if (State != esPlaying || Current != Index) return;  // a listener moved on
  PrepareNext();
  FEndWatch->SetEnabled(FTransition.Fades() && FPrepared);
}

void TVizmoraPlayList::Stop() {
  Stop(TEndReason::erUser);
  DropPrepared();
}

void TVizmoraPlayList::SetPreload(bool Value) {
  FPreload = Value;
  if (Value)
    PrepareNext();
  else
    DropPrepared();
}

void TVizmoraPlayList::PrepareNext() {
  const TPlayListEntry* Playing = CurrentEntry();
  const bool Follows = Playing && Playing->State == esPlaying && (!PlaysAfter || PlaysAfter(Current));
  TPlayListEntry* Next = FPreload && Follows ? Items(IndexAfter(Current)) : nullptr;
  TPlayListEntry* Passing = Next && Next == FPassing && Passes() ? Next : nullptr;
  if (Passing) Next = Items(IndexAfter(IndexOf(Passing)));
  if (Next != FPrepared) {
    DropPrepared();
    if (Next) {
      FPrepared = Next;
      Next->Prepare([Self = std::weak_ptr(FSelf), Next](const std::string& Why) {
        if (const auto List = Self.lock()) (*List)->PrepareFailed(Next, Why);
      });
    }
  }
  FPassing = Passing;
}

void TVizmoraPlayList::DropPrepared() {
  FPassing = nullptr;
  if (TPlayListEntry* Prepared = std::exchange(FPrepared, nullptr)) Prepared->DropPrepared();
}

// Passed over once only, so at most one entry ahead is known to fail; an entry that follows
// itself is tried again at its turn.
void TVizmoraPlayList::PrepareFailed(const TPlayListEntry* Entry, const std::string& Why) {
  if (Entry != FPrepared || FPassing || Items(IndexAfter(IndexOf(Entry))) == Entry || !Passes()) return;
  FPassing = FPrepared;
  FPassingWhy = Why;
  PrepareNext();
}

void TVizmoraPlayList::WatchEnd() {
  TPlayListEntry* Entry = CurrentEntry();
  if (!Entry || Entry->State != esPlaying || !FPrepared || !FTransition.Fades()) {
    if (!Entry || Entry->State == esStopped || Entry->State == esIdle) FEndWatch->SetEnabled(false);
    return;
  }
  const double Length = Entry->GetDuration() * MSecsPerDay;
  const int Fade = FTransition.MsFor(Length);
  if (Fade <= 0 || Length - Entry->GetExactPosition() * MSecsPerDay > Fade) return;
  // The entry plays on in the graph going out; it is no longer the playlist's to stop, and its
  // own end (a picture's display time) hands over no more.
  FEndWatch->SetEnabled(false);
  Entry->State = esIdle;
  Entry->OnFinished.Clear();
  FFadeOut = {FTransition.Kind, Fade};
  EntryPlayedOut(Entry);
}

void TVizmoraPlayList::Stop(TEndReason Why) {
  const bool PlayedOut = FHandOver->Enabled();  // an entry's end is still to be told
  FHandOver->SetEnabled(false);
  FEndWatch->SetEnabled(false);
  FHandOverDue = false;
  // An entry about to fade out still plays, though it counts as played out.
  if (TPlayListEntry* Entry = CurrentEntry();
      Entry && (Entry->State == esPlaying || Entry->State == esPaused || FFadeOut.Fades())) {
    Entry->Stop();
    Ended(Why);
  } else if (Entry && Entry == FStarting) {
    Entry->Stop();  // called off while it opens; it never started, so it has no end to tell
  } else if (PlayedOut) {
    Ended(TEndReason::erFinished);
  }
  FStarting = nullptr;
  FFadeOut = {};
  State = esStopped;
  Listeners.Notify(TPlayListChange::pcState);
}

void TVizmoraPlayList::EndCurrent(TEndReason Why) { Stop(Why); }

void TVizmoraPlayList::Ended(TEndReason Why) {
  LastEnd = Why;
  Listeners.Notify(TPlayListChange::pcEnded);
}

int TVizmoraPlayList::IndexAfter(int Index) const {
  if (Count() == 0) return -1;
  return Index < 0 || Index + 1 >= Count() ? 0 : Index + 1;
}

int TVizmoraPlayList::IndexBefore(int Index) const {
  if (Count() == 0) return -1;
  return Index <= 0 || Index > Count() ? Count() - 1 : Index - 1;
}

void TVizmoraPlayList::PlayNext() {
  if (!Refused("Next")) Start(IndexAfter(Current), TEndReason::erSkipped);
}

void TVizmoraPlayList::PlayPrevious() {
  if (!Refused("Previous")) Start(IndexBefore(Current), TEndReason::erSkipped);
}

void TVizmoraPlayList::PauseResume() {
  TPlayListEntry* Entry = CurrentEntry();
  if (!Entry || Refused("Pause")) return;
  if (Entry->State == esPlaying) {
    Entry->Pause();
    State = esPaused;
  } else if (Entry->State == esPaused) {
    Entry->Pause();  // a paused entry resumes on this call
    State = esPlaying;
  } else {
    return;
  }
  Listeners.Notify(TPlayListChange::pcState);
}

void TVizmoraPlayList::Seek(int Percent) {
  if (Refused("Seek")) return;
  // An entry about to fade out still plays, though it counts as played out.
  if (TPlayListEntry* Entry = CurrentEntry();
      Entry && (Entry->State == esPlaying || Entry->State == esPaused || FFadeOut.Fades())) {
    Entry->Seek(Percent);
    Listeners.Notify(TPlayListChange::pcSeek);
  }
}

double TVizmoraPlayList::CurrentDuration() const {
  TPlayListEntry* Entry = CurrentEntry();
  return Entry ? Entry->GetDuration() : 0;
}

double TVizmoraPlayList::CurrentPosition() const {
  TPlayListEntry* Entry = CurrentEntry();
  return Entry ? Entry->GetPosition() : 0;
}

double TVizmoraPlayList::CurrentExactPosition() const {
  TPlayListEntry* Entry = CurrentEntry();
  return Entry ? Entry->GetExactPosition() : 0;
}

void TVizmoraPlayList::EntryFinished(TPlayListEntry* Sender) {
  NextIndex = IndexAfter(IndexOf(Sender));  // a sender no longer listed leads to 0
  if (Refused("next entry")) return;
  if (FPassing && Items(NextIndex) == FPassing && Passes()) {
    Passed = NextIndex;
    PlayError = FPassingWhy;
    NextIndex = IndexAfter(NextIndex);
    const TEntryState Was = State;
    Listeners.Notify(TPlayListChange::pcPassed);
    if (State == esStopped && Was != esStopped) return;  // a listener ended the show
  }
  Start(NextIndex, TEndReason::erUser);
}

void TVizmoraPlayList::EntryPlayedOut(TPlayListEntry* Sender) {
  FPlayedOut = Sender;
  FHandOver->SetEnabled(true);
}

// Told first, so a listener may end the show here (a Stop calls the handover off), and nobody
// sees the playlist between the two entries.
void TVizmoraPlayList::HandOver() {
  FHandOver->SetEnabled(false);
  FHandOverDue = true;
  Ended(TEndReason::erFinished);
  if (!FHandOverDue) return;
  FHandOverDue = false;
  EntryFinished(FPlayedOut);
}
