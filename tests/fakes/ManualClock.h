#pragma once
// A wall clock set by hand, installed for the fixture's lifetime.
#include "framework/Clock.h"

class TManualClock {
public:
  explicit TManualClock(double Start = 45000.0) : FNow(Start) {
    SetClock([this] { return FNow; });
  }
  ~TManualClock() { SetClock({}); }
  TManualClock(const TManualClock&) = delete;
  TManualClock& operator=(const TManualClock&) = delete;

  void AdvanceSeconds(double Seconds) { FNow += Seconds / 86400.0; }
  double Now() const { return FNow; }

private:
  double FNow;
};
