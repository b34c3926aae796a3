#pragma once
// Counts the current entry as stalled when it plays on without getting anywhere: its position
// has not moved for 10 s, or it has played 10 s longer than its length. Looks once a second while
// the playlist plays; a paused or stopped playlist is not watched. User-interface thread.
#include <functional>
#include <memory>
#include <string>

class ITimer;
class TVizmoraPlayList;

class TWatchdog {
public:
  static constexpr int GraceSeconds = 10;

  using TStalled = std::function<void(const std::string& Why)>;
  TWatchdog(TVizmoraPlayList* APlayList, TStalled AOnStalled);
  ~TWatchdog();
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

  // Starts watching the entry that has just started; Stop leaves it alone.
  void Watch();
  void Stop();

private:
  void Look();

  TVizmoraPlayList* FPlayList;
  TStalled FOnStalled;
  std::unique_ptr<ITimer> FTimer;
  double FLastPosition = -1;  // days
  int FStillSeconds = 0;      // seconds played at FLastPosition
  int FPlayedSeconds = 0;     // seconds played since the entry started
};
