#include "platform/gst/GstFileRenderer.h"

#include <gst/pbutils/missing-plugins.h>

#include <algorithm>

#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"
#include "platform/gst/GstAnimationSource.h"
#include "platform/gst/GstBusEvents.h"
#include "platform/gst/GstDecoderThreads.h"
#include "platform/gst/GstFileCheck.h"
#include "platform/gst/GstFirstFrame.h"
#include "platform/gst/GstPin.h"
#include "platform/gst/GstRenderers.h"
#include "platform/gst/GstVideoSize.h"

namespace {
// A render fails when nothing has moved for this long: a damaged file, or a stream that never
// arrives, must not hold the caller for ever.
constexpr auto StallLimit = std::chrono::seconds(10);
// And in any case after this long, should its elements keep changing without getting anywhere.
constexpr auto RenderLimit = std::chrono::seconds(60);
// Times a renderer's failure to start, with no error reported, is taken for a passing race.
constexpr int FailureRetries = 5;

std::string FileNameOf(const std::string& Path) {
  const auto Slash = Path.find_last_of('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// The state the pipeline was last asked for.
GstState AskedState(GstElement* Pipeline) {
  GstState Target = GST_STATE_NULL;
  gst_element_get_state(Pipeline, nullptr, &Target, 0);
  if (Target == GST_STATE_VOID_PENDING) gst_element_get_state(Pipeline, &Target, nullptr, 0);
  return Target;
}

// The running time the pipeline has reached: a file added later starts there, so it plays
// along with what is playing instead of being late by that much.
GstClockTimeDiff RunningTimeOf(GstElement* Pipeline) {
  GstState State = GST_STATE_NULL;
  gst_element_get_state(Pipeline, &State, nullptr, 0);
  if (State == GST_STATE_PLAYING) {
    if (GstClock* Clock = gst_element_get_clock(Pipeline)) {
      const GstClockTime Now = gst_clock_get_time(Clock);
      gst_object_unref(Clock);
      const GstClockTime Base = gst_element_get_base_time(Pipeline);
      return Now > Base ? GstClockTimeDiff(Now - Base) : 0;
    }
  }
  const GstClockTime Start = gst_element_get_start_time(Pipeline);
  return GST_CLOCK_TIME_IS_VALID(Start) ? GstClockTimeDiff(Start) : 0;
}

GstPadProbeReturn Hold(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }
GstPadProbeReturn Discard(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_DROP; }

HRESULT Linked(GstPad* Source, GstPad* Sink) {
  if (!GST_PAD_LINK_SUCCESSFUL(gst_pad_link(Source, Sink))) return VFW_E_CANNOT_CONNECT;
  for (GstPad* Pad : {Source, Sink})
    if (TGstFilter* Filter = TGstFilter::OfPad(Pad)) Filter->SetDetached(false);
  return S_OK;
}
}  // namespace

TGstFileRenderer::TGstFileRenderer(const TGstRenderTarget& Target, std::string Path)
    : FTarget(Target),
      FPath(std::move(Path)),
      FResumeState(std::max(AskedState(Target.Filters.Pipeline()), GST_STATE_PAUSED)),  // a stopped graph's is paused
      FDeadline(TClock::now(), StallLimit, RenderLimit) {}

TGstFileRenderer::~TGstFileRenderer() {
  FTarget.Bus.SetInterceptor(nullptr);
  ForgetDecoder();
  for (auto& [Pad, Probe] : FPads) {
    gst_pad_remove_probe(Pad, Probe);
    gst_object_unref(Pad);
  }
  for (GstElement* Renderer : FRenderers) gst_object_unref(Renderer);
}

void TGstFileRenderer::Abort() {
  std::lock_guard Guard(FLock);
  if (SUCCEEDED(FFailure)) FFailure = E_ABORT;
  FChanged.notify_all();
}

bool TGstFileRenderer::HoldFilters(std::unique_lock<std::recursive_mutex>& Filters) {
  Filters = FTarget.Filters.Lock();
  if (SUCCEEDED(Failure())) return true;
  Filters.unlock();
  return false;
}

HRESULT TGstFileRenderer::Render() {
  HRESULT Result = CheckFile();
  if (SUCCEEDED(Result)) Result = Open();
  if (SUCCEEDED(Result)) Result = WaitForStreams();
  if (SUCCEEDED(Result)) Result = ConnectStreams();
  if (SUCCEEDED(Result)) Result = WaitForPreroll();
  if (FAILED(Result)) {
    Undo();
    return Result;
  }
  return FPartial ? VFW_S_PARTIAL_RENDER : S_OK;
}

HRESULT TGstFileRenderer::CheckFile() const { return CheckMediaFile(FPath); }

HRESULT TGstFileRenderer::Add(const ComPtr<TGstFilter>& Filter, const std::string& Name) {
  {
    std::lock_guard Guard(FLock);
    FOwned.push_back(Filter->Element());
  }
  FAdded.push_back(Filter);
  const HRESULT Result = FTarget.Filters.AddOwn(Filter.Get(), Name);
  Moved();  // a renderer may have taken its time finding its device
  return Result;
}

HRESULT TGstFileRenderer::Open() {
  FPicture = PictureKindOf(FPath);
  FTarget.Bus.SetInterceptor([this](GstMessage* Message) { return Intercept(Message); });
  std::unique_lock<std::recursive_mutex> Filters;
  if (FPicture == TPictureKind::Animated) {
    if (const ComPtr<TGstFilter> Animation = CreateAnimationSource(FPath)) {
      // The animation's one stream is there at once, decoded; held like a decoder's until
      // linked, so it must not start before the hold is in place.
      GstElement* Element = Animation->Element();
      if (!HoldFilters(Filters)) return Failure();
      gst_element_set_locked_state(Element, TRUE);
      const HRESULT Result = Add(Animation, FileNameOf(FPath));
      gst_element_set_locked_state(Element, FALSE);
      Filters.unlock();
      if (FAILED(Result)) return Result;
      GstPad* Pad = gst_element_get_static_pad(Element, "src");
      OnPadAdded(nullptr, Pad, this);
      OnNoMorePads(nullptr, this);
      gst_object_unref(Pad);
      Start(Element);
      return S_OK;
    }
  }
  GstElement* Source = gst_element_factory_make("filesrc", nullptr);
  g_object_set(Source, "location", FPath.c_str(), nullptr);
  FDecoder = GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("decodebin", nullptr)));
  FPadAddedId = g_signal_connect(FDecoder, "pad-added", G_CALLBACK(&TGstFileRenderer::OnPadAdded), this);
  FNoMorePadsId = g_signal_connect(FDecoder, "no-more-pads", G_CALLBACK(&TGstFileRenderer::OnNoMorePads), this);
  LimitDecoderThreads(FDecoder);
  const ComPtr<TGstFilter> SourceFilter = TGstFilter::Create(Source);
  const ComPtr<TGstFilter> DecoderFilter = TGstFilter::Create(FDecoder);

