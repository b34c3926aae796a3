#pragma once
// The Video Mixing Renderer 9: 1 to 16 input pins, each stream placed in its normalised
// rectangle of the picture at its alpha and z-order, the picture letter-boxed or stretched into
// the destination rectangle of the clipping window, which it paints into; in windowed mode,
// into a window of its own (IVideoWindow). It hands out the current mixed picture.
//
// Each connected stream plays into a synchronised sink of its own that keeps its latest frame,
// so a stream that ended leaves nothing behind that would hold up the next ones. The window
// paints the latest frames mixed when it paints: a new frame of the stream that leads asks for
// that, and the frames of the others when the leading one has none coming. Between streams the
// last frames stay on show. Without a display nothing paints, and the picture is mixed only
// when asked for. During a transition it queues EC_FADE_FRAME in its graph as the picture
// going in first shows and the one going out is first gone.
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/dshow/Video.h"
#include "platform/gst/GstFilter.h"
#include "platform/gst/GstFrameMixer.h"
#include "platform/gst/GstFrameSink.h"
#include "platform/gst/GstRendererWindow.h"
#include "platform/gst/GstWindowPainter.h"

class TGstMixingRenderer : public TGstFilter,
                           public IVMRFilterConfig9,
                           public IVMRWindowlessControl9,
                           public IVMRAspectRatioControl9,
                           public IVMRMixerControl9,
                           public IVMRTransition9 {
public:
  static constexpr DWORD MaxStreams = 16;

  static ComPtr<TGstMixingRenderer> Create();

  HRESULT QueryInterface(REFIID Iid, void** Object) override { return TGstFilter::QueryInterface(Iid, Object); }
  ULONG AddRef() override { return TGstFilter::AddRef(); }
  ULONG Release() override { return TGstFilter::Release(); }

  // IGstFilter: the first free input for a video stream; on a render's thread, while the
  // window may paint.
  GstPad* FreeStreamInput(GstCaps* Caps) override;

  // IVMRFilterConfig9
  HRESULT SetNumberOfStreams(DWORD Streams) override;
  HRESULT GetNumberOfStreams(DWORD* Streams) override;
  HRESULT SetRenderingPrefs(DWORD Flags) override;
  HRESULT GetRenderingPrefs(DWORD* Flags) override;
  HRESULT SetRenderingMode(DWORD Mode) override;
  HRESULT GetRenderingMode(DWORD* Mode) override;
  // IVMRWindowlessControl9
  HRESULT SetVideoClippingWindow(OAHWND Window) override;
  HRESULT SetVideoPosition(const RECT* Source, const RECT* Destination) override;
  HRESULT GetVideoPosition(RECT* Source, RECT* Destination) override;
  HRESULT GetCurrentImage(std::uint8_t** Image, LONG* Width, LONG* Height) override;
  // IVMRAspectRatioControl9
  HRESULT SetAspectRatioMode(DWORD Mode) override;
  HRESULT GetAspectRatioMode(DWORD* Mode) override;
  // IVMRMixerControl9
  HRESULT SetAlpha(DWORD Stream, float Alpha) override;
  HRESULT GetAlpha(DWORD Stream, float* Alpha) override;
  HRESULT SetZOrder(DWORD Stream, DWORD Z) override;
  HRESULT GetZOrder(DWORD Stream, DWORD* Z) override;
  HRESULT SetOutputRect(DWORD Stream, const VMR9NormalizedRect* Rect) override;
  HRESULT GetOutputRect(DWORD Stream, VMR9NormalizedRect* Rect) override;
  // IVMRTransition9: the picture going out is composed under this one's.
  HRESULT SetTransitionSource(IBaseFilter* From, DWORD Kind) override;
  HRESULT SetTransitionLevel(float Level) override;

protected:
  void* QueryExtraInterface(REFIID Iid) override;

private:
  struct TStream {
    GstPad* Input = nullptr;      // the pin: a ghost pad of the bin
    GstElement* Sink = nullptr;   // its sink while connected; under FLock
    std::unique_ptr<TGstFrameSink> Frames;  // its latest frame, kept after it disconnects
    std::atomic<bool> Live{false};          // connected
    std::atomic<gint64> Arrival{0};         // when its latest frame came
    VMR9NormalizedRect Rect;
    float Alpha = 1.0f;
    DWORD Z = 0;
    std::atomic<bool> Recent{false};  // among the streams connected last; their frames stay while none is
  };

  explicit TGstMixingRenderer(GstElement* Bin);
  ~TGstMixingRenderer() override;

  bool Connected() const;
  // A new sink of the stream's own in the bin; its pad with a reference for the caller.
  GstPad* OwnSink(DWORD Stream);
  void ReleaseSink(TStream& Stream);
  static void OnUnlinked(GstPad* Input, GstPad* Peer, gpointer Self);
  // Streaming thread of the stream: whether its new frame should be painted now.
  bool Leads(DWORD Stream);
  // The connected streams with frames, or while none has one, the recent ones. An empty
  // Output is the size of the first stream's picture.
  TGstPicture Compose(QSize Output);
  // A picture was shown (painted, or without painting, set): the graph hears of a fade's first
  // picture showing the incoming streams and its first without the outgoing ones. UI thread.
  void Shown();
  bool Paints() const;
  // Whether a connected stream had a frame lately (Now: g_get_monotonic_time).
  bool FramesComing(gint64 Now) const;

  std::array<TStream, MaxStreams> FStreams;
  DWORD FStreamCount = 4;
  DWORD FPrefs = 0;
  DWORD FMode = VMR9Mode_Windowed;
  DWORD FAspectMode = VMR9ARMode_None;
  RECT FSource{}, FDestination{};
  TGstFrameMixer FImageMixer;  // GetCurrentImage's
  std::unique_ptr<TGstWindowPainter> FPainter;
  std::unique_ptr<TGstRendererWindow> FOwnWindow;  // windowed mode, once asked for
  ComPtr<TGstMixingRenderer> FFrom;  // the renderer going out during a transition
  DWORD FTransitionKind = 0;
  bool ThroughBlack() const { return FTransitionKind == 2; }  // Kind 2: a fade through black
  float FLevel = 1.0f;
  bool FInDue = false, FOutDue = false;  // the fade's pictures still to tell of
  gint64 FStepPainted = 0;               // when a fade's step last asked for a paint
  mutable std::mutex FLock;  // the streams' sinks, which unlinking releases on any thread
};
