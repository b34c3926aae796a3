#include "platform/gst/GstRenderers.h"

#include <QGuiApplication>
#include <atomic>
#include <cmath>
#include <initializer_list>

namespace {
constexpr const char* VolumeKey = "vizmora-volume";

GstElement* Make(const char* Factory) { return gst_element_factory_make(Factory, nullptr); }

GstElement* NullSink() {
  GstElement* Sink = Make("fakesink");
  g_object_set(Sink, "sync", TRUE, nullptr);
  return Sink;
}

// A bin of Elements linked in order, its sink pad that of the first.
GstElement* ChainBin(const char* Name, std::initializer_list<GstElement*> Elements) {
  GstElement* Bin = gst_bin_new(Name);
  GstElement* Previous = nullptr;
  for (GstElement* E : Elements) {
    gst_bin_add(GST_BIN(Bin), E);
    if (Previous) gst_element_link(Previous, E);
    Previous = E;
  }
  GstPad* Pad = gst_element_get_static_pad(*Elements.begin(), "sink");
  gst_element_add_pad(Bin, gst_ghost_pad_new("sink", Pad));
  gst_object_unref(Pad);
  return Bin;
}

bool IsFakeSink(GstElement* Element) {
  GstElementFactory* Factory = gst_element_get_factory(Element);
  return Factory && g_str_equal(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(Factory)), "fakesink");
}

// The audio device's sink, or null when there is none: autoaudiosink picks the device when it
// opens, and falls back to a fakesink of its own when nothing answers.
GstElement* AudioDeviceSink() {
  // A machine without a device keeps having none; asking again only costs time and noise.
  static std::atomic<bool> NoDevice{false};
  if (NoDevice) return nullptr;
  GstElement* Sink = Make("autoaudiosink");
  if (!Sink) return nullptr;
  gst_object_ref_sink(Sink);
  bool Device = gst_element_set_state(Sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  if (Device) {
    GstIterator* It = gst_bin_iterate_sinks(GST_BIN(Sink));
    GValue Item = G_VALUE_INIT;
    while (gst_iterator_next(It, &Item) == GST_ITERATOR_OK) {
      if (IsFakeSink(GST_ELEMENT(g_value_get_object(&Item)))) Device = false;
      g_value_reset(&Item);
    }
    g_value_unset(&Item);
    gst_iterator_free(It);
  }
  if (!Device) {
    NoDevice = true;
    gst_element_set_state(Sink, GST_STATE_NULL);
    gst_object_unref(Sink);
    return nullptr;
  }
  return Sink;  // the reference is handed over; the bin that adopts it keeps it
}
}  // namespace

bool HasDisplay() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    const QString Platform = QGuiApplication::platformName();
    if (Platform == "offscreen" || Platform == "minimal") return false;
  } else if (const char* Qpa = g_getenv("QT_QPA_PLATFORM"); Qpa && (g_str_has_prefix(Qpa, "offscreen") || g_str_has_prefix(Qpa, "minimal"))) {
    return false;
  }
  const char* X = g_getenv("DISPLAY");
  const char* Wayland = g_getenv("WAYLAND_DISPLAY");
  return (X && *X) || (Wayland && *Wayland);
}

ComPtr<TGstFilter> CreateVideoRenderer() {
  if (!HasDisplay()) return TGstFilter::Create(ChainBin(nullptr, {NullSink()}));
  return TGstFilter::Create(ChainBin(nullptr, {Make("videoconvert"), Make("videoscale"), Make("autovideosink")}));
}

ComPtr<TGstFilter> CreateAudioRenderer(double Volume) {
  GstElement* Level = Make("volume");
  g_object_set(Level, "volume", Volume, nullptr);
  GstElement* Sink = AudioDeviceSink();
  GstElement* Bin = ChainBin(nullptr, {Make("audioconvert"), Make("audioresample"), Level, Sink ? Sink : NullSink()});
  if (Sink) gst_object_unref(Sink);  // the bin holds it now
  g_object_set_data(G_OBJECT(Bin), VolumeKey, Level);
  return TGstFilter::Create(Bin);
}

ComPtr<TGstFilter> CreateStillFrame() { return TGstFilter::Create(Make("imagefreeze")); }

GstElement* VolumeOf(GstElement* Renderer) { return static_cast<GstElement*>(g_object_get_data(G_OBJECT(Renderer), VolumeKey)); }

double LinearVolume(LONG Volume) {
  if (Volume <= -10000) return 0.0;
  return std::pow(10.0, double(Volume) / 2000.0);
}
