#pragma once
// How one entry gives way to the next: a cut, a cross-fade or a fade through black, and how long
// a fade takes.
#include <algorithm>

enum TTransitionKind { tkCut = 0, tkCrossFade = 1, tkThroughBlack = 2 };

struct TTransition {
  static constexpr int MinMs = 200, MaxMs = 5000;
  TTransitionKind Kind = tkCut;
  int Ms = 1000;

  bool Fades() const { return Kind != tkCut; }
  // The fade for an entry that lasts LengthMs: at most half of it.
  int MsFor(double LengthMs) const { return std::max(0, std::min(Ms, static_cast<int>(LengthMs / 2))); }
  bool operator==(const TTransition&) const = default;
};
