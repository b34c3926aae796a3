#pragma once
// The show clock over GStreamer: a realtime system clock, a network client clock slaved to one
// another player publishes, or a PTP clock; optionally published on the network itself. While it
// exists every pipeline made joins it (GstShowClockJoin) and runs on the base time of the entry
// starting (GstShowClockRun). One at a time.
#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dshow/ShowClock.h"

class TGstShowClock : public IShowClock {
public:
  // Source: "system", "ptp" or "ptp:DOMAIN", or "HOST:PORT" of a published clock; empty: this
  // machine's realtime clock. Serve: "[ADDR:]PORT" to publish the clock at; empty: none. Nil,
  // with Error set, when the clock cannot be made or published.
  static std::unique_ptr<TGstShowClock> Make(const std::string& Source, const std::string& Serve, std::string& Error);
  ~TGstShowClock() override;
  TGstShowClock(const TGstShowClock&) = delete;
  TGstShowClock& operator=(const TGstShowClock&) = delete;

  bool WaitForSync(int TimeoutMs) override;
  std::int64_t Now() override;
  void SetEntryStart(std::int64_t StartNs, std::int64_t PositionNs) override;
  std::string Describe() const override { return FDescription; }

  // The clock of the show and the entry start set last, for the graphs; any thread.
  GstClock* Clock() const { return FClock; }
  void EntryStart(std::int64_t& StartNs, std::int64_t& PositionNs);

private:
  TGstShowClock(GstClock* AClock, std::string ADescription);

  GstClock* const FClock;
  GstObject* FProvider = nullptr;  // the GstNetTimeProvider publishing it, if any
  const std::string FDescription;
  std::mutex FLock;  // guards the entry start
  std::int64_t FStart = 0;
  std::int64_t FPosition = 0;
};

// Puts a new pipeline on the show clock, its base time set by hand; nothing without a show clock.
void GstShowClockJoin(GstElement* Pipeline);
// Before a pipeline goes to playing: seeks it to the entry's position and sets its base time.
void GstShowClockRun(GstElement* Pipeline);
// A pipeline stopped: what it renders next waits for its next run to learn its base time.
void GstShowClockHalt(GstElement* Pipeline);
// Whether pipelines run on a show clock: frames then show at their time, not at preroll.
bool GstShowClockActive();
// Tells Report the show clock's time at which Buffer, leaving Pad, is presented: its pipeline's
// base time plus its running time, or the clock's time then when that is later. At once when
// the pipeline runs, else on the thread that runs it, when it does (a graph prepared ahead
// prerolls before its base time is known). False, Report not called, without a show clock.
bool GstShowClockStamp(GstPad* Pad, GstBuffer* Buffer, std::function<void(std::int64_t ClockNs)> Report);
