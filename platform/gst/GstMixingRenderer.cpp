#include "platform/gst/GstMixingRenderer.h"

#include <gst/video/video.h>

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dshow/ErrorText.h"
#include "platform/gst/GstMixerLayout.h"
#include "platform/gst/GstRenderers.h"
#include "platform/gst/GstSinkChain.h"

namespace {
constexpr int CompositorBlack = 1;       // the compositor's "background" value
constexpr int StartAtFirstInput = 1;     // its "start-time-selection": the first buffer's time
constexpr int FallbackWidth = 320, FallbackHeight = 240;

std::string InputName(DWORD Stream) { return "VMR Input" + std::to_string(Stream); }

// The picture size of a video stream in square pixels, or 0 x 0 when the caps do not say.
void PictureSizeOf(GstCaps* Caps, int* Width, int* Height) {
  GstVideoInfo Info;
  *Width = *Height = 0;
  if (!Caps || !gst_video_info_from_caps(&Info, Caps)) return;
  *Width = GST_VIDEO_INFO_PAR_D(&Info) > 0 ? int(gint64(Info.width) * Info.par_n / Info.par_d) : Info.width;
  *Height = Info.height;
}
}  // namespace

ComPtr<TGstMixingRenderer> TGstMixingRenderer::Create() {
  return ComPtr<TGstMixingRenderer>(new TGstMixingRenderer(gst_bin_new(nullptr)));
}

TGstMixingRenderer::TGstMixingRenderer(GstElement* Bin) : TGstFilter(Bin), FWindowSink(std::make_unique<TGstWindowSink>()) {
  for (DWORD S = 0; S < MaxStreams; ++S) FStreams[S].Z = S;
  SetNumberOfStreams(FStreamCount);
}

TGstMixingRenderer::~TGstMixingRenderer() {
  for (TStream& Stream : FStreams)
    if (Stream.Input) g_signal_handlers_disconnect_by_data(Stream.Input, this);
  TearDown();
}

void* TGstMixingRenderer::QueryExtraInterface(REFIID Iid) {
  if (Iid == IVMRFilterConfig9::IID) return static_cast<IVMRFilterConfig9*>(this);
  if (Iid == IVMRWindowlessControl9::IID) return static_cast<IVMRWindowlessControl9*>(this);
  if (Iid == IVMRAspectRatioControl9::IID) return static_cast<IVMRAspectRatioControl9*>(this);
  if (Iid == IVMRMixerControl9::IID) return static_cast<IVMRMixerControl9*>(this);
  if (Iid == IVideoWindow::IID && FMode == VMR9Mode_Windowed) {
    if (!FOwnWindow) FOwnWindow = std::make_unique<TGstRendererWindow>(*static_cast<IBaseFilter*>(this), *FWindowSink);
    return static_cast<IVideoWindow*>(FOwnWindow.get());
  }
  return nullptr;
}

// --- the inputs

bool TGstMixingRenderer::Connected() const {
  std::lock_guard Guard(FLock);
  for (DWORD S = 0; S < FStreamCount; ++S)
    if (FStreams[S].Mixing) return true;
  return false;
}

GstPad* TGstMixingRenderer::FreeStreamInput(GstCaps* Caps) {
  if (!IsVideoCaps(Caps)) return nullptr;
  TStream* Free = nullptr;
  for (DWORD S = 0; S < FStreamCount && !Free; ++S)
    if (!GST_PAD_IS_LINKED(FStreams[S].Input)) Free = &FStreams[S];
  if (!Free) return nullptr;
  if (!Connected()) Rebuild();
  GstPad* Mixing = FCompositor ? gst_element_request_pad_simple(FCompositor, "sink_%u") : OwnSink(*Free);
  if (!Mixing) return nullptr;
  gst_ghost_pad_set_target(GST_GHOST_PAD(Free->Input), Mixing);
  {
    std::lock_guard Guard(FLock);
    Free->Mixing = Mixing;
  }
  PictureSizeOf(Caps, &Free->Width, &Free->Height);
  Layout();
  return GST_PAD(gst_object_ref(Free->Input));
}

