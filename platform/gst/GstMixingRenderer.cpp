#include "platform/gst/GstMixingRenderer.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dshow/Control.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"
#include "platform/dshow/MonotonicClock.h"
#include "platform/gst/GstMixerLayout.h"
#include "platform/gst/GstRenderers.h"
#include "platform/gst/GstSinkChain.h"

namespace {
// A stream that had a frame this recently leads the painting of those after it.
constexpr gint64 LeadingUs = 100000;
// A fade's steps repaint at most this often, and only while no stream of the renderer brings
// frames: those repaint with the level of the step.
constexpr gint64 FadeStepUs = 40000;

std::string InputName(DWORD Stream) { return "VMR Input" + std::to_string(Stream); }

QRect RectOf(const TMixerBox& Box) { return QRect(Box.X, Box.Y, Box.Width, Box.Height); }
}  // namespace

ComPtr<TGstMixingRenderer> TGstMixingRenderer::Create() {
  return ComPtr<TGstMixingRenderer>(new TGstMixingRenderer(gst_bin_new(nullptr)));
}

TGstMixingRenderer::TGstMixingRenderer(GstElement* Bin)
    : TGstFilter(Bin), FPainter(std::make_unique<TGstWindowPainter>([this](const QSize& Size) {
        TGstPicture Picture = Compose(Size);
        Shown();
        return Picture;
      })) {
  for (DWORD S = 0; S < MaxStreams; ++S) {
    TStream& Stream = FStreams[S];
    Stream.Z = S;
    Stream.Frames = std::make_unique<TGstFrameSink>();
    Stream.Frames->SetListener([this, S] {
      if (Leads(S)) FPainter->Repaint();
    });
  }
  SetNumberOfStreams(FStreamCount);
}

TGstMixingRenderer::~TGstMixingRenderer() {
  for (TStream& Stream : FStreams) {
    Stream.Frames->SetListener(nullptr);  // before the painter goes
    if (Stream.Input) g_signal_handlers_disconnect_by_data(Stream.Input, this);
    ReleaseSink(Stream);
  }
  FOwnWindow.reset();
}

void* TGstMixingRenderer::QueryExtraInterface(REFIID Iid) {
  if (Iid == IVMRFilterConfig9::IID) return static_cast<IVMRFilterConfig9*>(this);
  if (Iid == IVMRWindowlessControl9::IID) return static_cast<IVMRWindowlessControl9*>(this);
  if (Iid == IVMRAspectRatioControl9::IID) return static_cast<IVMRAspectRatioControl9*>(this);
  if (Iid == IVMRMixerControl9::IID) return static_cast<IVMRMixerControl9*>(this);
  if (Iid == IVMRTransition9::IID) return static_cast<IVMRTransition9*>(this);
  if (Iid == IVideoWindow::IID && FMode == VMR9Mode_Windowed) {
    if (!FOwnWindow) FOwnWindow = std::make_unique<TGstRendererWindow>(*static_cast<IBaseFilter*>(this), *FPainter);
    return static_cast<IVideoWindow*>(FOwnWindow.get());
  }
  return nullptr;
}

// --- the inputs

bool TGstMixingRenderer::Connected() const {
  for (DWORD S = 0; S < FStreamCount; ++S)
    if (FStreams[S].Live) return true;
  return false;
}

GstPad* TGstMixingRenderer::FreeStreamInput(GstCaps* Caps) {
  if (!IsVideoCaps(Caps)) return nullptr;
  DWORD Free = 0;
  while (Free < FStreamCount && GST_PAD_IS_LINKED(FStreams[Free].Input)) ++Free;
  if (Free == FStreamCount) return nullptr;
  TStream& Stream = FStreams[Free];
  if (!Connected())
    for (TStream& Other : FStreams) Other.Recent = false;
  Stream.Recent = true;
  GstPad* Sink = OwnSink(Free);
  gst_ghost_pad_set_target(GST_GHOST_PAD(Stream.Input), Sink);
  gst_object_unref(Sink);
  Stream.Live = true;
  return GST_PAD(gst_object_ref(Stream.Input));
}

