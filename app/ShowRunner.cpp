#include "app/ShowRunner.h"

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <exception>
#include <iostream>
#include <utility>

#include "app/EntryKinds.h"
#include "app/JsonLine.h"
#include "app/ProofLog.h"
#include "app/ResumeStore.h"
#include "app/StatusLine.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "media/FilterGraph.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"

namespace {
// The status the program ends with when nothing could be played, or an entry failed in a show
// limited by --loops that does not skip.
constexpr int ExitEntryFailed = 2;

// The wall-clock time of a moment on the monotonic clock.
std::int64_t WallMs(long long MonotonicMs) {
  using namespace std::chrono;
  const auto Now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return Now - (MonotonicMilliseconds() - MonotonicMs);
}

// The events the --events stream carries; the log carries every event.
bool IsStreamEvent(const char* Event) {
  for (const char* Name : {"started", "frame", "finished", "failed"})
    if (std::strcmp(Event, Name) == 0) return true;
  return false;
}
}  // namespace

TShowRunner::TShowRunner(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, TShowOptions AOptions)
    : FPlayList(APlayList),
      FMainGraph(AMainGraph),
      FOptions(std::move(AOptions)),
      FWatchdog(APlayList, [this](const std::string& Why) {
        if (SkipsBroken()) Failed(TEndReason::erStalled, Why, true);
      }, MonotonicMilliseconds) {
  FListener = FPlayList->Listeners.Add([this](TPlayListChange Change) { Changed(Change); });
  // A show on a clock starts its entries itself.
  if (!FOptions.Clocked) FPlayList->PassesFailing = [this] { return SkipsBroken(); };
  FPlayList->PlaysAfter = [this](int Index) { return !EndsAfter(Index); };
  FMainGraph->AddObserver(this);
  FMainGraph->OnFadeEnded = [this](QObject*) {
    if (FFadingOut.empty()) return;
    if (FShowDue) ReportStarted(MonotonicMilliseconds());  // no picture of the fade was told of
    FFadeEnded = true;
    ReportGone();
  };
  FNext.setSingleShot(true);
  QObject::connect(&FNext, &QTimer::timeout, [this] {
    try {
      FPlayList->PlayIndex(FNextIndex);
    } catch (const std::exception& E) {
      ShowException(E.what());  // its failure was handled as the playlist told of it
    }
  });
}

TShowRunner::~TShowRunner() {
  if (FMainGraph) {
    FMainGraph->RemoveObserver(this);
    FMainGraph->OnFadeEnded.Clear();
  }
  FPlayList->Listeners.Remove(FListener);
  FPlayList->PassesFailing = nullptr;
  FPlayList->PlaysAfter = nullptr;
}

void TShowRunner::Start() {
  // From the event loop, so a show that cannot start can end it.
  QTimer::singleShot(0, &FNext, [this] {
    if (FPlayList->Count() == 0) {
      if (!FOptions.EndWhenNothingPlays) return;  // the empty window waits for the user
      std::cerr << "vizmora: nothing to play" << std::endl;
      End(ExitEntryFailed);
      return;
    }
    int From = 0;
    if (FOptions.Resume) {
      const int Saved = FOptions.Resume->Load();
      if (Saved >= 0 && Saved < FPlayList->Count()) {
        From = Saved;
        Emit("resumed", From);
      }
    }
    PlayLater(From, 0);
  });
}

void TShowRunner::Changed(TPlayListChange Change) {
  switch (Change) {
    case TPlayListChange::pcStarting:
      FlushFade();
      FNext.stop();  // whoever starts an entry now takes over from a pending step
      FWatchdog.Stop();
      FStarting = true;
      FStartMs = MonotonicMilliseconds();
      FFrameDue = true;
      FHeldFrame.reset();
      break;
    case TPlayListChange::pcCurrent:
      if (!FStarting) break;  // Current set without a start
      FStarting = false;
      if (FPlayList->State == esPlaying)
        Started();
      else
        Failed(TEndReason::erFailed, FPlayList->PlayError, false);  // the exception is reported where it is caught
      break;
    case TPlayListChange::pcState:
      if (FPlayList->State == esStopped && !FStarting) {
        FNext.stop();  // a stop ends a wait between rounds
        FlushFade();
      }
      break;
    case TPlayListChange::pcSeek:
      FWatchdog.Sought();
      break;
    case TPlayListChange::pcEnded:
      if (FPlayList->LastEnd == TEndReason::erFinished) Finished(FPlayList->FadingOut());
      break;
    case TPlayListChange::pcPassed:
      Passed();
      break;
    default:
      break;
  }
}

