#include "app/Watchdog.h"

#include "engine/VizmoraPlayList.h"
#include "framework/DayFractions.h"
#include "framework/Timer.h"

TWatchdog::TWatchdog(TVizmoraPlayList* APlayList, TStalled AOnStalled)
    : FPlayList(APlayList), FOnStalled(std::move(AOnStalled)), FTimer(CreateTimer()) {
  FTimer->SetInterval(1000);
  FTimer->OnTimer = [this](ITimer*) { Look(); };
}

TWatchdog::~TWatchdog() = default;

void TWatchdog::Watch() {
  FLastPosition = -1;
  FStillSeconds = FPlayedSeconds = 0;
  FTimer->SetEnabled(true);
}

void TWatchdog::Stop() { FTimer->SetEnabled(false); }

void TWatchdog::Look() {
  if (FPlayList->State != esPlaying) return;
  ++FPlayedSeconds;
  const double Position = FPlayList->CurrentPosition();
  if (Position != FLastPosition) {
    FLastPosition = Position;
    FStillSeconds = 0;
  } else {
    ++FStillSeconds;
  }
  const double Length = FPlayList->CurrentDuration() * SecsPerDay;
  std::string Why;
  if (FStillSeconds >= GraceSeconds)
    Why = "the position has not moved for " + std::to_string(FStillSeconds) + " s";
  else if (Length > 0 && FPlayedSeconds >= Length + GraceSeconds)
    Why = "played " + std::to_string(FPlayedSeconds) + " s of an entry " + std::to_string(static_cast<long>(Length)) +
          " s long";
  if (Why.empty()) return;
  Stop();
  FOnStalled(Why);
}
