#pragma once
// The ordered list of entries the user builds, and the sequencer that plays it as an endless
// loop: when an entry has played out the next one starts, wrapping to the first after the last.
// User-interface thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/EntryState.h"
#include "engine/PlayListListeners.h"
#include "media/Transition.h"

class ITimer;
class TPlayListEntry;
class TVizmoraPlayer;

class TVizmoraPlayList {
public:
  TVizmoraPlayList();
  ~TVizmoraPlayList();  // frees every entry, first to last
  TVizmoraPlayList(const TVizmoraPlayList&) = delete;
  TVizmoraPlayList& operator=(const TVizmoraPlayList&) = delete;

  // Appends and takes ownership; the first entry of an empty list becomes current.
  void Add(TPlayListEntry* Entry);
  // Stops the entry first when it is current, takes it out and frees it. Current keeps naming
  // the same entry when one before it goes.
  void Remove(TPlayListEntry* Entry);
  // Moves the entry at From to index To, the others closing up; Current keeps naming the same
  // entry and nothing is played or stopped. Indices outside the list do nothing.
  void Move(int From, int To);
  int Count() const { return static_cast<int>(FItems.size()); }
  TPlayListEntry* Items(int Index) const;  // nil outside the list
  int IndexOf(const TPlayListEntry* Entry) const;

  // An entry's Play may wait for its files to open, the event loop running meanwhile; a Stop
  // then (also through Remove or another PlayIndex) stops the entry, and this PlayIndex ends
  // quietly, with State as the Stop left it.
  void PlayIndex(int Index);
  void Stop();
  void PauseResume();
  void Seek(int Percent);
  double CurrentDuration() const;
  double CurrentPosition() const;  // whole seconds, as the list and the status line show it
  // The current entry's position at the resolution its graph has; 0 with nothing current.
  double CurrentExactPosition() const;
  // The one rule for what plays next: the entry after Index, wrapping round to the first (an
  // index outside the list also leads to the first); before Index, wrapping to the last. -1 for
  // an empty list.
  int IndexAfter(int Index) const;
  int IndexBefore(int Index) const;
  // The entry after or before the current one, the current one ending as skipped.
  void PlayNext();
  void PlayPrevious();
  // Stops the current entry for Why (a failure, a stall) as Stop does.
  void EndCurrent(TEndReason Why);
  // Plays the entry after Sender, wrapping round to the first.
  void EntryFinished(TPlayListEntry* Sender);
  // The handler every played entry's OnFinished gets: hands over to EntryFinished through the
  // event loop, so the next entry never starts inside the graph event that reported the end; the
  // listeners hear pcEnded then. PlayIndex or Stop before then calls the handover off.
  void EntryPlayedOut(TPlayListEntry* Sender);
  void SetPlayer(TVizmoraPlayer* APlayer) { Player = APlayer; }
  // While an entry plays, the one after it is prepared (opened and paused on its first frame),
  // so that the hand-over only switches; off, each entry opens once the one before has ended.
  bool Preload() const { return FPreload; }
  void SetPreload(bool Value);
  // How each entry gives way to the next when it plays out; a fade begins its length before
  // the end (at most half the entry's length) and needs the next entry prepared.
  const TTransition& Transition() const { return FTransition; }
  void SetTransition(TTransition Value) { FTransition = Value; }
  // Whether the entry that played out last hands over with a fade, which is still under way.
  bool FadingOut() const { return FFadeOut.Fades(); }
  void SetCurrent(int Index) {
    Current = Index;
    Listeners.Notify(TPlayListChange::pcCurrent);
  }

  // Asked before PlayIndex, PlayNext, PlayPrevious, PauseResume, Seek and the handover to the
  // next entry: true refuses (a show run by a clock); What names the request. Empty: none is.
  std::function<bool(const char* What)> Refuses;
  // Asked when the entry prepared next fails to open, and again at its turn: true passes it
  // over, the one after it prepared instead (one entry ahead at most), and the hand-over goes
  // straight to that one, the listeners hearing pcPassed first. Empty: never.
  std::function<bool()> PassesFailing;
  // Asked before the entry after Index is prepared: false when none will play after it (a show
  // limited to some rounds ends with Index), so nothing is opened for nobody. Empty: one will.
  std::function<bool(int Index)> PlaysAfter;
  int Passed = -1;  // the entry passed over last; why it failed is in PlayError
  TVizmoraPlayer* Player = nullptr;
  int Current = -1;
  TEntryState State = esPlaying;  // a new playlist counts as playing with nothing current
  int NextIndex = 0;
  std::string PlayError;  // why the last PlayIndex failed; empty once one succeeded
  TEndReason LastEnd = TEndReason::erUser;  // why the entry that played last ended
  // Told after every operation that changes the list, Current or State, after Seek, when an
  // entry ends, and when the player's volume changes.
  TPlayListListeners Listeners;

private:
  TPlayListEntry* CurrentEntry() const { return Current == -1 ? nullptr : Items(Current); }
  bool Refused(const char* What) const;

  // PlayIndex and Stop, the entry that plays ending for Why.
  void Start(int Index, TEndReason Why);
  void Stop(TEndReason Why);
  void Ended(TEndReason Why);
  void HandOver();
  // The entry after the current one prepared, once it plays; what was prepared dropped if
  // another entry follows now.
  void PrepareNext();
  void DropPrepared();
  void PrepareFailed(const TPlayListEntry* Entry, const std::string& Why);
  bool Passes() const { return PassesFailing && PassesFailing(); }
  // While a fade may come: hands over once the current entry is within the fade of its end.
  void WatchEnd();

  std::vector<TPlayListEntry*> FItems;
  std::unique_ptr<ITimer> FHandOver;     // a zero-delay timer while a handover is due
  bool FHandOverDue = false;             // while the listeners hear pcEnded
  std::uint64_t FLastId = 0;             // the Id given to the entry added last
  TPlayListEntry* FPlayedOut = nullptr;  // the entry handing over; nil once it was removed
  TPlayListEntry* FStarting = nullptr;   // the entry whose Play runs, until a Stop
  int FStarts = 0;                       // PlayIndex calls so far
  bool FPreload = true;
  TTransition FTransition;
  TPlayListEntry* FPrepared = nullptr;   // the entry prepared to play next
  TPlayListEntry* FPassing = nullptr;    // the next entry, known to fail; FPrepared follows it
  std::string FPassingWhy;
  // Lets what an entry's preparation calls back later find out whether the playlist is still there.
  std::shared_ptr<TVizmoraPlayList*> FSelf = std::make_shared<TVizmoraPlayList*>(this);
  std::unique_ptr<ITimer> FEndWatch;     // looks at the current entry's position while a fade may come
  TTransition FFadeOut;                  // the fade of the handover under way
};
