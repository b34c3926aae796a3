#pragma once
// The clock the benchmark tools stamp their reports with: CLOCK_MONOTONIC in milliseconds, the
// clock the program stamps its frame events with too.
#include <time.h>

inline double MonotonicMs() {
  timespec Now{};
  clock_gettime(CLOCK_MONOTONIC, &Now);
  return Now.tv_sec * 1e3 + Now.tv_nsec / 1e6;
}
