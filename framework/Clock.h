#pragma once
// The wall clock as a date-time (days since 30 Dec 1899, local time), replaceable for tests.
#include <functional>

using TClockFunction = std::function<double()>;

// The local date-time now.
double Now();
// Replaces the clock; an empty function restores the system clock.
void SetClock(TClockFunction Clock);
