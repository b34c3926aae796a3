#pragma once
// The clock frame events are stamped with (EC_FIRST_FRAME) and their readers compare against.
#include <chrono>

// Milliseconds of the system's monotonic clock; safe from any thread.
inline long long MonotonicMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
