#pragma once
// A fuzz target: a parser of outside input driven from a byte buffer. A target's file defines
// its entry with VIZMORA_FUZZ_TARGET(name) { ... Data, Size ... }; libFuzzer runs each target in
// a program of its own (fuzz_<name>), and the replay test runs every target over the inputs
// kept for it. An entry lets the parser refuse bad input in its own way and checks with
// FuzzCheck what must hold whatever the input.
#include <cstddef>
#include <cstdint>
#include <vector>

using TFuzzEntry = void (*)(const std::uint8_t* Data, std::size_t Size);

struct TFuzzTarget {
  const char* Name;
  TFuzzEntry Entry;
};

// The targets linked into this program, in no particular order.
const std::vector<TFuzzTarget>& FuzzTargets();
bool RegisterFuzzTarget(const char* Name, TFuzzEntry Entry);

// Ends the program with the message when Holds is false, so the fuzzer keeps the input.
void FuzzCheck(bool Holds, const char* What);

#define VIZMORA_FUZZ_TARGET(Name)                                                            \
  static void FuzzEntry_##Name(const std::uint8_t* Data, std::size_t Size);                  \
  [[maybe_unused]] static const bool FuzzRegistered_##Name =                                 \
      RegisterFuzzTarget(#Name, FuzzEntry_##Name);                                           \
  static void FuzzEntry_##Name(const std::uint8_t* Data, std::size_t Size)