GstPad* TGstMixingRenderer::OwnSink(TStream& Stream) {
  if (!Stream.Frames) Stream.Frames = std::make_unique<TGstWindowSink>();
  GstElement* Sink = Stream.Frames->CreateSink();
  StartChain(Element(), {Sink});
  std::lock_guard Guard(FLock);
  Stream.Sink = Sink;
  return gst_element_get_static_pad(Sink, "sink");
}

void TGstMixingRenderer::OnUnlinked(GstPad* Input, GstPad*, gpointer Self) {
  auto* This = static_cast<TGstMixingRenderer*>(Self);
  for (TStream& Stream : This->FStreams)
    if (Stream.Input == Input) This->ReleaseMixing(Stream);
}

void TGstMixingRenderer::ReleaseMixing(TStream& Stream) {
  GstPad* Mixing = nullptr;
  GstElement* Sink = nullptr;
  {
    std::lock_guard Guard(FLock);
    std::swap(Mixing, Stream.Mixing);
    std::swap(Sink, Stream.Sink);
  }
  if (!Mixing) return;
  // An input left in the compositor would hold its mixing up, waiting for data.
  gst_ghost_pad_set_target(GST_GHOST_PAD(Stream.Input), nullptr);
  if (Sink) {
    DiscardElement(Element(), Sink);
  } else if (GstElement* Compositor = gst_pad_get_parent_element(Mixing)) {
    gst_element_release_request_pad(Compositor, Mixing);
    gst_object_unref(Compositor);
  }
  gst_object_unref(Mixing);
}

void TGstMixingRenderer::Rebuild() {
  TearDown();
  if (!HasDisplay()) return;  // each stream gets a sink of its own
  GstElement* Bin = Element();
  FCompositor = gst_element_factory_make("compositor", nullptr);
  g_object_set(FCompositor, "background", CompositorBlack, "start-time-selection", StartAtFirstInput, nullptr);
  FOutputCaps = RawVideoFilter(SinkFormat(false), 0, 0);
  FSink = FWindowSink->CreateSink();
  StartChain(Bin, {FCompositor, FOutputCaps, FSink});
  Layout();
}

void TGstMixingRenderer::TearDown() {
  for (TStream& Stream : FStreams) ReleaseMixing(Stream);
  // The sink first, so a compositor waiting on it is let go.
  for (GstElement** E : {&FSink, &FOutputCaps, &FCompositor}) DiscardElement(Element(), *E);
}

void TGstMixingRenderer::Layout() {
  if (!FOutputCaps) return;
  std::lock_guard Guard(FLock);
  int ReferenceWidth = 0, ReferenceHeight = 0;
  ReferenceSize(&ReferenceWidth, &ReferenceHeight);
  // With a window to paint, the output is the destination's size; without one, the picture's.
  const bool Painted = FWindowSink->Window() && HasDisplay();
  int Width = FDestination.right - FDestination.left, Height = FDestination.bottom - FDestination.top;
  if (!Painted || Width <= 0 || Height <= 0) {
    Width = ReferenceWidth > 0 ? ReferenceWidth : FallbackWidth;
    Height = ReferenceHeight > 0 ? ReferenceHeight : FallbackHeight;
  }
  GstCaps* Caps = RawVideoCaps(SinkFormat(Painted), Width, Height);
  GstCaps* Current = nullptr;
  g_object_get(FOutputCaps, "caps", &Current, nullptr);
  if (!Current || !gst_caps_is_equal(Current, Caps)) g_object_set(FOutputCaps, "caps", Caps, nullptr);
  if (Current) gst_caps_unref(Current);
  gst_caps_unref(Caps);

  const TMixerBox Area = PictureArea(Width, Height, ReferenceWidth, ReferenceHeight, FAspectMode == VMR9ARMode_LetterBox);
  for (DWORD S = 0; S < FStreamCount; ++S) {
    const TStream& Stream = FStreams[S];
    if (!Stream.Mixing) continue;
    const TMixerBox Box = StreamBox(Area, Stream.Rect);
    const bool Shown = Box.Width > 0 && Box.Height > 0;
    // A width or height of 0 would mean the stream's own size to the compositor.
    g_object_set(Stream.Mixing, "xpos", Box.X, "ypos", Box.Y, "width", Shown ? Box.Width : 1, "height",
                 Shown ? Box.Height : 1, "alpha", Shown ? double(Stream.Alpha) : 0.0, "zorder",
                 guint(CompositorZOrder(S, Stream.Z)), nullptr);
  }
}

