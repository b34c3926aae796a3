#include "fuzz/FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::vector<TFuzzTarget>& Targets() {
  static std::vector<TFuzzTarget> T;
  return T;
}
}  // namespace

const std::vector<TFuzzTarget>& FuzzTargets() { return Targets(); }

bool RegisterFuzzTarget(const char* Name, TFuzzEntry Entry) {
  Targets().push_back({Name, Entry});
  return true;
}

void FuzzCheck(bool Holds, const char* What) {
  if (Holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", What);
  std::abort();
}
