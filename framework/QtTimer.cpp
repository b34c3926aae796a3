#include "framework/QtTimer.h"

TQtTimer::TQtTimer() = default;

QTimer& TQtTimer::Native() {
  if (!FTimer) {
    FTimer = std::make_unique<QTimer>();
    FTimer->setInterval(FInterval);
    FTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] { OnTimer(this); });
  }
  return *FTimer;
}

void TQtTimer::SetInterval(int Milliseconds) {
  FInterval = Milliseconds;
  // A running timer restarts its count with the new interval, as a message timer does.
  if (FTimer) FTimer->setInterval(Milliseconds);
}

int TQtTimer::Interval() const { return FInterval; }

void TQtTimer::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  if (Value)
    Native().start();
  else
    FTimer->stop();
}

bool TQtTimer::Enabled() const { return FTimer && FTimer->isActive(); }

namespace {
TTimerFactory& Factory() {
  static TTimerFactory F;
  return F;
}
}  // namespace

std::unique_ptr<ITimer> CreateTimer() {
  if (Factory()) return Factory()();
  return std::make_unique<TQtTimer>();
}

void SetTimerFactory(TTimerFactory F) { Factory() = std::move(F); }
