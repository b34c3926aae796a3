#include "platform/gst/GstPlatform.h"

#include <gst/gst.h>

#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/gst/GstFilterGraph.h"
#include "platform/gst/GstLogFile.h"
#include "platform/gst/GstMixingRenderer.h"
#include "platform/gst/GstVideoRenderer.h"

void GstPlatformInitialize() {
  gst_init(nullptr, nullptr);
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
}
