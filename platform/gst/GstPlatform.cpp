#include "platform/gst/GstPlatform.h"

#include <gst/gst.h>
#include <malloc.h>

#include <thread>

#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/gst/GstFilterGraph.h"
#include "platform/gst/GstLogFile.h"
#include "platform/gst/GstMediaDet.h"
#include "platform/gst/GstMixingRenderer.h"
#include "platform/gst/GstVideoRenderer.h"
#include "platform/gst/GstXInput.h"

namespace {
// Streaming threads come and go with every graph. With an allocator arena per thread, the
// buffers they free stay spread over many arenas and the resident size creeps up over
// thousands of entries; two arenas hold it level.
void LimitArenas() { mallopt(M_ARENA_MAX, 2); }

// Joined at exit, so the program never ends while a plugin is still loading.
struct TPreloader {
  std::thread Thread;
  ~TPreloader() {
    if (Thread.joinable()) Thread.join();
  }
};

// Video sinks that take the console's screen for themselves never suit a program that shows
// its video in windows, yet GStreamer's automatic sink tries them each time it looks for one:
// kmssink searches every DRM driver (seconds per renderer on a busy machine without a GPU),
// dfbvideosink crashes without a console.
void LeaveOutConsoleSinks() {
  for (const char* Name : {"kmssink", "dfbvideosink"}) {
    if (GstPluginFeature* Feature = gst_registry_lookup_feature(gst_registry_get(), Name)) {
      gst_plugin_feature_set_rank(Feature, GST_RANK_NONE);
      gst_object_unref(Feature);
    }
  }
}
}  // namespace

void GstPlatformPreload() {
  LimitArenas();
  static TPreloader Preloader;
  if (Preloader.Thread.joinable()) return;
  Preloader.Thread = std::thread([] {
    gst_init(nullptr, nullptr);
    for (const char* Name : {"coreelements", "playback", "typefindfunctions", "libav", "app", "volume", "autodetect",
                             "audioconvert", "audioresample"})
      if (GstPlugin* Plugin = gst_plugin_load_by_name(Name)) gst_object_unref(Plugin);
  });
}

void GstPlatformInitialize() {
  LimitArenas();
  gst_init(nullptr, nullptr);
  GstKeepXInputRecord();
  LeaveOutConsoleSinks();
  // Bitmaps and TIFF pictures come whole from a file: the pixbuf decoder takes them so, while the
  // libav ones, ranked above it, want them cut into frames by a parser there is none of.
  if (GstPluginFeature* Pixbuf = gst_registry_lookup_feature(gst_registry_get(), "gdkpixbufdec")) {
    gst_plugin_feature_set_rank(Pixbuf, GST_RANK_SECONDARY);
    gst_object_unref(Pixbuf);
  }
  GstLogFileInstall();
  CoRegisterClass(CLSID_FilterGraph, [](REFIID Iid, void** Object) {
    const ComPtr<TGstFilterGraph> Graph(new TGstFilterGraph);
    return Graph->QueryInterface(Iid, Object);
  });
  CoRegisterClass(CLSID_VideoMixingRenderer9, [](REFIID Iid, void** Object) {
    return TGstMixingRenderer::Create()->QueryInterface(Iid, Object);
  });
  CoRegisterClass(CLSID_VideoRenderer, [](REFIID Iid, void** Object) {
    return TGstVideoRenderer::Create()->QueryInterface(Iid, Object);
  });
  CoRegisterClass(CLSID_MediaDet, [](REFIID Iid, void** Object) {
    return TGstMediaDet::Create()->QueryInterface(Iid, Object);
  });
}