  if (!HoldFilters(Filters)) return Failure();
  gst_element_set_locked_state(Source, TRUE);  // both start together once linked
  gst_element_set_locked_state(FDecoder, TRUE);
  HRESULT Result = Add(SourceFilter, FileNameOf(FPath));
  if (SUCCEEDED(Result)) Result = Add(DecoderFilter, "Decoder");
  if (SUCCEEDED(Result) && !gst_element_link(Source, FDecoder)) Result = VFW_E_CANNOT_CONNECT;
  gst_element_set_locked_state(Source, FALSE);
  gst_element_set_locked_state(FDecoder, FALSE);
  Filters.unlock();
  if (FAILED(Result)) return Result;
  Start(FDecoder);
  Start(Source);
  return S_OK;
}

void TGstFileRenderer::Start(GstElement* Element) {
  GstElement* Pipeline = FTarget.Filters.Pipeline();
  if (AskedState(Pipeline) < GST_STATE_PAUSED)
    gst_element_set_state(Pipeline, GST_STATE_PAUSED);  // a stopped graph is cued, so streams can be found
  else
    gst_element_sync_state_with_parent(Element);
  Moved();
}

void TGstFileRenderer::OnPadAdded(GstElement*, GstPad* Pad, gpointer Self) {
  auto* This = static_cast<TGstFileRenderer*>(Self);
  const gulong Probe = gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, &Hold, nullptr, nullptr);
  std::lock_guard Guard(This->FLock);
  This->FPads.emplace_back(GST_PAD(gst_object_ref(Pad)), Probe);
  This->FDeadline.Moved(TClock::now());
}

void TGstFileRenderer::OnNoMorePads(GstElement*, gpointer Self) {
  auto* This = static_cast<TGstFileRenderer*>(Self);
  std::lock_guard Guard(This->FLock);
  This->FNoMorePads = true;
  This->FDeadline.Moved(TClock::now());
  This->FChanged.notify_all();
}

