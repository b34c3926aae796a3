#include "platform/gst/GstFirstFrame.h"

#include <chrono>

#include "platform/dshow/EventCodes.h"

namespace {
// Streaming thread of the pad; the probe removes itself with the first buffer.
GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo*, gpointer Queue) {
  using namespace std::chrono;
  const auto Ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  static_cast<TGstEventQueue*>(Queue)->Push(EC_FIRST_FRAME, LONG_PTR(Ms));
  return GST_PAD_PROBE_REMOVE;
}
}  // namespace

void WatchFirstFrame(GstPad* Pad, TGstEventQueue& Queue) {
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BUFFER, &OnBuffer, &Queue, nullptr);
}