void TShowRunner::Started() {
  const int Index = FPlayList->Current;
  if (FOptions.Resume) FOptions.Resume->Save(Index);  // saved once reported: a kill after the report finds it
  FStartedMs = MonotonicMilliseconds();
  // An entry fading in starts when it becomes visible: at the first picture that shows it.
  if (!FFadingOut.empty() && FMainGraph && FMainGraph->Fading()) {
    FlushGone(FStartedMs);  // a fade before, cut short by this one, took its entry with it
    FShowDue = true;
    return;
  }
  ReportStarted(FStartMs);
}

void TShowRunner::ReportStarted(long long Ms) {
  const int Index = FPlayList->Current;
  if (std::exchange(FShowDue, false)) FStartedMs = Ms;
  Emit("started", Index, {}, Ms);
  if (FHeldFrame) Emit("frame", Index, {}, Shown(FHeldFrame->Ms), FHeldFrame->ClockNs);
  FHeldFrame.reset();
  if (SkipsBroken()) FWatchdog.Watch();
}

// The entry faded out is finished once its fade has ended and the first picture without it
// was shown.
void TShowRunner::ReportGone() {
  if (!FFadeEnded || !FGoneMs || FFadingOut.empty()) return;
  Emit("finished", FFadingOut.front(), {}, *FGoneMs);
  FFadingOut.pop_front();
  FFadeEnded = false;
  FGoneMs.reset();
}

// What a fade cut short by a stop or another start still owes, told now.
void TShowRunner::FlushFade() {
  if (FShowDue) ReportStarted(FStartedMs);
  FlushGone(MonotonicMilliseconds());
}

void TShowRunner::FlushGone(long long Ms) {
  if (FFadeEnded) {
    FGoneMs = FGoneMs.value_or(Ms);
    ReportGone();
  }
  FGoneMs.reset();
}

// The first frame of an entry is reported once (an overlay brings a second), with the time it
// reached the renderer: it often comes while the entry is still being started, and is then
// reported right after the start. A graph that breaks down (a decoding error) fails its entry.
void TShowRunner::ObserveGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) {
  if (Event == EC_FIRST_FRAME && FFrameDue) {
    FFrameDue = false;
    Played();
    const TFrame Frame{static_cast<long long>(Param1), static_cast<std::int64_t>(Param2)};
    if (FStarting || FShowDue)
      FHeldFrame = Frame;
    else
      Emit("frame", FPlayList->Current, {}, Shown(Frame.Ms), Frame.ClockNs);
  } else if (Event == EC_FADE_FRAME && Param2 == FADE_IN_SHOWN) {
    if (FShowDue) ReportStarted(static_cast<long long>(Param1));
  } else if (Event == EC_FADE_FRAME && Param2 == FADE_OUT_GONE) {
    FGoneMs = static_cast<long long>(Param1);
    ReportGone();
  } else if (Event == EC_ERRORABORT && !FStarting) {
    // Nothing plays: an entry that failed to start was reported already.
    if (FPlayList->State == esStopped) return;
    ComPtr<IGraphErrorInfo> Said;
    const TPlayListEntry* Entry = FPlayList->Items(FPlayList->Current);
    Failed(TEndReason::erFailed,
           GraphFailureText(static_cast<HRESULT>(Param1), Entry ? Entry->FileName : "",
                            SUCCEEDED(FMainGraph->QueryInterface(Said)) ? Said->LastErrorText() : ""),
           true);
  }
}

// A frame prepared ahead of its entry's start is shown once the entry has started.
long long TShowRunner::Shown(long long FrameMs) const { return FrameMs < FStartMs ? FStartedMs : FrameMs; }

void TShowRunner::Played() {
  FEverPlayed = true;
  FFailedInRow = 0;
  FBackOff.Reset();
}