void TGstMixingRenderer::ReferenceSize(int* Width, int* Height) const {
  // The reference stream gives the picture its shape: stream 0, else the first connected one.
  *Width = *Height = 0;
  for (DWORD S = 0; S < FStreamCount && !*Width; ++S)
    if (FStreams[S].Mixing && FStreams[S].Width > 0 && FStreams[S].Height > 0) {
      *Width = FStreams[S].Width;
      *Height = FStreams[S].Height;
    }
}

QImage TGstMixingRenderer::MixFrames() {
  std::lock_guard Guard(FLock);
  int Width = 0, Height = 0;
  ReferenceSize(&Width, &Height);
  if (Width <= 0 || Height <= 0) return {};
  std::vector<DWORD> BackToFront;
  for (DWORD S = 0; S < FStreamCount; ++S)
    if (FStreams[S].Mixing) BackToFront.push_back(S);
  std::sort(BackToFront.begin(), BackToFront.end(),
            [&](DWORD A, DWORD B) { return CompositorZOrder(A, FStreams[A].Z) < CompositorZOrder(B, FStreams[B].Z); });
  QImage Mixed(Width, Height, QImage::Format_ARGB32);
  Mixed.fill(Qt::black);
  QPainter Painter(&Mixed);
  bool Any = false;
  for (DWORD S : BackToFront) {
    const QImage Frame = FStreams[S].Frames->CurrentFrame();
    const TMixerBox Box = StreamBox({0, 0, Width, Height}, FStreams[S].Rect);
    if (Frame.isNull() || Box.Width <= 0 || Box.Height <= 0) continue;
    Painter.setOpacity(FStreams[S].Alpha);
    Painter.drawImage(QRect(Box.X, Box.Y, Box.Width, Box.Height), Frame);
    Any = true;
  }
  Painter.end();
  return Any ? Mixed : QImage();
}

// --- IVMRFilterConfig9

HRESULT TGstMixingRenderer::SetNumberOfStreams(DWORD Streams) {
  if (Streams < 1 || Streams > MaxStreams) return E_INVALIDARG;
  if (Connected()) return VFW_E_WRONG_STATE;
  GstElement* Bin = Element();
  for (DWORD S = 0; S < MaxStreams; ++S) {
    TStream& Stream = FStreams[S];
    if (S < Streams && !Stream.Input) {
      Stream.Input = gst_ghost_pad_new_no_target(InputName(S).c_str(), GST_PAD_SINK);
      g_signal_connect(Stream.Input, "unlinked", G_CALLBACK(&TGstMixingRenderer::OnUnlinked), this);
      gst_pad_set_active(Stream.Input, GST_STATE(Bin) >= GST_STATE_READY);
      gst_element_add_pad(Bin, Stream.Input);
    } else if (S >= Streams && Stream.Input) {
      g_signal_handlers_disconnect_by_data(Stream.Input, this);
      gst_element_remove_pad(Bin, Stream.Input);
      Stream.Input = nullptr;
    }
  }
  FStreamCount = Streams;
  return S_OK;
}

HRESULT TGstMixingRenderer::GetNumberOfStreams(DWORD* Streams) {
  if (!Streams) return E_POINTER;
  *Streams = FStreamCount;
  return S_OK;
}

HRESULT TGstMixingRenderer::SetRenderingPrefs(DWORD Flags) {
  FPrefs = Flags;
  return S_OK;
}

HRESULT TGstMixingRenderer::GetRenderingPrefs(DWORD* Flags) {
  if (!Flags) return E_POINTER;
  *Flags = FPrefs;
  return S_OK;
}

HRESULT TGstMixingRenderer::SetRenderingMode(DWORD Mode) {
  if (Mode != VMR9Mode_Windowed && Mode != VMR9Mode_Windowless && Mode != VMR9Mode_Renderless) return E_INVALIDARG;
  if (Connected()) return VFW_E_WRONG_STATE;
  FMode = Mode;
  return S_OK;
}

