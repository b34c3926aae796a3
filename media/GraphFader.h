#pragma once
// The clock of a fade: from 0 to 1 over its length of running time (a pause holds it), told in
// steps on the user-interface thread; the last step is 1.
#include <QElapsedTimer>
#include <functional>
#include <memory>

class ITimer;

class TGraphFader {
public:
  TGraphFader(int Ms, std::function<void(float Level)> Step);
  ~TGraphFader();
  TGraphFader(const TGraphFader&) = delete;
  TGraphFader& operator=(const TGraphFader&) = delete;

  void SetRunning(bool Running);
  bool Done() const { return FDone; }

private:
  void Tick();

  const int FMs;
  std::function<void(float)> FStep;
  std::unique_ptr<ITimer> FTimer;
  QElapsedTimer FClock;  // since the last tick, while running
  qint64 FElapsed = 0;   // running time so far
  bool FDone = false;
};
