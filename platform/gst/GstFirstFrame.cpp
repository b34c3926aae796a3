#include "platform/gst/GstFirstFrame.h"

#include "platform/dshow/EventCodes.h"
#include "platform/dshow/MonotonicClock.h"
#include "platform/gst/GstShowClock.h"

namespace {
// Streaming thread of the pad; the probe removes itself with the first buffer.
GstPadProbeReturn OnBuffer(GstPad* Pad, GstPadProbeInfo* Info, gpointer Queue) {
  std::int64_t ClockNs = 0;
  GstShowClockStamp(Pad, GST_PAD_PROBE_INFO_BUFFER(Info), ClockNs);
  static_cast<TGstEventQueue*>(Queue)->Push(EC_FIRST_FRAME, LONG_PTR(MonotonicMilliseconds()), LONG_PTR(ClockNs));
  return GST_PAD_PROBE_REMOVE;
}
}  // namespace

void WatchFirstFrame(GstPad* Pad, TGstEventQueue& Queue) {
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BUFFER, &OnBuffer, &Queue, nullptr);
}
