#pragma once
// How long a render may take. It counts progress, not wall time alone: it passes once nothing
// has moved for Stall, so a good file on a busy machine, moving slowly but steadily, never
// trips it, while a stuck one fails Stall after its last step; and in any case Limit after
// the start, should something keep moving without ever getting anywhere.
#include <algorithm>
#include <chrono>

class TRenderDeadline {
public:
  using TClock = std::chrono::steady_clock;

  TRenderDeadline(TClock::time_point Start, TClock::duration Stall, TClock::duration Limit)
      : FLast(Start), FEnd(Start + Limit), FStall(Stall) {}

  // Something moved at Now.
  void Moved(TClock::time_point Now) { FLast = std::max(FLast, Now); }
  // When the render fails unless something moves before.
  TClock::time_point When() const { return std::min(FLast + FStall, FEnd); }
  bool Passed(TClock::time_point Now) const { return Now >= When(); }

private:
  TClock::time_point FLast;
  const TClock::time_point FEnd;
  const TClock::duration FStall;
};