bool TGstFileRenderer::Intercept(GstMessage* Message) {
  GstObject* Source = GST_MESSAGE_SRC(Message);
  std::lock_guard Guard(FLock);
  const bool Ours = std::any_of(FOwned.begin(), FOwned.end(), [&](GstElement* E) {
    return Source == GST_OBJECT(E) || gst_object_has_as_ancestor(Source, GST_OBJECT(E));
  });
  if (!Ours) return false;
  switch (GST_MESSAGE_TYPE(Message)) {
    // The signs that the render's elements are getting on.
    case GST_MESSAGE_STATE_CHANGED:
    case GST_MESSAGE_STREAM_START:
    case GST_MESSAGE_ASYNC_DONE: FDeadline.Moved(TClock::now()); return false;
    case GST_MESSAGE_ERROR: {
      FTarget.Bus.KeepError(Message);
      GError* Error = nullptr;
      gst_message_parse_error(Message, &Error, nullptr);
      if (SUCCEEDED(FFailure)) FFailure = ResultOfError(Error);
      g_clear_error(&Error);
      FChanged.notify_all();
      return true;
    }
    case GST_MESSAGE_ELEMENT:
      if (gst_is_missing_plugin_message(Message)) FMissingPlugin = true;
      return false;
    default: return false;
  }
}

HRESULT TGstFileRenderer::Failure() {
  std::lock_guard Guard(FLock);
  return FFailure;
}

void TGstFileRenderer::Moved() {
  std::lock_guard Guard(FLock);
  FDeadline.Moved(TClock::now());
}

bool TGstFileRenderer::Stalled() {
  std::lock_guard Guard(FLock);
  return FDeadline.Passed(TClock::now());
}

HRESULT TGstFileRenderer::WaitForStreams() {
  std::unique_lock Guard(FLock);
  while (!FNoMorePads && SUCCEEDED(FFailure)) {
    if (FDeadline.Passed(TClock::now())) return VFW_E_TIMEOUT;
    FChanged.wait_until(Guard, FDeadline.When());
  }
  if (FAILED(FFailure)) return FFailure;
  if (FPads.empty()) return FMissingPlugin ? VFW_E_UNSUPPORTED_STREAM : VFW_E_INVALID_FILE_FORMAT;
  return S_OK;
}

HRESULT TGstFileRenderer::ConnectStreams() {
  std::vector<std::pair<GstPad*, gulong>> Pads;
  {
    std::lock_guard Guard(FLock);
    Pads = FPads;
    FPartial = FMissingPlugin;
  }
  std::unique_lock<std::recursive_mutex> Filters;
  if (!HoldFilters(Filters)) return Failure();
  const GstClockTimeDiff Offset = RunningTimeOf(FTarget.Filters.Pipeline());
  for (const auto& [Pad, Probe] : Pads) {
    const HRESULT Result = ConnectStream(Pad, Offset);
    if (FAILED(Result)) return Result;
  }
  // Data may flow now; the probes are removed (and the pads released) by the destructor.
  std::lock_guard Guard(FLock);
  for (auto& [Pad, Probe] : FPads) {
    gst_pad_remove_probe(Pad, Probe);
    gst_object_unref(Pad);
  }
  FPads.clear();
  return S_OK;
}

HRESULT TGstFileRenderer::ConnectStream(GstPad* Pad, GstClockTimeDiff Offset) {
  GstCaps* Caps = gst_pad_get_current_caps(Pad);
  if (!Caps) Caps = gst_pad_query_caps(Pad, nullptr);
  const gchar* Media = gst_structure_get_name(gst_caps_get_structure(Caps, 0));
  HRESULT Result = S_OK;
  if (g_str_has_prefix(Media, "video/")) {
    Result = ConnectVideo(Pad, Caps, Offset);
  } else if (g_str_has_prefix(Media, "audio/")) {
    const ComPtr<TGstFilter> Renderer = CreateAudioRenderer(FTarget.Volume);
    Result = Add(Renderer, "Audio Renderer");
    if (SUCCEEDED(Result)) {
      gst_pad_set_offset(Pad, Offset);
      GstPad* Sink = gst_element_get_static_pad(Renderer->Element(), "sink");
      Result = Linked(Pad, Sink);
      gst_object_unref(Sink);
      FRenderers.push_back(GST_ELEMENT(gst_object_ref(Renderer->Element())));
      if (SUCCEEDED(Result)) FTarget.Ends.AddEnding(Pad);
    }
  } else {
    // A stream nothing here renders (subtitles, say) is dropped rather than left unlinked.
    gst_pad_add_probe(Pad, GST_PAD_PROBE_TYPE_BUFFER, &Discard, nullptr, nullptr);
    FPartial = true;
  }
  gst_caps_unref(Caps);
  return Result;
}

