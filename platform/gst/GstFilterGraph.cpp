#include "platform/gst/GstFilterGraph.h"

#include <QString>
#include <sstream>

#include "platform/com/ComEnumerator.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/ReferenceTime.h"
#include "platform/gst/GstFileRenderer.h"
#include "platform/gst/GstLogFile.h"
#include "platform/gst/GstShowClock.h"
#include "platform/gst/GstRenderers.h"
#include "platform/win/Messages.h"
#include "platform/win/WorkItems.h"

namespace {
std::atomic<int> Graphs{0};

const char* StateName(FILTER_STATE State) {
  switch (State) {
    case State_Running: return "running";
    case State_Paused: return "paused";
    default: return "stopped";
  }
}

GstSeekType SeekTypeOf(DWORD Flags) {
  return (Flags & 3) == AM_SEEKING_AbsolutePositioning ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE;
}

std::string PadName(GstPad* Pad) {
  gchar* Name = gst_pad_get_name(Pad);
  std::string Result = Name ? Name : "";
  g_free(Name);
  return Result;
}

// One line per pad of Element: "  pin <name> in|out [-> <filter>.<pin>]".
void DescribePins(GstElement* Element, std::ostringstream& Out) {
  GstIterator* It = gst_element_iterate_pads(Element);
  GValue Item = G_VALUE_INIT;
  while (gst_iterator_next(It, &Item) == GST_ITERATOR_OK) {
    GstPad* Pad = GST_PAD(g_value_get_object(&Item));
    Out << "  pin " << PadName(Pad) << (GST_PAD_IS_SRC(Pad) ? " out" : " in");
    if (GstPad* Peer = gst_pad_get_peer(Pad)) {
      if (GstElement* Owner = gst_pad_get_parent_element(Peer)) {
        Out << " -> " << ElementName(Owner) << "." << PadName(Peer);
        gst_object_unref(Owner);
      }
      gst_object_unref(Peer);
    }
    Out << "\n";
    g_value_reset(&Item);
  }
  g_value_unset(&Item);
  gst_iterator_free(It);
}
}  // namespace

// One render begun with BeginRenderFile, run by a work item that holds the graph.
class TGstFilterGraph::TRenderOperation : public TComObject<IRenderOperation> {
public:
  TRenderOperation(TGstFilterGraph* Graph, std::string Path, OAHWND Window, LONG Msg, LONG_PTR Instance)
      : FGraph(Graph), FPath(std::move(Path)), FWindow(Window), FMsg(Msg), FInstance(Instance) {}

  HRESULT GetResult(HRESULT* Result) override {
    if (!Result) return E_POINTER;
    std::lock_guard Guard(FLock);
    if (!FDone) return S_FALSE;
    *Result = FResult;
    return S_OK;
  }

  HRESULT Abort() override {
    std::lock_guard Guard(FLock);
    FAborted = true;
    FWindow = 0;
    if (FRenderer) FRenderer->Abort();
    return S_OK;
  }

  // The work item.
  void Run() {
    const HRESULT Result = FGraph->Render(FPath, this);
    std::lock_guard Guard(FLock);
    FResult = FAborted ? E_ABORT : Result;
    FDone = true;
    if (FWindow) PostMessageA(FWindow, UINT(FMsg), 0, FInstance);
  }

  // The render Renderer begins (false: it was called off before) or has ended (null).
  bool Rendering(TGstFileRenderer* Renderer) {
    std::lock_guard Guard(FLock);
    FRenderer = FAborted ? nullptr : Renderer;
    return !FAborted;
  }

private:
  const ComPtr<TGstFilterGraph> FGraph;
  const std::string FPath;
  std::mutex FLock;  // guards everything below
  OAHWND FWindow;    // 0 once called off: nothing is posted then
  const LONG FMsg;
  const LONG_PTR FInstance;
  TGstFileRenderer* FRenderer = nullptr;
  bool FAborted = false;
  bool FDone = false;
  HRESULT FResult = S_OK;
};

TGstFilterGraph::TGstFilterGraph()
    : FOwnPipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))), &gst_object_unref),
      FPipeline(FOwnPipeline.get()),
      FBus(std::make_unique<TGstBusEvents>(FPipeline, FEvents)),
      FFilters(static_cast<IFilterGraph2*>(this), FPipeline),
      FEnds(FEvents) {
  GstShowClockJoin(FPipeline);
  ++Graphs;
}

// After the body the members go: the streams' watches, the filters (out of the stopped
// pipeline), and last the pipeline itself.
TGstFilterGraph::~TGstFilterGraph() {
  FEvents.SetNotifyFlags(1);
  GstLogFileSet(FPipeline, 0);
  gst_element_set_state(FPipeline, GST_STATE_NULL);  // joins every streaming thread
  FBus.reset();
  --Graphs;
}

int TGstFilterGraph::Count() { return Graphs; }

// Filters from outside (a video window's renderer) may belong to another thread; the rest is
// GStreamer's alone.
void TGstFilterGraph::FinalRelease() {
  FFilters.RemoveForeign();
  QueueUserWorkItem([this] { delete this; });
}

