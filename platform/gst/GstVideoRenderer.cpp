#include "platform/gst/GstVideoRenderer.h"

#include "platform/gst/GstRenderers.h"
#include "platform/gst/GstSinkChain.h"

ComPtr<TGstVideoRenderer> TGstVideoRenderer::Create() {
  return ComPtr<TGstVideoRenderer>(new TGstVideoRenderer(gst_bin_new(nullptr)));
}

TGstVideoRenderer::TGstVideoRenderer(GstElement* Bin)
    : TGstFilter(Bin),
      FInput(gst_ghost_pad_new_no_target("Input", GST_PAD_SINK)),
      FWindowSink(std::make_unique<TGstWindowSink>()),
      FWindow(std::make_unique<TGstRendererWindow>(*static_cast<IBaseFilter*>(this), *FWindowSink)) {
  gst_element_add_pad(Bin, FInput);
}

TGstVideoRenderer::~TGstVideoRenderer() {
  for (GstElement** E : {&FSink, &FFormat, &FConvert}) DiscardElement(Element(), *E);
  FWindow.reset();
}

void* TGstVideoRenderer::QueryExtraInterface(REFIID Iid) {
  return Iid == IVideoWindow::IID ? static_cast<IVideoWindow*>(FWindow.get()) : nullptr;
}

GstPad* TGstVideoRenderer::FreeStreamInput(GstCaps* Caps) {
  if (!IsVideoCaps(Caps)) return nullptr;
  if (GST_PAD_IS_LINKED(FInput)) return nullptr;
  Rebuild();
  return GST_PAD(gst_object_ref(FInput));
}

void TGstVideoRenderer::Rebuild() {
  gst_ghost_pad_set_target(GST_GHOST_PAD(FInput), nullptr);
  for (GstElement** E : {&FSink, &FFormat, &FConvert}) DiscardElement(Element(), *E);
  FConvert = gst_element_factory_make("videoconvert", nullptr);
  FFormat = RawVideoFilter(SinkFormat(HasDisplay()), 0, 0);
  FSink = FWindowSink->CreateSink();
  StartChain(Element(), {FConvert, FFormat, FSink});
  GstPad* Target = gst_element_get_static_pad(FConvert, "sink");
  gst_ghost_pad_set_target(GST_GHOST_PAD(FInput), Target);
  gst_object_unref(Target);
}
