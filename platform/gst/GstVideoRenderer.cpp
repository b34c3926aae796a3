#include "platform/gst/GstVideoRenderer.h"

#include "platform/gst/GstSinkChain.h"

ComPtr<TGstVideoRenderer> TGstVideoRenderer::Create() {
  return ComPtr<TGstVideoRenderer>(new TGstVideoRenderer(gst_bin_new(nullptr)));
}

TGstVideoRenderer::TGstVideoRenderer(GstElement* Bin)
    : TGstFilter(Bin),
      FInput(gst_ghost_pad_new_no_target("Input", GST_PAD_SINK)),
      FPainter(std::make_unique<TGstWindowPainter>([this](const QSize& Size) { return Compose(Size); })),
      FWindow(std::make_unique<TGstRendererWindow>(*static_cast<IBaseFilter*>(this), *FPainter)) {
  gst_element_add_pad(Bin, FInput);
  FFrames.SetListener([this] { FPainter->Repaint(); });
}

TGstVideoRenderer::~TGstVideoRenderer() {
  FFrames.SetListener(nullptr);  // before the painter goes
  DiscardElement(Element(), FSink);
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
  DiscardElement(Element(), FSink);
  FSink = FFrames.CreateSink();
  StartChain(Element(), {FSink});
  GstPad* Target = gst_element_get_static_pad(FSink, "sink");
  gst_ghost_pad_set_target(GST_GHOST_PAD(FInput), Target);
  gst_object_unref(Target);
}

TGstPicture TGstVideoRenderer::Compose(const QSize& Size) {
  TGstPicture Picture;
  Picture.Output = Size;
  Picture.Area = QRect(QPoint(), Size);
  if (GstSample* Sample = FFrames.LatestSample()) Picture.Layers.push_back({Sample, Picture.Area, 1.0f});
  return Picture;
}
