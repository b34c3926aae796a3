#pragma once
// Reports changes of a decoded video stream's picture size as EC_VIDEO_SIZE_CHANGED.
#include <gst/gst.h>

#include "platform/gst/GstEventQueue.h"

// Watches the caps passing Pad; the first size is the stream's own, each later different
// one queues the event (param1 = width | height << 16). Queue must outlive the pad's data flow.
void WatchVideoSize(GstPad* Pad, TGstEventQueue& Queue);
