#include "platform/gst/GstFilterGraph.h"

#include <QString>
#include <algorithm>
#include <sstream>

#include "platform/dshow/ErrorText.h"
#include "platform/com/ComEnumerator.h"
#include "platform/gst/GstFileRenderer.h"
#include "platform/gst/GstLogFile.h"
#include "platform/gst/GstPin.h"
#include "platform/gst/GstRenderers.h"

namespace {
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

std::string ElementName(GstElement* Element) {
  gchar* Name = gst_element_get_name(Element);
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

TGstFilterGraph::TGstFilterGraph() : FPipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)))) {
  FBus = std::make_unique<TGstBusEvents>(FPipeline, FEvents);
}

TGstFilterGraph::~TGstFilterGraph() {
  FEvents.SetNotifyFlags(1);
  GstLogFileSet(FPipeline, 0);
  gst_element_set_state(FPipeline, GST_STATE_NULL);  // joins every streaming thread
  FBus.reset();
  for (const TEntry& E : FFilters) {
    gst_bin_remove(GST_BIN(FPipeline), E.Gst->Element());
    E.Filter->JoinFilterGraph(nullptr, nullptr);
  }
  FFilters.clear();
  gst_object_unref(FPipeline);
}

void* TGstFilterGraph::QueryExtraInterface(REFIID Iid) {
  if (Iid == IGraphBuilder::IID) return static_cast<IGraphBuilder*>(this);
  if (Iid == IFilterGraph::IID) return static_cast<IFilterGraph*>(this);
  if (Iid == IMediaEvent::IID) return static_cast<IMediaEvent*>(this);
  return nullptr;
}

void TGstFilterGraph::Refresh() { RefreshRunningObject(static_cast<IFilterGraph2*>(this)); }

std::u16string TGstFilterGraph::UniqueName(std::u16string Name) const {
  std::replace(Name.begin(), Name.end(), u'/', u'_');
  if (Name.empty()) Name = u"Filter";
  const auto Taken = [this](const std::u16string& N) {
    return std::any_of(FFilters.begin(), FFilters.end(), [&](const TEntry& E) {
      return ElementName(E.Gst->Element()) == QString::fromStdU16String(N).toStdString();
    });
  };
  std::u16string Candidate = Name;
  for (int I = 1; Taken(Candidate); ++I)
    Candidate = Name + QString::asprintf(" %04d", I).toStdU16String();
  return Candidate;
}

std::vector<ComPtr<IGstFilter>> TGstFilterGraph::GstFilters() const {
  std::vector<ComPtr<IGstFilter>> Result;
  for (const TEntry& E : FFilters) Result.push_back(E.Gst);
  return Result;
}

HRESULT TGstFilterGraph::AddFilter(IBaseFilter* Filter, LPCWSTR Name) {
  if (!Filter) return E_POINTER;
  ComPtr<IGstFilter> Gst;
  if (FAILED(ComPtr<IBaseFilter>(Filter).As(Gst))) return E_NOINTERFACE;
  if (std::any_of(FFilters.begin(), FFilters.end(), [&](const TEntry& E) { return E.Gst == Gst; })) return E_INVALIDARG;
  GstElement* Element = Gst->Element();
  const std::u16string Unique = UniqueName(Name ? std::u16string(Name) : std::u16string());
  if (!GST_OBJECT_PARENT(Element)) gst_object_set_name(GST_OBJECT(Element), QString::fromStdU16String(Unique).toUtf8().constData());
  if (!gst_bin_add(GST_BIN(FPipeline), Element)) return E_FAIL;
  FFilters.push_back({ComPtr<IBaseFilter>(Filter), Gst});
  Filter->JoinFilterGraph(this, Unique.c_str());
  // A locked element is started by whoever added it, once it is linked.
  if (!gst_element_is_locked_state(Element)) gst_element_sync_state_with_parent(Element);
  Refresh();
  return S_OK;
}

HRESULT TGstFilterGraph::AddGstFilter(TGstFilter* Filter, const std::string& Name) {
  return AddFilter(Filter, QString::fromStdString(Name).toStdU16String().c_str());
}

