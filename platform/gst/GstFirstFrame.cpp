#include "platform/gst/GstFirstFrame.h"

#include "platform/dshow/EventCodes.h"
#include "platform/dshow/MonotonicClock.h"

namespace {
// Streaming thread of the pad; the probe removes itself with the first buffer.
GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo*, gpointer Queue) {
  static_cast<TGstEventQueue*>(Queue)->Push(EC_FIRST_FRAME, LONG_PTR(MonotonicMilliseconds()));
  return GST_PAD_PROBE_REMOVE;
}
}  // namespace

void WatchFirstFrame(GstPad* Pad, TGstEventQueue& Queue) {
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BUFFER, &OnBuffer, &Queue, nullptr);
}
