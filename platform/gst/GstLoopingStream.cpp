#include "platform/gst/GstLoopingStream.h"

#include <atomic>

namespace {
constexpr GstClockTime DefaultFrame = 100 * GST_MSECOND;

// Streaming thread of the pad only, except Restarting.
struct TLoop {
  GstClockTime Next = 0;
  std::atomic<bool> Restarting{false};
  bool DropSegment = false;
};

// Sends the decoder back to the start; runs on GStreamer's thread pool, since a flushing
// seek cannot be made from the streaming thread it flushes.
void Restart(GstElement*, gpointer Data) {
  GstPad* Pad = GST_PAD(Data);
  gst_pad_send_event(Pad, gst_event_new_seek(1.0, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET, 0,
                                             GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE));
}

GstPadProbeReturn OnData(GstPad* Pad, GstPadProbeInfo* Info, gpointer Data) {
  auto* Loop = static_cast<TLoop*>(Data);
  if (Info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* Buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(Info));
    const GstClockTime Frame = GST_BUFFER_DURATION_IS_VALID(Buffer) && GST_BUFFER_DURATION(Buffer) > 0
                                   ? GST_BUFFER_DURATION(Buffer)
                                   : DefaultFrame;
    GST_BUFFER_PTS(Buffer) = Loop->Next;
    GST_BUFFER_DTS(Buffer) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(Buffer) = Frame;
    Loop->Next += Frame;
    GST_PAD_PROBE_INFO_DATA(Info) = Buffer;
    return GST_PAD_PROBE_OK;
  }
  GstEvent* Event = GST_PAD_PROBE_INFO_EVENT(Info);
  switch (GST_EVENT_TYPE(Event)) {
    case GST_EVENT_EOS:
      if (!Loop->Restarting.exchange(true)) {
        GstElement* Decoder = gst_pad_get_parent_element(Pad);
        if (Decoder) {
          gst_element_call_async(Decoder, &Restart, gst_object_ref(Pad), gst_object_unref);
          gst_object_unref(Decoder);
        }
      }
      return GST_PAD_PROBE_DROP;
    case GST_EVENT_FLUSH_START: return Loop->Restarting ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
    case GST_EVENT_FLUSH_STOP:
      if (!Loop->Restarting) return GST_PAD_PROBE_OK;
      Loop->Restarting = false;
      Loop->DropSegment = true;
      return GST_PAD_PROBE_DROP;
    case GST_EVENT_SEGMENT:
      if (!Loop->DropSegment) return GST_PAD_PROBE_OK;
      Loop->DropSegment = false;
      return GST_PAD_PROBE_DROP;
    default: return GST_PAD_PROBE_OK;
  }
}
}  // namespace

void LoopStream(GstPad* Pad) {
  gst_pad_add_probe(Pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    &OnData, new TLoop, [](gpointer Data) { delete static_cast<TLoop*>(Data); });
}