GstPad* TGstMixingRenderer::OwnSink(DWORD Index) {
  TStream& Stream = FStreams[Index];
  GstElement* Sink = Stream.Frames->CreateSink();
  StartChain(Element(), {Sink});
  std::lock_guard Guard(FLock);
  Stream.Sink = Sink;
  return gst_element_get_static_pad(Sink, "sink");
}

void TGstMixingRenderer::OnUnlinked(GstPad* Input, GstPad*, gpointer Self) {
  auto* This = static_cast<TGstMixingRenderer*>(Self);
  for (TStream& Stream : This->FStreams)
    if (Stream.Input == Input) This->ReleaseSink(Stream);
}

void TGstMixingRenderer::ReleaseSink(TStream& Stream) {
  GstElement* Sink = nullptr;
  {
    std::lock_guard Guard(FLock);
    std::swap(Sink, Stream.Sink);
  }
  Stream.Live = false;
  if (!Sink) return;
  gst_ghost_pad_set_target(GST_GHOST_PAD(Stream.Input), nullptr);
  DiscardElement(Element(), Sink);
}

// --- the picture

bool TGstMixingRenderer::Leads(DWORD Index) {
  const gint64 Now = g_get_monotonic_time();
  FStreams[Index].Arrival = Now;
  for (DWORD S = 0; S < Index; ++S)
    if (FStreams[S].Live && Now - FStreams[S].Arrival < LeadingUs) return false;
  return true;
}

TGstPicture TGstMixingRenderer::Compose(QSize Output) {
  TGstPicture Picture;
  std::vector<DWORD> Chosen;
  std::vector<GstSample*> Samples;
  for (bool Live : {true, false}) {
    for (DWORD S = 0; S < FStreamCount; ++S) {
      const TStream& Stream = FStreams[S];
      if (Live ? !Stream.Live : !Stream.Recent) continue;
      if (GstSample* Sample = Stream.Frames->LatestSample()) {
        Chosen.push_back(S);
        Samples.push_back(Sample);
      }
    }
    if (!Chosen.empty()) break;
  }
  // The first stream's picture gives the whole its shape.
  const QSize Reference = Chosen.empty() ? QSize() : PictureSizeOf(gst_sample_get_caps(Samples[0]));
  Picture.Output = Output.isEmpty() ? Reference : Output;
  Picture.Area = RectOf(WallPictureArea(WallTile(), Picture.Output.width(), Picture.Output.height(), Reference.width(),
                                        Reference.height(), FAspectMode == VMR9ARMode_LetterBox));
  std::vector<std::size_t> Order(Chosen.size());
  for (std::size_t I = 0; I < Order.size(); ++I) Order[I] = I;
  std::sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t B) {
    return PaintOrder(Chosen[A], FStreams[Chosen[A]].Z) < PaintOrder(Chosen[B], FStreams[Chosen[B]].Z);
  });
  const TMixerBox Area{Picture.Area.x(), Picture.Area.y(), Picture.Area.width(), Picture.Area.height()};
  for (std::size_t I : Order) {
    const TStream& Stream = FStreams[Chosen[I]];
    Picture.Layers.push_back({Samples[I], RectOf(StreamBox(Area, Stream.Rect)), Stream.Alpha});
  }
  if (FFrom) {
    Picture.Outgoing = std::make_unique<TGstPicture>(FFrom->Compose(Picture.Output));
    Picture.Level = FLevel;
    Picture.ThroughBlack = ThroughBlack();
  }
  return Picture;
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
  FPainter->SetWindow(reinterpret_cast<QObject*>(Window));
  return S_OK;
}

