#include "platform/gst/GstDecoderThreads.h"

#include <gst/video/video.h>

namespace {
constexpr const char* ThreadsProperty = "max-threads";

// The worker threads for pictures of Width x Height: 1, or 0 for the decoder's choice.
int DecoderThreadsFor(int Width, int Height) {
  constexpr long long SmallPicture = 1024LL * 576;  // standard definition at its widest
  return Width > 0 && Height > 0 && (long long)Width * Height <= SmallPicture ? 1 : 0;
}

// Before the decoder sees new caps, so that it opens its codec with the count set here.
GstPadProbeReturn OnCaps(GstPad*, GstPadProbeInfo* Info, gpointer Decoder) {
  GstEvent* Event = GST_PAD_PROBE_INFO_EVENT(Info);
  if (GST_EVENT_TYPE(Event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* Caps = nullptr;
  gst_event_parse_caps(Event, &Caps);
  const GstStructure* Format = gst_caps_get_size(Caps) > 0 ? gst_caps_get_structure(Caps, 0) : nullptr;
  int Width = 0, Height = 0;
  if (Format && gst_structure_get_int(Format, "width", &Width) && gst_structure_get_int(Format, "height", &Height))
    g_object_set(Decoder, ThreadsProperty, DecoderThreadsFor(Width, Height), nullptr);
  return GST_PAD_PROBE_OK;
}

void OnElementAdded(GstBin*, GstElement* Element, gpointer) {
  GParamSpec* Threads = g_object_class_find_property(G_OBJECT_GET_CLASS(Element), ThreadsProperty);
  if (!Threads || Threads->value_type != G_TYPE_INT || !(Threads->flags & G_PARAM_WRITABLE)) return;
  if (GstPad* Pad = gst_element_get_static_pad(Element, "sink")) {
    gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnCaps, Element, nullptr);
    gst_object_unref(Pad);
  }
}
}  // namespace

void LimitDecoderThreads(GstElement* Decodebin) {
  g_signal_connect(Decodebin, "element-added", G_CALLBACK(&OnElementAdded), nullptr);
}
