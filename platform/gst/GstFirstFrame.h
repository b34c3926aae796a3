#pragma once
// Reports the first frame of a decoded video stream reaching its renderer as EC_FIRST_FRAME.
#include <gst/gst.h>

#include "platform/gst/GstEventQueue.h"

// Queues the event once, for the first buffer passing Pad, with the time it passed in
// milliseconds of the monotonic clock as param1 and, on a show clock, the clock's time at which
// it is presented (GstShowClockStamp) in nanoseconds as param2, queued once that is known. Queue
// must outlive the pad's data flow and the pipeline's runs.
void WatchFirstFrame(GstPad* Pad, TGstEventQueue& Queue);