HRESULT TGstMixingRenderer::GetRenderingMode(DWORD* Mode) {
  if (!Mode) return E_POINTER;
  *Mode = FMode;
  return S_OK;
}

// --- IVMRWindowlessControl9

HRESULT TGstMixingRenderer::SetVideoClippingWindow(OAHWND Window) {
  if (FMode != VMR9Mode_Windowless) return VFW_E_WRONG_STATE;
  FWindowSink->SetWindow(reinterpret_cast<QObject*>(Window));
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::SetVideoPosition(const RECT* Source, const RECT* Destination) {
  if (!Source && !Destination) return E_POINTER;
  if (Source) FSource = *Source;
  if (Destination) {
    if (Destination->right < Destination->left || Destination->bottom < Destination->top) return E_INVALIDARG;
    FDestination = *Destination;
    FWindowSink->SetDestination(QRect(QPoint(Destination->left, Destination->top),
                                      QPoint(Destination->right - 1, Destination->bottom - 1)));
  }
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetVideoPosition(RECT* Source, RECT* Destination) {
  if (!Source && !Destination) return E_POINTER;
  if (Source) *Source = FSource;
  if (Destination) *Destination = FDestination;
  return S_OK;
}

HRESULT TGstMixingRenderer::GetCurrentImage(std::uint8_t** Image, LONG* Width, LONG* Height) {
  if (!Image || !Width || !Height) return E_POINTER;
  const QImage Frame = FCompositor ? FWindowSink->CurrentFrame() : MixFrames();
  if (Frame.isNull()) return E_FAIL;
  const std::size_t Row = std::size_t(Frame.width()) * 4;
  *Image = new std::uint8_t[Row * std::size_t(Frame.height())];
  for (int Y = 0; Y < Frame.height(); ++Y) std::memcpy(*Image + Row * std::size_t(Y), Frame.constScanLine(Y), Row);
  *Width = Frame.width();
  *Height = Frame.height();
  return S_OK;
}

// --- IVMRAspectRatioControl9

HRESULT TGstMixingRenderer::SetAspectRatioMode(DWORD Mode) {
  if (Mode != VMR9ARMode_None && Mode != VMR9ARMode_LetterBox) return E_INVALIDARG;
  FAspectMode = Mode;
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetAspectRatioMode(DWORD* Mode) {
  if (!Mode) return E_POINTER;
  *Mode = FAspectMode;
  return S_OK;
}

// --- IVMRMixerControl9

HRESULT TGstMixingRenderer::SetAlpha(DWORD Stream, float Alpha) {
  if (Stream >= FStreamCount || !(Alpha >= 0.0f && Alpha <= 1.0f)) return E_INVALIDARG;
  FStreams[Stream].Alpha = Alpha;
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetAlpha(DWORD Stream, float* Alpha) {
  if (!Alpha) return E_POINTER;
  if (Stream >= FStreamCount) return E_INVALIDARG;
  *Alpha = FStreams[Stream].Alpha;
  return S_OK;
}

HRESULT TGstMixingRenderer::SetZOrder(DWORD Stream, DWORD Z) {
  if (Stream >= FStreamCount) return E_INVALIDARG;
  FStreams[Stream].Z = Z;
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetZOrder(DWORD Stream, DWORD* Z) {
  if (!Z) return E_POINTER;
  if (Stream >= FStreamCount) return E_INVALIDARG;
  *Z = FStreams[Stream].Z;
  return S_OK;
}

HRESULT TGstMixingRenderer::SetOutputRect(DWORD Stream, const VMR9NormalizedRect* Rect) {
  if (!Rect) return E_POINTER;
  if (Stream >= FStreamCount) return E_INVALIDARG;
  FStreams[Stream].Rect = *Rect;
  Layout();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetOutputRect(DWORD Stream, VMR9NormalizedRect* Rect) {
  if (!Rect) return E_POINTER;
  if (Stream >= FStreamCount) return E_INVALIDARG;
  *Rect = FStreams[Stream].Rect;
  return S_OK;
}
