#pragma once
// A timer driven by hand: tests fire it and read its settings, and may collect every timer
// the code under test creates.
#include <memory>
#include <vector>

#include "framework/Timer.h"

class TManualTimer : public ITimer {
public:
  void SetInterval(int Milliseconds) override { FInterval = Milliseconds; }
  int Interval() const override { return FInterval; }
  void SetEnabled(bool Value) override { FEnabled = Value; }
  bool Enabled() const override { return FEnabled; }
  // Expires once, as the real timer would if it is enabled.
  void Fire() {
    if (FEnabled) OnTimer(this);
  }

private:
  int FInterval = 1000;
  bool FEnabled = false;
};

// Installs a factory of manual timers for its lifetime and remembers each timer it made.
class TManualTimers {
public:
  TManualTimers() {
    SetTimerFactory([this] {
      auto T = std::make_unique<TManualTimer>();
      Made.push_back(T.get());
      return T;
    });
  }
  ~TManualTimers() { SetTimerFactory({}); }
  TManualTimers(const TManualTimers&) = delete;
  TManualTimers& operator=(const TManualTimers&) = delete;

  std::vector<TManualTimer*> Made;  // in creation order; owned by whoever asked for them
};
