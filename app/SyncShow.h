#pragma once
// Drives a show in step with other players on one clock: waits (on a worker) until the clock is
// in step and the videos' lengths are read, then starts every entry at its slot of the schedule:
// the one prepared next runs a lead ahead, its frames waiting for the slot's start, and takes
// over then. A slot already under way is joined at its position. The
// clock decides what plays: pause, seek, next and play requests are refused, a stop ends the
// show. User-interface thread, but for the worker.
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ShowSchedule.h"

class IShowClock;
class TProofLog;
class TStatusLine;
class TVizmoraPlayList;
enum class TPlayListChange;

struct TSyncOptions {
  IShowClock* Clock = nullptr;
  std::int64_t EpochNs = 0;       // where the schedule begins, on the clock
  TStatusLine* Status = nullptr;  // the waiting and what is refused are told here
  TProofLog* Log = nullptr;       // the waiting and the sync are logged here; nil: nowhere
  std::function<bool()> Ending;   // true once the show has ended (its rounds played)
  std::function<bool()> RunAhead;  // runs the entry prepared next ahead; false: none is prepared
  int LeadMs = 1000;              // how long before its slot an entry is run or opened, at least
};

class TSyncShow {
public:
  TSyncShow(TVizmoraPlayList* APlayList, TSyncOptions AOptions);
  ~TSyncShow();  // calls the worker off and waits for it
  TSyncShow(const TSyncShow&) = delete;
  TSyncShow& operator=(const TSyncShow&) = delete;

  // Starts waiting for the clock; the show follows once it is in step.
  void Start();

private:
  void Changed(TPlayListChange Change);
  void Synced(std::vector<std::int64_t> Lengths);
  // Opens the slot that holds the instant When, or the next when it is nearly over.
  void OpenAt(std::int64_t When);
  void Open(const TShowSlot& Slot, std::int64_t At, std::int64_t Position);
  void RunAhead();
  int DueMs(std::int64_t When) const;  // from now until the clock's time When
  bool Refuses(const char* What);
  void Say(const std::string& Text);

  TVizmoraPlayList* FPlayList;
  TSyncOptions FOptions;
  std::unique_ptr<TShowSchedule> FSchedule;
  TShowSlot FSlot;       // the slot opened last
  int FLeadMs;           // grows with the time entries take to open
  QTimer FAhead;         // runs the next slot's entry ahead
  QTimer FNext;          // takes the next slot's entry over
  bool FOwnPlay = false;  // the next PlayIndex is ours
  bool FOwnStop = false;  // a stop under way is ours
  bool FUserEnd = false;  // the entry ended last was ended by the user
  bool FEnded = false;    // stopped by the user
  int FListener = 0;
  std::atomic<bool> FQuit{false};
  std::thread FWorker;
};