HRESULT TGstFileRenderer::ConnectVideo(GstPad* Pad, GstCaps* Caps, GstClockTimeDiff Offset) {
  GstPad* Output = GST_PAD(gst_object_ref(Pad));
  if (FPicture == TPictureKind::Still) {
    const ComPtr<TGstFilter> Still = CreateStillFrame();
    HRESULT Result = Add(Still, "Still Frame");
    GstPad* StillSink = gst_element_get_static_pad(Still->Element(), "sink");
    if (SUCCEEDED(Result)) Result = Linked(Pad, StillSink);
    gst_object_unref(StillSink);
    gst_object_unref(Output);
    if (FAILED(Result)) return Result;
    Output = gst_element_get_static_pad(Still->Element(), "src");
  }
  gst_pad_set_offset(Output, Offset);
  WatchVideoSize(Output, FTarget.Events);
  WatchFirstFrame(Output, FTarget.Events);

  // A renderer already in the graph that takes decoded video comes first (the mixing renderer).
  GstPad* Sink = nullptr;
  GstElement* Renderer = nullptr;
  for (const ComPtr<IGstFilter>& Filter : FTarget.Filters.GstFilters()) {
    if ((Sink = Filter->FreeStreamInput(Caps))) {
      Renderer = Filter->Element();
      break;
    }
  }
  HRESULT Result = S_OK;
  if (!Sink) {
    const ComPtr<TGstFilter> Default = CreateVideoRenderer();
    Result = Add(Default, "Video Renderer");
    Renderer = Default->Element();
    Sink = gst_element_get_static_pad(Renderer, "sink");
  }
  if (SUCCEEDED(Result)) Result = Linked(Output, Sink);
  if (SUCCEEDED(Result)) {
    // A picture has no end of its own; the graph's completion must not wait for it.
    if (FPicture == TPictureKind::None)
      FTarget.Ends.AddEnding(Output);
    else
      FTarget.Ends.AddHeld(Output);
  }
  FRenderers.push_back(GST_ELEMENT(gst_object_ref(Renderer)));
  gst_object_unref(Sink);
  gst_object_unref(Output);
  return Result;
}

HRESULT TGstFileRenderer::WaitForPreroll() {
  for (GstElement* Renderer : FRenderers) {
    int Retries = 0;
    for (;;) {
      if (const HRESULT Result = Failure(); FAILED(Result)) return Result;
      if (Stalled()) return VFW_E_TIMEOUT;
      // Short waits, so an error reported meanwhile ends the render at once.
      GstState Reached = GST_STATE_NULL;
      const GstStateChangeReturn State = gst_element_get_state(Renderer, &Reached, nullptr, 50 * GST_MSECOND);
      // A wait for PLAYING answers failure when a parent's async commit stops the renderer at
      // PAUSED on its way there; the renderer has prerolled all the same.
      if (State == GST_STATE_CHANGE_FAILURE && Reached < GST_STATE_PAUSED) {
        if (FAILED(Failure())) return Failure();
        // Joining a running pipeline races its own state changes, which can answer failure for
        // a moment although no element failed (it reports an error when it does): ask again.
        if (++Retries > FailureRetries) return VFW_E_INVALID_FILE_FORMAT;
        g_usleep(50 * G_TIME_SPAN_MILLISECOND);
        gst_element_sync_state_with_parent(Renderer);
        continue;
      }
      if (State != GST_STATE_CHANGE_ASYNC) break;
    }
  }
  return Failure();
}

void TGstFileRenderer::ForgetDecoder() {
  if (!FDecoder) return;
  if (FPadAddedId) g_signal_handler_disconnect(FDecoder, FPadAddedId);
  if (FNoMorePadsId) g_signal_handler_disconnect(FDecoder, FNoMorePadsId);
  gst_object_unref(FDecoder);
  FDecoder = nullptr;
}

// Filters removed by others meanwhile (the graph cleared after a call-off) are not there to
// remove. A render called off leaves the pipeline's state to whoever called it off.
void TGstFileRenderer::Undo() {
  FTarget.Bus.SetInterceptor(nullptr);
  {
    const auto Filters = FTarget.Filters.Lock();
    for (auto It = FAdded.rbegin(); It != FAdded.rend(); ++It) FTarget.Filters.Remove(It->Get());
  }
  FAdded.clear();
  // The decoder's threads call this render back: unlinked now, they end before it stops listening.
  if (FDecoder) gst_element_set_state(FDecoder, GST_STATE_NULL);
  ForgetDecoder();
  if (Failure() != E_ABORT) gst_element_set_state(FTarget.Filters.Pipeline(), FResumeState);
}
