#pragma once
// Date-times and entry lengths are day fractions (days as a double): these turn them into
// seconds and milliseconds and back.
constexpr double SecsPerDay = 86'400;
constexpr double MSecsPerDay = 86'400'000;
