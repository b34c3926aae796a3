#pragma once
// Work items: functions run on pool threads, off the thread that queues them (the stand-in for
// QueueUserWorkItem). Used for work that may wait on the disk or on streaming threads, which
// must never hold up the user-interface thread. A thread is made when work comes and ends soon
// after it runs out, so an idle program keeps none. Any thread.
#include <functional>

void QueueUserWorkItem(std::function<void()> Work);
// Waits until every item queued so far has run, or Ms have passed; true when all have.
bool WaitForWorkItems(int Ms);
