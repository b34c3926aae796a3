#include "app/Watchdog.h"

#include "app/EntryKinds.h"
#include "engine/VizmoraPlayList.h"
#include "framework/DayFractions.h"
#include "framework/Timer.h"

TWatchdog::TWatchdog(TVizmoraPlayList* APlayList, TStalled AOnStalled, TClock AClock)
    : FPlayList(APlayList), FOnStalled(std::move(AOnStalled)), FClock(std::move(AClock)), FTimer(CreateTimer()) {
  FTimer->SetInterval(1000);
  FTimer->OnTimer = [this](ITimer*) { Look(); };
}

TWatchdog::~TWatchdog() = default;

void TWatchdog::Watch() {
  FLastLook = FClock();
  FLastPosition = -1;
  FStillMs = FPlayedMs = 0;
  FFrom = 0;
  FTimer->SetEnabled(true);
}

void TWatchdog::Sought() {
  FFrom = Position();
  FPlayedMs = 0;
  FLastPosition = -1;
  FStillMs = 0;
}

void TWatchdog::Stop() { FTimer->SetEnabled(false); }

double TWatchdog::Position() const { return FPlayList->CurrentExactPosition() * SecsPerDay; }

void TWatchdog::Look() {
  const long long Now = FClock();
  if (FPlayList->State != esPlaying) {
    FLastLook = -1;
    return;
  }
  if (FLastLook < 0) {  // resumed: from now on it counts, its stillness afresh
    FLastLook = Now;
    FLastPosition = Position();
    FStillMs = 0;
    return;
  }
  const long long Step = Now - FLastLook;
  FLastLook = Now;
  FPlayedMs += Step;
  const double Position = this->Position();
  if (Position != FLastPosition) {
    FLastPosition = Position;
    FStillMs = 0;
  } else {
    FStillMs += Step;
  }
  const TPlayListEntry* Entry = FPlayList->Items(FPlayList->Current);
  const double Length = FPlayList->CurrentDuration() * SecsPerDay;
  const double Reached = FFrom + static_cast<double>(FPlayedMs) / 1000;
  std::string Why;
  if (FStillMs >= GraceSeconds * 1000)
    Why = "the position has not moved for " + std::to_string(FStillMs / 1000) + " s";
  else if (Entry && EntryKindOf(*Entry).Code == ecVideoEntry && Length > 0 && Reached > Length + GraceSeconds)
    Why = "played on " + std::to_string(static_cast<long>(Reached - Length)) + " s past the end of an entry " +
          std::to_string(static_cast<long>(Length)) + " s long";
  if (Why.empty()) return;
  Stop();
  FOnStalled(Why);
}
