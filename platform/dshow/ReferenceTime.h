#pragma once
// DirectShow's times (REFERENCE_TIME) count 100-ns units.
#include "platform/com/ComTypes.h"

constexpr REFERENCE_TIME UnitsPerSecond = 10'000'000;
constexpr REFERENCE_TIME UnitsPerMillisecond = 10'000;
constexpr REFERENCE_TIME NanosecondsPerUnit = 100;
