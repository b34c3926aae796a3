#pragma once
// A timer firing on the user-interface thread; entries own theirs through this interface so
// tests can drive time by hand.
#include <functional>
#include <memory>

#include "framework/Event.h"

class ITimer {
public:
  virtual ~ITimer() = default;
  virtual void SetInterval(int Milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool Value) = 0;
  virtual bool Enabled() const = 0;

  TEvent<ITimer*> OnTimer;  // raised on each expiry while enabled
};

using TTimerFactory = std::function<std::unique_ptr<ITimer>()>;

// A new timer: disabled, interval 1000 ms, from the program-wide factory.
std::unique_ptr<ITimer> CreateTimer();
// Replaces the factory (tests install hand-driven timers); an empty one restores the Qt timers.
void SetTimerFactory(TTimerFactory Factory);
