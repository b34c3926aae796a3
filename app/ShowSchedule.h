#pragma once
// The show as a function of time, for players in step on one clock: entry k starts at the
// epoch plus the lengths of the entries before it, and the list loops for ever (before the epoch
// too). Entries of no length have no slot. Times in nanoseconds of the show clock.
#include <cstdint>
#include <vector>

struct TShowSlot {
  int Index = -1;          // -1: nothing to show (every length is 0)
  std::int64_t Start = 0;  // when the entry's slot begins
  std::int64_t Length = 0;
};

class TShowSchedule {
public:
  TShowSchedule(std::int64_t AEpoch, std::vector<std::int64_t> ALengths);

  // The slot that holds the instant Now.
  TShowSlot At(std::int64_t Now) const;
  // The slot that follows Slot.
  TShowSlot After(const TShowSlot& Slot) const;

private:
  std::int64_t FEpoch;
  std::vector<std::int64_t> FLengths;
  std::int64_t FRound = 0;  // the sum of the lengths
};
