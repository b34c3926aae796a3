#include "platform/win/WorkItems.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace {
// A thread of the pool ends once it has waited this long for more work.
constexpr int IdleMs = 1000;
// Items that wait on a stuck disk must not keep the others from running.
constexpr int MostThreads = 64;
// What the program waits for at its end: work still under way then is left to the exit.
constexpr int ExitWaitMs = 3000;

QThreadPool& Pool() {
  // Made once and never destroyed: a static pool would wait for stuck items at exit for ever.
  static QThreadPool* const P = [] {
    auto* Made = new QThreadPool;
    Made->setMaxThreadCount(MostThreads);
    Made->setExpiryTimeout(IdleMs);
    // The work still running touches libraries the program's end tears down.
    qAddPostRoutine([] { WaitForWorkItems(ExitWaitMs); });
    return Made;
  }();
  return *P;
}
}  // namespace

void QueueUserWorkItem(std::function<void()> Work) { Pool().start(std::move(Work)); }

bool WaitForWorkItems(int Ms) { return Pool().waitForDone(Ms); }