HRESULT TGstMixingRenderer::SetVideoPosition(const RECT* Source, const RECT* Destination) {
  if (!Source && !Destination) return E_POINTER;
  if (Source) FSource = *Source;
  if (Destination) {
    if (Destination->right < Destination->left || Destination->bottom < Destination->top) return E_INVALIDARG;
    FDestination = *Destination;
    FPainter->SetDestination(QRect(QPoint(Destination->left, Destination->top),
                                   QPoint(Destination->right - 1, Destination->bottom - 1)));
  }
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
  // Painted, the picture has the destination's size; otherwise that of the first stream.
  const bool Painted = Paints();
  const QSize Destination(FDestination.right - FDestination.left, FDestination.bottom - FDestination.top);
  const TGstPicture Picture = Compose(Painted ? Destination : QSize());
  if (Picture.Layers.empty() || Picture.Output.isEmpty()) return E_FAIL;
  QImage Frame(Picture.Output, QImage::Format_ARGB32);
  {
    QPainter Painter(&Frame);
    FImageMixer.Draw(Painter, Frame.rect(), Picture);
  }
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
  FPainter->Repaint();
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
  FPainter->Repaint();
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
  FPainter->Repaint();
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
  FPainter->Repaint();
  return S_OK;
}

HRESULT TGstMixingRenderer::GetOutputRect(DWORD Stream, VMR9NormalizedRect* Rect) {
  if (!Rect) return E_POINTER;
  if (Stream >= FStreamCount) return E_INVALIDARG;
  *Rect = FStreams[Stream].Rect;
  return S_OK;
}

// --- IVMRTransition9

HRESULT TGstMixingRenderer::SetTransitionSource(IBaseFilter* From, DWORD Kind) {
  auto* Renderer = dynamic_cast<TGstMixingRenderer*>(From);
  if (From && (!Renderer || Renderer == this || (Kind != 1 && Kind != 2))) return E_INVALIDARG;
  FFrom = ComPtr<TGstMixingRenderer>(Renderer);
  FTransitionKind = Kind;
  FLevel = 0.0f;
  FInDue = From != nullptr;
  if (From) FOutDue = true;
  FPainter->Repaint();
  if (!Paints()) Shown();
  return S_OK;
}

HRESULT TGstMixingRenderer::SetTransitionLevel(float Level) {
  if (!(Level >= 0.0f && Level <= 1.0f)) return E_INVALIDARG;
  FLevel = Level;
  const gint64 Now = g_get_monotonic_time();
  if (Level >= 1.0f || (!FramesComing(Now) && Now - FStepPainted >= FadeStepUs)) {
    FStepPainted = Now;
    FPainter->Repaint();
  }
  if (!Paints()) Shown();
  return S_OK;
}

bool TGstMixingRenderer::FramesComing(gint64 Now) const {
  for (DWORD S = 0; S < FStreamCount; ++S)
    if (FStreams[S].Live && Now - FStreams[S].Arrival < LeadingUs) return true;
  return false;
}

bool TGstMixingRenderer::Paints() const { return FPainter->Window() && HasDisplay(); }

void TGstMixingRenderer::Shown() {
  const auto Tell = [this](LONG_PTR What) {
    ComPtr<IMediaEventSink> Sink;
    IFilterGraph* Graph = this->Graph();
    if (Graph && SUCCEEDED(Graph->QueryInterface(IMediaEventSink::IID, Sink.ReleaseAndGetVoidAddress())))
      Sink->Notify(EC_FADE_FRAME, LONG_PTR(MonotonicMilliseconds()), What);
  };
  // Through black, the picture going out is gone half way, and the new one comes after.
  const float Shows = ThroughBlack() ? 0.5f : 0.0f, Gone = ThroughBlack() ? 0.5f : 1.0f;
  if (FInDue && FFrom && FLevel > Shows) {
    FInDue = false;
    Tell(FADE_IN_SHOWN);
  }
  if (FOutDue && (!FFrom || FLevel >= Gone)) {
    FOutDue = false;
    Tell(FADE_OUT_GONE);
  }
}
