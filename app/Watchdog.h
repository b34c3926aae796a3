#pragma once
// Counts the current entry as stalled when it plays on without getting anywhere: its position
// has not moved for 10 s of playing, or, for a video, it has played more than 10 s past its
// length, counted from where it was last sought to (or from its start). Looks once a second
// while the playlist plays; time paused or stopped does not count, and a resumed entry's
// stillness is counted afresh. User-interface thread.
#include <functional>
#include <memory>
#include <string>

class ITimer;
class TVizmoraPlayList;

class TWatchdog {
public:
  static constexpr int GraceSeconds = 10;

  using TStalled = std::function<void(const std::string& Why)>;
  using TClock = std::function<long long()>;  // milliseconds that never go back

  TWatchdog(TVizmoraPlayList* APlayList, TStalled AOnStalled, TClock AClock);
  ~TWatchdog();
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

  // Starts watching the entry that has just started; Stop leaves it alone.
  void Watch();
  // The entry was sought: its overrun is counted from where it went.
  void Sought();
  void Stop();

private:
  void Look();
  double Position() const;  // seconds

  TVizmoraPlayList* FPlayList;
  TStalled FOnStalled;
  TClock FClock;
  std::unique_ptr<ITimer> FTimer;
  long long FLastLook = -1;   // ms on FClock; -1 while paused or stopped
  double FLastPosition = -1;  // seconds; -1 when the next look starts the count of stillness
  long long FStillMs = 0;     // played at FLastPosition
  double FFrom = 0;           // seconds: where the entry was started or sought to
  long long FPlayedMs = 0;    // played since then
};
