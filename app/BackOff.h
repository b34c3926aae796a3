#pragma once
// The wait before another round of a show whose entries all failed: 1 s, doubling up to 60 s,
// back to 1 s once something plays.
class TBackOff {
public:
  static constexpr int FirstMs = 1000;
  static constexpr int LongestMs = 60000;

  // The wait to use now; the next one is twice as long, up to the longest.
  int NextMs() {
    const int Ms = FNextMs;
    FNextMs = Ms >= LongestMs / 2 ? LongestMs : Ms * 2;
    return Ms;
  }
  void Reset() { FNextMs = FirstMs; }

private:
  int FNextMs = FirstMs;
};