void TShowRunner::Finished(bool Fading) {
  const int Index = FPlayList->Current;
  Played();
  FWatchdog.Stop();
  const bool Last = FPlayList->IndexAfter(Index) == 0 && EndsRound();
  if (Fading && !Last) {
    FFadingOut.push_back(Index);  // finished once it has faded out
    return;
  }
  Emit("finished", Index);
  if (Last) {
    FPlayList->Stop();  // also calls off the handover to the next entry
    End(0);
  }
}

void TShowRunner::End(int Status) {
  FEnding = true;
  QCoreApplication::exit(Status);
}

bool TShowRunner::EndsRound() { return FOptions.Loops > 0 && ++FWrapped >= FOptions.Loops; }

bool TShowRunner::EndsAfter(int Index) const {
  return FOptions.Loops > 0 && FPlayList->IndexAfter(Index) == 0 && FWrapped + 1 >= FOptions.Loops;
}

void TShowRunner::Failed(TEndReason Reason, const std::string& Why, bool WhilePlaying) {
  const int Index = FPlayList->Current;
  Emit(Reason == TEndReason::erStalled ? "stalled" : "failed", Index, Why);
  FWatchdog.Stop();
  if (WhilePlaying) {
    FPlayList->EndCurrent(Reason);
    ShowException(Why);
  }
  if (FOptions.Clocked) return;
  if (!SkipsBroken()) {
    if (FOptions.Loops > 0 || (FOptions.EndWhenNothingPlays && !FEverPlayed)) End(ExitEntryFailed);
    return;
  }
  if (const std::optional<int> Wait = Skip(Index)) PlayLater(FPlayList->IndexAfter(Index), *Wait);
}

// The playlist goes on to the entry after the one passed over by itself.
void TShowRunner::Passed() {
  const int Index = FPlayList->Passed;
  Emit("failed", Index, FPlayList->PlayError);
  ShowException(FPlayList->PlayError);
  Skip(Index);
}

std::optional<int> TShowRunner::Skip(int Index) {
  const int Count = FPlayList->Count();
  if (Count == 0) return {};
  // A show limited to some rounds ends when nothing of it plays; one that goes on for good waits
  // longer and longer between rounds, so files that come back (a share mounted again) play.
  if (++FFailedInRow >= Count && !FEverPlayed && FOptions.Loops > 0) {
    std::cerr << "vizmora: no entry of the show could be played" << std::endl;
    End(ExitEntryFailed);
    return {};
  }
  const int Wait = FFailedInRow % Count == 0 ? FBackOff.NextMs() : 0;
  const std::string Note = Wait ? "every entry failed; the next round starts in " + std::to_string(Wait / 1000) + " s" : "";
  Emit("skipped", Index, Note);
  if (!Note.empty() && FOptions.Status) FOptions.Status->Show(Note);
  if (FPlayList->IndexAfter(Index) == 0 && EndsRound()) {
    FPlayList->Stop();
    End(0);
    return {};
  }
  return Wait;
}

void TShowRunner::PlayLater(int Index, int Ms) {
  FNextIndex = Index;
  FNext.start(Ms);
}

void TShowRunner::Emit(const char* Event, int Index, const std::string& Why, long long Ms, std::int64_t ClockNs) {
  TPlayListEntry* Entry = FPlayList->Items(Index);
  const std::string File = Entry ? Entry->FileName : "";
  if (FOptions.Log) FOptions.Log->Write(Event, WallMs(Ms), Index, File, Why, ClockNs);  // the proof first
  if (FOptions.OnEvent) FOptions.OnEvent(ProofLine(Event, WallMs(Ms), Index, File, Why, ClockNs), WallMs(Ms));
  if (FOptions.Events && IsStreamEvent(Event)) {
    QJsonObject Json{{"event", Event},
                     {"index", Index},
                     {"file", JsonText(File)},
                     {"kind", Entry ? EntryKindOf(*Entry).Name : ""},
                     {"ms", Ms}};
    if (!Why.empty()) Json["error"] = JsonText(Why);
    if (ClockNs) Json["clock_ns"] = static_cast<qint64>(ClockNs);
    *FOptions.Events << JsonLine(Json) << std::endl;
  }
}
