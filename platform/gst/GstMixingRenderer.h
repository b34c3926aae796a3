#pragma once
// The Video Mixing Renderer 9 over GStreamer's compositor: 1 to 16 input pins, each stream
// placed in its normalised rectangle of the output at its alpha and z-order, the whole picture
// letter-boxed or stretched into the destination rectangle of the clipping window, which it
// paints into; in windowed mode, into a window of its own (IVideoWindow). It hands out the
// current composited frame.
//
// The bin behind the filter keeps its input pins for its life; the compositor and the sink
// inside it are made anew whenever a first stream connects, so streams that ended before (a
// video run to its end, say) leave nothing behind that would hold up the next ones.
// Without a display nothing is composited as it plays: each stream goes to a synchronised sink
// of its own that keeps its latest frame, and GetCurrentImage mixes those when asked.
#include <array>
#include <memory>
#include <mutex>

#include "platform/dshow/Video.h"
#include "platform/gst/GstFilter.h"
#include "platform/gst/GstRendererWindow.h"
#include "platform/gst/GstWindowSink.h"

class TGstMixingRenderer : public TGstFilter,
                           public IVMRFilterConfig9,
                           public IVMRWindowlessControl9,
                           public IVMRAspectRatioControl9,
                           public IVMRMixerControl9 {
public:
  static constexpr DWORD MaxStreams = 16;

  static ComPtr<TGstMixingRenderer> Create();

  HRESULT QueryInterface(REFIID Iid, void** Object) override { return TGstFilter::QueryInterface(Iid, Object); }
  ULONG AddRef() override { return TGstFilter::AddRef(); }
  ULONG Release() override { return TGstFilter::Release(); }

  // IGstFilter: the first free input for a video stream.
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

protected:
  void* QueryExtraInterface(REFIID Iid) override;

private:
  struct TStream {
    GstPad* Input = nullptr;   // the pin: a ghost pad of the bin
    GstPad* Mixing = nullptr;  // its compositor pad, or its own sink's pad, while connected
    GstElement* Sink = nullptr;  // its own sink, without a display
    std::unique_ptr<TGstWindowSink> Frames;  // its latest frame, without a display
    int Width = 0, Height = 0;  // the stream's picture, in square pixels
    VMR9NormalizedRect Rect;
    float Alpha = 1.0f;
    DWORD Z = 0;
  };

  explicit TGstMixingRenderer(GstElement* Bin);
  ~TGstMixingRenderer() override;

  bool Connected() const;
  // A new sink of the stream's own in the bin, its pad with a reference for the caller.
  GstPad* OwnSink(TStream& Stream);
  // The first connected stream's picture size (0 x 0 when none says). Under FLock.
  void ReferenceSize(int* Width, int* Height) const;
  // The latest frames of the streams' own sinks, mixed.
  QImage MixFrames();
  void Rebuild();
  void TearDown();
  // Positions every connected stream and sizes the output.
  void Layout();
  void ReleaseMixing(TStream& Stream);
  static void OnUnlinked(GstPad* Input, GstPad* Peer, gpointer Self);

  std::array<TStream, MaxStreams> FStreams;
  DWORD FStreamCount = 4;
  DWORD FPrefs = 0;
  DWORD FMode = VMR9Mode_Windowed;
  DWORD FAspectMode = VMR9ARMode_None;
  RECT FSource{}, FDestination{};
  std::unique_ptr<TGstWindowSink> FWindowSink;
  std::unique_ptr<TGstRendererWindow> FOwnWindow;  // windowed mode, once asked for
  GstElement* FCompositor = nullptr;  // the bin's, while built
  GstElement* FOutputCaps = nullptr;
  GstElement* FSink = nullptr;
  mutable std::mutex FLock;  // the streams' compositor pads, which unlinking releases
};