void* TGstFilterGraph::QueryExtraInterface(REFIID Iid) {
  if (Iid == IGraphBuilder::IID) return static_cast<IGraphBuilder*>(this);
  if (Iid == IFilterGraph::IID) return static_cast<IFilterGraph*>(this);
  if (Iid == IMediaEvent::IID) return static_cast<IMediaEvent*>(this);
  return nullptr;
}

void TGstFilterGraph::Refresh() { RefreshRunningObject(static_cast<IFilterGraph2*>(this)); }

HRESULT TGstFilterGraph::AddFilter(IBaseFilter* Filter, LPCWSTR Name) {
  const HRESULT Result = FFilters.Add(Filter, Name ? std::u16string(Name) : std::u16string());
  if (SUCCEEDED(Result)) Refresh();
  return Result;
}

HRESULT TGstFilterGraph::RemoveFilter(IBaseFilter* Filter) {
  const HRESULT Result = FFilters.Remove(Filter);
  if (SUCCEEDED(Result)) Refresh();
  return Result;
}

HRESULT TGstFilterGraph::EnumFilters(IEnumFilters** Enum) {
  return TComEnumerator<IEnumFilters, IBaseFilter>::Make(FFilters.Filters(), Enum);
}

HRESULT TGstFilterGraph::RenderFile(LPCWSTR File, LPCWSTR) {
  if (!File) return E_POINTER;
  return Render(QString::fromUtf16(File).toStdString(), nullptr);
}

HRESULT TGstFilterGraph::BeginRenderFile(LPCWSTR File, OAHWND Window, LONG Msg, LONG_PTR Instance,
                                         IRenderOperation** Operation) {
  if (!File || !Operation) return E_POINTER;
  const ComPtr<TRenderOperation> Made(
      new TRenderOperation(this, QString::fromUtf16(File).toStdString(), Window, Msg, Instance));
  QueueUserWorkItem([Made] { Made->Run(); });
  *Operation = Made.Get();
  Made->AddRef();
  return S_OK;
}

HRESULT TGstFilterGraph::Render(const std::string& Path, TRenderOperation* Operation) {
  std::lock_guard Serial(FRendering);
  FBus->ForgetError();  // what failed before is not this file's failure
  TGstFileRenderer Renderer({FFilters, *FBus, FEvents, FEnds, LinearVolume(FVolume)}, Path);
  if (Operation && !Operation->Rendering(&Renderer)) return E_ABORT;
  const HRESULT Result = Renderer.Render();
  if (Operation) Operation->Rendering(nullptr);
  ApplyVolume();  // a volume set while the render ran reaches its audio renderers too
  Refresh();
  return Result;
}

HRESULT TGstFilterGraph::SetLogFile(std::uintptr_t File) {
  GstLogFileSet(FPipeline, int(File));
  return S_OK;
}

HRESULT TGstFilterGraph::Changed(GstStateChangeReturn Result) {
  Refresh();
  switch (Result) {
    case GST_STATE_CHANGE_FAILURE: return E_FAIL;
    case GST_STATE_CHANGE_ASYNC: return S_FALSE;
    default: return S_OK;
  }
}

void TGstFilterGraph::SetRunning(bool Running) {
  FBus->SetRunning(Running);
  FEnds.SetRunning(Running);
}

HRESULT TGstFilterGraph::Run() {
  FBus->CancelPaused();
  SetRunning(true);
  FState = State_Running;
  GstShowClockRun(FPipeline);
  return Changed(gst_element_set_state(FPipeline, GST_STATE_PLAYING));
}

HRESULT TGstFilterGraph::Pause() {
  SetRunning(false);
  FState = State_Paused;
  FBus->ExpectPaused();
  const GstStateChangeReturn Result = gst_element_set_state(FPipeline, GST_STATE_PAUSED);
  if (Result == GST_STATE_CHANGE_SUCCESS || Result == GST_STATE_CHANGE_NO_PREROLL) FBus->PausedNow();
  return Changed(Result);
}

HRESULT TGstFilterGraph::Stop() {
  FBus->CancelPaused();
  SetRunning(false);
  FState = State_Stopped;
  GstShowClockHalt(FPipeline);
  const HRESULT Result = Changed(gst_element_set_state(FPipeline, GST_STATE_PAUSED));
  return FAILED(Result) ? Result : S_OK;
}

HRESULT TGstFilterGraph::GetState(LONG MsTimeout, OAFilterState* State) {
  if (!State) return E_POINTER;
  *State = FState;
  const GstClockTime Timeout = MsTimeout < 0 ? GST_CLOCK_TIME_NONE : GstClockTime(MsTimeout) * GST_MSECOND;
  switch (gst_element_get_state(FPipeline, nullptr, nullptr, Timeout)) {
    case GST_STATE_CHANGE_ASYNC: return VFW_S_STATE_INTERMEDIATE;
    case GST_STATE_CHANGE_FAILURE: return E_FAIL;
    default: return S_OK;
  }
}

