#include "platform/gst/GstFrameSink.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <mutex>

#include "platform/gst/GstShowClock.h"

// Shared with the sinks' streaming threads.
struct TGstFrameSink::TStore {
  mutable std::mutex Lock;
  GstSample* Latest = nullptr;
  gint64 Arrival = 0;
  std::function<void()> Listener;

  ~TStore() {
    if (Latest) gst_sample_unref(Latest);
  }

  void Keep(GstSample* Sample) {
    std::lock_guard Guard(Lock);
    if (Latest) gst_sample_unref(Latest);
    Latest = Sample;
    Arrival = g_get_monotonic_time();
    // Under the lock, so that a listener taken away is not called afterwards.
    if (Listener) Listener();
  }
};

namespace {
using TStorePtr = std::shared_ptr<TGstFrameSink::TStore>;

GstFlowReturn OnSample(GstAppSink* Sink, gpointer Data) {
  if (GstSample* Sample = gst_app_sink_pull_sample(Sink)) (*static_cast<TStorePtr*>(Data))->Keep(Sample);
  return GST_FLOW_OK;
}

// On a show clock a frame shows at its time on the clock, not when it has prerolled.
GstFlowReturn OnPreroll(GstAppSink* Sink, gpointer Data) {
  if (GstShowClockActive()) return GST_FLOW_OK;
  if (GstSample* Sample = gst_app_sink_pull_preroll(Sink)) (*static_cast<TStorePtr*>(Data))->Keep(Sample);
  return GST_FLOW_OK;
}

// Frames are read through their video meta, so a decoder may hand over its own buffers with
// their own strides instead of copying them into plain ones.
GstPadProbeReturn OnQuery(GstPad*, GstPadProbeInfo* Info, gpointer) {
  GstQuery* Query = GST_PAD_PROBE_INFO_QUERY(Info);
  if (GST_QUERY_TYPE(Query) != GST_QUERY_ALLOCATION) return GST_PAD_PROBE_OK;
  gst_query_add_allocation_meta(Query, GST_VIDEO_META_API_TYPE, nullptr);
  return GST_PAD_PROBE_HANDLED;
}
}  // namespace

TGstFrameSink::TGstFrameSink() : FStore(std::make_shared<TStore>()) {}

TGstFrameSink::~TGstFrameSink() { SetListener(nullptr); }

GstElement* TGstFrameSink::CreateSink() {
  GstElement* Sink = gst_element_factory_make("appsink", nullptr);
  GstCaps* Raw = gst_caps_new_empty_simple("video/x-raw");
  // Late frames are dropped as a video sink drops them, and say so upstream.
  g_object_set(Sink, "caps", Raw, "sync", TRUE, "max-lateness", gint64(20 * GST_MSECOND), "qos", TRUE,
               "enable-last-sample", FALSE, "max-buffers", guint(1), "drop", TRUE, nullptr);
  gst_caps_unref(Raw);
  GstAppSinkCallbacks Callbacks{};
  Callbacks.new_sample = &OnSample;
  Callbacks.new_preroll = &OnPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(Sink), &Callbacks, new TStorePtr(FStore),
                             [](gpointer Data) { delete static_cast<TStorePtr*>(Data); });
  GstPad* Pad = gst_element_get_static_pad(Sink, "sink");
  gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, &OnQuery, nullptr, nullptr);
  gst_object_unref(Pad);
  return Sink;
}

void TGstFrameSink::SetListener(std::function<void()> Listener) {
  std::lock_guard Guard(FStore->Lock);
  FStore->Listener = std::move(Listener);
}

GstSample* TGstFrameSink::LatestSample() const {
  std::lock_guard Guard(FStore->Lock);
  return FStore->Latest ? gst_sample_ref(FStore->Latest) : nullptr;
}

gint64 TGstFrameSink::LatestArrival() const {
  std::lock_guard Guard(FStore->Lock);
  return FStore->Arrival;
}
