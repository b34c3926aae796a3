#include "platform/gst/GstFirstFrame.h"

#include "platform/dshow/EventCodes.h"
#include "platform/dshow/MonotonicClock.h"
#include "platform/gst/GstShowClock.h"

namespace {
// Streaming thread of the pad; the probe removes itself with the first buffer.
GstPadProbeReturn OnBuffer(GstPad* Pad, GstPadProbeInfo* Info, gpointer Queue) {
  auto* Events = static_cast<TGstEventQueue*>(Queue);
  const LONG_PTR Ms = LONG_PTR(MonotonicMilliseconds());
  const auto Report = [Events, Ms](std::int64_t ClockNs) { Events->Push(EC_FIRST_FRAME, Ms, LONG_PTR(ClockNs)); };
  if (!GstShowClockStamp(Pad, GST_PAD_PROBE_INFO_BUFFER(Info), Report)) Report(0);
  return GST_PAD_PROBE_REMOVE;
}
}  // namespace

void WatchFirstFrame(GstPad* Pad, TGstEventQueue& Queue) {
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BUFFER, &OnBuffer, &Queue, nullptr);
}
