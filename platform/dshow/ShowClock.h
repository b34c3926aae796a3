#pragma once
// The clock a show runs on when several players show it in step: a clock published on the
// network, a PTP clock or the machine's realtime clock. Every graph made while it exists runs on
// it, with a base time set from the entry that starts. Implemented over GStreamer in platform/gst.
#include <cstdint>
#include <string>

class IShowClock {
public:
  virtual ~IShowClock() = default;

  // Blocks until the clock is in step with its source, at most TimeoutMs; true once it is. Any
  // thread; meant for a worker, as the first sync can take seconds.
  virtual bool WaitForSync(int TimeoutMs) = 0;
  // The clock's time in nanoseconds (since 1970 for the realtime clock and a clock published
  // from one). Any thread.
  virtual std::int64_t Now() = 0;
  // The entry starting next shows its stream's position PositionNs at the clock's time
  // StartNs: graphs run from now on seek there and take their base time from it.
  virtual void SetEntryStart(std::int64_t StartNs, std::int64_t PositionNs) = 0;
  // What the clock follows, for the status line and the log: "the clock published at ...".
  virtual std::string Describe() const = 0;
};
