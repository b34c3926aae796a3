#pragma once
// Saves the floating-point environment (control word included) and restores it when the scope
// ends, also by an exception: creating the mixing renderer may change it behind our back.
#include <cfenv>

class TFloatingPointGuard {
public:
  TFloatingPointGuard() { std::fegetenv(&FSaved); }
  ~TFloatingPointGuard() { std::fesetenv(&FSaved); }
  TFloatingPointGuard(const TFloatingPointGuard&) = delete;
  TFloatingPointGuard& operator=(const TFloatingPointGuard&) = delete;

private:
  std::fenv_t FSaved;
};