HRESULT TGstFilterGraph::GetDuration(LONGLONG* Duration) {
  if (!Duration) return E_POINTER;
  gint64 Nanoseconds = 0;
  if (!gst_element_query_duration(FPipeline, GST_FORMAT_TIME, &Nanoseconds) || Nanoseconds < 0) {
    *Duration = 0;
    return E_FAIL;
  }
  *Duration = Nanoseconds / NanosecondsPerUnit;
  return S_OK;
}

// While a seek is under way the position is where it goes, as the pipeline cannot say yet.
HRESULT TGstFilterGraph::GetCurrentPosition(LONGLONG* Current) {
  if (!Current) return E_POINTER;
  if (FSought >= 0 && gst_element_get_state(FPipeline, nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC) {
    *Current = FSought;
    return S_OK;
  }
  FSought = -1;
  gint64 Nanoseconds = 0;
  if (!gst_element_query_position(FPipeline, GST_FORMAT_TIME, &Nanoseconds) || Nanoseconds < 0) {
    *Current = 0;
    return E_FAIL;
  }
  *Current = Nanoseconds / NanosecondsPerUnit;
  return S_OK;
}

HRESULT TGstFilterGraph::GetStopPosition(LONGLONG* Stop) {
  if (!Stop) return E_POINTER;
  if (FStop >= 0) {
    *Stop = FStop;
    return S_OK;
  }
  return GetDuration(Stop);
}

HRESULT TGstFilterGraph::SetPositions(LONGLONG* Current, DWORD CurrentFlags, LONGLONG* Stop, DWORD StopFlags) {
  const GstSeekType CurrentType = Current ? SeekTypeOf(CurrentFlags) : GST_SEEK_TYPE_NONE;
  const GstSeekType StopType = Stop ? SeekTypeOf(StopFlags) : GST_SEEK_TYPE_NONE;
  if (CurrentType == GST_SEEK_TYPE_NONE && StopType == GST_SEEK_TYPE_NONE) return S_OK;
  if ((Current && *Current < 0 && CurrentType != GST_SEEK_TYPE_NONE) || (Stop && *Stop < 0 && StopType != GST_SEEK_TYPE_NONE))
    return E_INVALIDARG;
  return Seek(CurrentType, Current ? *Current : 0, StopType, Stop ? *Stop : 0);
}

HRESULT TGstFilterGraph::Seek(GstSeekType CurrentType, LONGLONG Current, GstSeekType StopType, LONGLONG Stop) {
  if (!gst_element_seek(FPipeline, 1.0, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                        CurrentType, Current * NanosecondsPerUnit, StopType,
                        StopType == GST_SEEK_TYPE_NONE ? -1 : Stop * NanosecondsPerUnit))
    return E_FAIL;
  if (StopType != GST_SEEK_TYPE_NONE) FStop = Stop;
  if (CurrentType == GST_SEEK_TYPE_SET) FSought = Current;
  return S_OK;
}

HRESULT TGstFilterGraph::put_Volume(LONG Volume) {
  if (Volume > 0 || Volume < -10000) return E_INVALIDARG;
  FVolume = Volume;
  ApplyVolume();
  return S_OK;
}

void TGstFilterGraph::ApplyVolume() {
  const double Level = LinearVolume(FVolume);
  for (const ComPtr<IGstFilter>& Filter : FFilters.GstFilters())
    if (GstElement* Element = VolumeOf(Filter->Element())) g_object_set(Element, "volume", Level, nullptr);
}

HRESULT TGstFilterGraph::get_Volume(LONG* Volume) {
  if (!Volume) return E_POINTER;
  *Volume = FVolume;
  return S_OK;
}

HRESULT TGstFilterGraph::GetEvent(LONG* EventCode, LONG_PTR* Param1, LONG_PTR* Param2, LONG MsTimeout) {
  return FEvents.Get(EventCode, Param1, Param2, MsTimeout);
}

HRESULT TGstFilterGraph::FreeEventParams(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) {
  return TGstEventQueue::FreeParams(EventCode, Param1, Param2);
}

HRESULT TGstFilterGraph::SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance) {
  return FEvents.SetNotifyWindow(Window, Msg, Instance);
}

HRESULT TGstFilterGraph::SetNotifyFlags(LONG Flags) { return FEvents.SetNotifyFlags(Flags); }

HRESULT TGstFilterGraph::GetNotifyFlags(LONG* Flags) {
  if (!Flags) return E_POINTER;
  *Flags = FEvents.NotifyFlags();
  return S_OK;
}

HRESULT TGstFilterGraph::Notify(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) {
  FEvents.Push(EventCode, Param1, Param2);
  return S_OK;
}

std::string TGstFilterGraph::Describe() {
  std::ostringstream Out;
  Out << "state " << StateName(FState) << "\n";
  for (const ComPtr<IGstFilter>& Filter : FFilters.GstFilters()) {
    Out << "filter " << ElementName(Filter->Element()) << "\n";
    DescribePins(Filter->Element(), Out);
  }
  return Out.str();
}
