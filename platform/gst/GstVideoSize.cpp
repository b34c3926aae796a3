#include "platform/gst/GstVideoSize.h"

#include "platform/dshow/EventCodes.h"

namespace {
// Streaming thread of the pad only.
struct TVideoSize {
  TGstEventQueue& Queue;
  gint Width = 0, Height = 0;
};

GstPadProbeReturn OnCaps(GstPad*, GstPadProbeInfo* Info, gpointer Data) {
  GstEvent* Event = GST_PAD_PROBE_INFO_EVENT(Info);
  if (GST_EVENT_TYPE(Event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  auto* Size = static_cast<TVideoSize*>(Data);
  GstCaps* Caps = nullptr;
  gst_event_parse_caps(Event, &Caps);
  gint Width = 0, Height = 0;
  const GstStructure* S = gst_caps_get_structure(Caps, 0);
  if (!gst_structure_get_int(S, "width", &Width) || !gst_structure_get_int(S, "height", &Height)) return GST_PAD_PROBE_OK;
  const bool Changed = Size->Width && (Width != Size->Width || Height != Size->Height);
  Size->Width = Width;
  Size->Height = Height;
  if (Changed) Size->Queue.Push(EC_VIDEO_SIZE_CHANGED, LONG_PTR((Width & 0xFFFF) | ((Height & 0xFFFF) << 16)));
  return GST_PAD_PROBE_OK;
}
}  // namespace

void WatchVideoSize(GstPad* Pad, TGstEventQueue& Queue) {
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnCaps, new TVideoSize{Queue},
                    [](gpointer Data) { delete static_cast<TVideoSize*>(Data); });
}
