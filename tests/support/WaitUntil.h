#pragma once
// Waiting in tests: the event loop runs until a condition holds. The time limit is only a
// generous bound for a test that would otherwise hang; a verdict never rests on it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

// Runs the event loop until Done answers true or Ms have passed; answers Done.
inline bool RunUntil(const std::function<bool()>& Done, int Ms = 20000) {
  QElapsedTimer Clock;
  Clock.start();
  while (!Done() && Clock.elapsed() < Ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return Done();
}

// Lets the event loop run for a while, for checks that nothing changes meanwhile.
inline void RunFor(int Ms) {
  RunUntil([] { return false; }, Ms);
}
