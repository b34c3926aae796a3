#pragma once
// ITimer over QTimer; fires through the Qt event loop of the thread that created it.
#include <QTimer>
#include <memory>

#include "framework/Timer.h"

class TQtTimer : public ITimer {
public:
  TQtTimer();
  void SetInterval(int Milliseconds) override;
  int Interval() const override;
  void SetEnabled(bool Value) override;
  bool Enabled() const override;

private:
  QTimer& Native();

  // Created on first use: a playlist may hold a million entries that each own two timers.
  std::unique_ptr<QTimer> FTimer;
  int FInterval = 1000;
};
