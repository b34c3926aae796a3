#include "app/ShowSchedule.h"

TShowSchedule::TShowSchedule(std::int64_t AEpoch, std::vector<std::int64_t> ALengths)
    : FEpoch(AEpoch), FLengths(std::move(ALengths)) {
  for (std::int64_t& Length : FLengths) {
    if (Length < 0) Length = 0;
    FRound += Length;
  }
}

TShowSlot TShowSchedule::At(std::int64_t Now) const {
  if (FRound == 0) return {};
  std::int64_t Into = (Now - FEpoch) % FRound;
  if (Into < 0) Into += FRound;  // before the epoch the show loops backwards
  std::int64_t Start = Now - Into;
  for (std::size_t I = 0;; ++I) {
    if (Into < FLengths[I]) return {static_cast<int>(I), Start, FLengths[I]};
    Into -= FLengths[I];
    Start += FLengths[I];
  }
}

TShowSlot TShowSchedule::After(const TShowSlot& Slot) const { return At(Slot.Start + Slot.Length); }