HRESULT TGstFilterGraph::RemoveFilter(IBaseFilter* Filter) {
  if (!Filter) return E_POINTER;
  const auto It = std::find_if(FFilters.begin(), FFilters.end(), [&](const TEntry& E) {
    ComPtr<IGstFilter> Gst;
    return SUCCEEDED(ComPtr<IBaseFilter>(Filter).As(Gst)) && Gst == E.Gst;
  });
  if (It == FFilters.end()) return VFW_E_NOT_FOUND;
  const TEntry Entry = *It;
  FFilters.erase(It);
  GstElement* Element = Entry.Gst->Element();
  GstIterator* Pads = gst_element_iterate_pads(Element);
  gst_iterator_foreach(Pads, [](const GValue* Item, gpointer) { UnlinkPad(GST_PAD(g_value_get_object(Item))); }, nullptr);
  gst_iterator_free(Pads);
  gst_element_set_locked_state(Element, TRUE);
  gst_element_set_state(Element, GST_STATE_NULL);
  gst_bin_remove(GST_BIN(FPipeline), Element);
  gst_element_set_locked_state(Element, FALSE);
  Entry.Filter->JoinFilterGraph(nullptr, nullptr);
  Refresh();
  return S_OK;
}

HRESULT TGstFilterGraph::EnumFilters(IEnumFilters** Enum) {
  std::vector<ComPtr<IBaseFilter>> Filters;
  for (const TEntry& E : FFilters) Filters.push_back(E.Filter);
  return TComEnumerator<IEnumFilters, IBaseFilter>::Make(std::move(Filters), Enum);
}

HRESULT TGstFilterGraph::RenderFile(LPCWSTR File, LPCWSTR) {
  if (!File) return E_POINTER;
  const HRESULT Result = TGstFileRenderer(*this, QString::fromUtf16(File).toStdString()).Render();
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

void TGstFilterGraph::ApplyState() {
  gst_element_set_state(FPipeline, FState == State_Running ? GST_STATE_PLAYING : GST_STATE_PAUSED);
}

HRESULT TGstFilterGraph::Run() {
  FBus->CancelPaused();
  FBus->SetRunning(true);
  FState = State_Running;
  return Changed(gst_element_set_state(FPipeline, GST_STATE_PLAYING));
}

HRESULT TGstFilterGraph::Pause() {
  FBus->SetRunning(false);
  FState = State_Paused;
  FBus->ExpectPaused();
  const GstStateChangeReturn Result = gst_element_set_state(FPipeline, GST_STATE_PAUSED);
  if (Result == GST_STATE_CHANGE_SUCCESS || Result == GST_STATE_CHANGE_NO_PREROLL) FBus->PausedNow();
  return Changed(Result);
}

HRESULT TGstFilterGraph::Stop() {
  FBus->CancelPaused();
  FBus->SetRunning(false);
  FState = State_Stopped;
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
  *Duration = Nanoseconds / 100;
  return S_OK;
}

HRESULT TGstFilterGraph::GetCurrentPosition(LONGLONG* Current) {
  if (!Current) return E_POINTER;
  gint64 Nanoseconds = 0;
  if (!gst_element_query_position(FPipeline, GST_FORMAT_TIME, &Nanoseconds) || Nanoseconds < 0) {
    *Current = 0;
    return E_FAIL;
  }
  *Current = Nanoseconds / 100;
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
                        CurrentType, Current * 100, StopType, StopType == GST_SEEK_TYPE_NONE ? -1 : Stop * 100))
    return E_FAIL;
  if (StopType != GST_SEEK_TYPE_NONE) FStop = Stop;
  return S_OK;
}

HRESULT TGstFilterGraph::put_Volume(LONG Volume) {
  if (Volume > 0 || Volume < -10000) return E_INVALIDARG;
  FVolume = Volume;
  for (const TEntry& E : FFilters)
    if (GstElement* Level = VolumeOf(E.Gst->Element())) g_object_set(Level, "volume", LinearVolume(Volume), nullptr);
  return S_OK;
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

std::string TGstFilterGraph::Describe() {
  std::ostringstream Out;
  Out << "state " << StateName(FState) << "\n";
  for (const TEntry& E : FFilters) {
    Out << "filter " << ElementName(E.Gst->Element()) << "\n";
    DescribePins(E.Gst->Element(), Out);
  }
  return Out.str();
}
