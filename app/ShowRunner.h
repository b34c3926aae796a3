#pragma once
// Runs the show started from the command line: plays the first entry (or the one to resume at),
// reports each entry that starts, shows its first frame, finishes, fails, is skipped or stalls
// (as JSON lines on a stream, in a log file, or both), and ends the program once the playlist
// has wrapped round a given number of times. It listens to the playlist and observes the main
// graph, so entries started from anywhere (the window, the desktop's media controls) count.
// Entries that fail either halt the show or, when skipping, are passed over, with
// a growing wait between rounds in which every entry failed. With fades, an entry is reported
// started at the first picture that shows it and finished at the first without it, as the
// renderer tells. User-interface thread.
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <deque>
#include <optional>
#include <ostream>
#include <string>

#include "app/BackOff.h"
#include "app/Watchdog.h"
#include "media/GraphObserver.h"
#include "platform/dshow/MonotonicClock.h"

class TFilterGraph;
class TProofLog;
class TResumeStore;
class TStatusLine;
class TVizmoraPlayList;
enum class TEndReason;
enum class TPlayListChange;

struct TShowOptions {
  int Loops = 0;                      // 0: play on until the user stops
  std::ostream* Events = nullptr;     // JSON lines of started, frame, finished and failed; nil: none
  TProofLog* Log = nullptr;           // every event with its wall-clock time; nil: none
  TResumeStore* Resume = nullptr;     // where the show starts and is saved; nil: from the first entry
  std::function<bool()> SkipBroken;   // asked at each failure; empty: never skip
  // A show with nothing to play, or whose first failure halts it before anything played, ends
  // with status 2.
  bool EndWhenNothingPlays = false;
  TStatusLine* Status = nullptr;      // where a wait between rounds is told; nil: nowhere
  // Every event as the log writes it, with its wall-clock time (for the remote views); empty: none.
  std::function<void(const QJsonObject& Line, std::int64_t WallMs)> OnEvent;
  // The show runs on a clock that starts every entry (TSyncShow): a failure is reported and the
  // entry keeps its slot; nothing is started here and the show does not end for it.
  bool Clocked = false;
};

class TShowRunner : public IGraphObserver {
public:
  TShowRunner(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, TShowOptions AOptions);
  ~TShowRunner();
  TShowRunner(const TShowRunner&) = delete;
  TShowRunner& operator=(const TShowRunner&) = delete;

  // Plays the first entry, or the one to resume at, once the event loop runs.
  void Start();
  bool SkipsBroken() const { return FOptions.SkipBroken && FOptions.SkipBroken(); }
  // True once the show has ended the program's run.
  bool Ending() const { return FEnding; }

  void ObserveGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) override;
  void ObserveControl(TGraphControl, LONG) override {}

private:
  void Changed(TPlayListChange Change);
  void Started();
  // Ms: when the entry became visible.
  void ReportStarted(long long Ms);
  void ReportGone();
  void FlushFade();
  // The entry faded out, if it is still to be reported, is reported gone at Ms at the latest.
  void FlushGone(long long Ms);
  // Fading: the entry fades out under the next one, and is reported finished once it is gone.
  void Finished(bool Fading);
  // Reason erFailed or erStalled. WhilePlaying: the entry broke down or stalled while it played;
  // it is ended here and reported, as no exception carries its failure to the report.
  void Failed(TEndReason Reason, const std::string& Why, bool WhilePlaying);
  // The entry at Index failed while skipping: counted and told as skipped. The wait before the
  // entry after it; none when the show ends here.
  std::optional<int> Skip(int Index);
  void Passed();
  void Played();
  long long Shown(long long FrameMs) const;
  // Starts the entry at Index from the event loop after Ms; its failure is reported here.
  void PlayLater(int Index, int Ms);
  // Counts a round played through; true when it was the last the show plays.
  bool EndsRound();
  // Whether the show ends once the entry at Index has played: the last of its last round.
  bool EndsAfter(int Index) const;
  void End(int Status);
  // ClockNs: the show clock's time of a frame; 0: none.
  void Emit(const char* Event, int Index, const std::string& Why = {}, long long Ms = MonotonicMilliseconds(),
            std::int64_t ClockNs = 0);

  TVizmoraPlayList* FPlayList;
  QPointer<TFilterGraph> FMainGraph;  // nil once the video form is gone
  TShowOptions FOptions;
  int FListener = 0;
  TWatchdog FWatchdog;
  TBackOff FBackOff;
  QTimer FNext;              // the entry to start after a failure
  int FNextIndex = 0;
  int FWrapped = 0;          // rounds completed
  int FFailedInRow = 0;      // failures since an entry last played
  bool FEverPlayed = false;  // an entry showed a frame or played out in this run
  bool FEnding = false;
  bool FStarting = false;    // between the playlist's pcStarting and its pcCurrent
  long long FStartMs = 0;    // when the entry starting began to start
  long long FStartedMs = 0;  // when the entry started last had started
  bool FFrameDue = false;    // the entry started last has not reported a frame yet
  struct TFrame {
    long long Ms;
    std::int64_t ClockNs;
  };
  std::optional<TFrame> FHeldFrame;  // a frame that came before its start was reported
  std::deque<int> FFadingOut;           // the entries fading out, to report finished, oldest first
  bool FShowDue = false;                // the entry fading in is reported started once it shows
  bool FFadeEnded = false;              // the oldest entry fading out has faded
  std::optional<long long> FGoneMs;     // when the first picture without it was shown
};
