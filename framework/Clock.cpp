#include "framework/Clock.h"

#include <QDateTime>

#include "framework/DayFractions.h"

namespace {
TClockFunction& Override() {
  static TClockFunction F;
  return F;
}

double SystemNow() {
  // Local wall-clock time as days from the date-time epoch, 1899-12-30.
  static const QDateTime Epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
  const QDateTime Local = QDateTime::currentDateTime();
  const QDateTime AsUtc(Local.date(), Local.time(), Qt::UTC);
  return static_cast<double>(Epoch.msecsTo(AsUtc)) / MSecsPerDay;
}
}  // namespace

double Now() { return Override() ? Override()() : SystemNow(); }

void SetClock(TClockFunction Clock) { Override() = std::move(Clock); }
