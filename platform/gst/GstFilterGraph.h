#pragma once
// The filter graph over a GstPipeline: filters are elements and bins, pins their pads. It
// renders files (also on a thread of its own), runs, pauses, stops and seeks the pipeline, sets
// the audio renderers' volume, turns the bus into graph events and describes itself for the
// running object table. Its last release frees it off the releasing thread, since stopping the
// pipeline joins streaming threads that may be waiting on a slow disk.
// Every method runs on the user-interface thread unless it says otherwise.
#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/Control.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/Filters.h"
#include "platform/dshow/RunningObjectTable.h"
#include "platform/gst/GstBusEvents.h"
#include "platform/gst/GstEventQueue.h"
#include "platform/gst/GstGraphFilters.h"
#include "platform/gst/GstStreamEnds.h"

class TGstFilterGraph : public TComObject<IFilterGraph2, IGraphBuilderAsync, IMediaControl, IMediaSeeking, IBasicAudio,
                                          IMediaEventEx, IMediaEventSink, IObjectDescription, IGraphErrorInfo> {
public:
  TGstFilterGraph();

  // How many graphs exist, those still being freed included; any thread.
  static int Count();

  // IFilterGraph, IGraphBuilder; AddFilter, RemoveFilter and EnumFilters on any thread.
  HRESULT AddFilter(IBaseFilter* Filter, LPCWSTR Name) override;
  HRESULT RemoveFilter(IBaseFilter* Filter) override;
  HRESULT EnumFilters(IEnumFilters** Enum) override;
  // Any thread; renders wait for the one before to end.
  HRESULT RenderFile(LPCWSTR File, LPCWSTR PlayList) override;
  HRESULT SetLogFile(std::uintptr_t File) override;

  // IGraphBuilderAsync
  HRESULT BeginRenderFile(LPCWSTR File, OAHWND Window, LONG Msg, LONG_PTR Instance,
                          IRenderOperation** Operation) override;

  // IMediaControl. The graph's own state is what was asked for last; the pipeline stays
  // paused while the graph is stopped, so connections and position survive a stop.
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT GetState(LONG MsTimeout, OAFilterState* State) override;

  // IMediaSeeking, in 100-ns units
  HRESULT GetDuration(LONGLONG* Duration) override;
  HRESULT GetCurrentPosition(LONGLONG* Current) override;
  HRESULT GetStopPosition(LONGLONG* Stop) override;
  HRESULT SetPositions(LONGLONG* Current, DWORD CurrentFlags, LONGLONG* Stop, DWORD StopFlags) override;

  // IBasicAudio: every audio renderer, also those rendered later; any thread
  HRESULT put_Volume(LONG Volume) override;
  HRESULT get_Volume(LONG* Volume) override;

  // IMediaEvent, IMediaEventEx: any thread
  HRESULT GetEvent(LONG* EventCode, LONG_PTR* Param1, LONG_PTR* Param2, LONG MsTimeout) override;
  HRESULT FreeEventParams(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) override;
  HRESULT SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance) override;
  HRESULT SetNotifyFlags(LONG Flags) override;
  HRESULT GetNotifyFlags(LONG* Flags) override;
  // IMediaEventSink: any thread
  HRESULT Notify(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) override;

  // IObjectDescription: state, filters, pins and connections; any thread
  std::string Describe() override;

  // IGraphErrorInfo: GStreamer's words for the last error of a filter of the graph
  std::string LastErrorText() override { return FBus->LastError(); }

protected:
  ~TGstFilterGraph() override;
  void* QueryExtraInterface(REFIID Iid) override;
  // Filters added from outside leave on the releasing thread, the rest goes on a work item.
  void FinalRelease() override;

private:
  class TRenderOperation;

  // RenderFile's work; Operation, if any, is told of the render while it runs.
  HRESULT Render(const std::string& Path, TRenderOperation* Operation);
  HRESULT Seek(GstSeekType CurrentType, LONGLONG Current, GstSeekType StopType, LONGLONG Stop);
  HRESULT Changed(GstStateChangeReturn Result);
  void Refresh();
  void ApplyVolume();

  // Running, pausing or stopping: the pipeline, the bus and the streams' ends are told.
  void SetRunning(bool Running);

  // The pipeline's reference, first so that it goes last, after everything that uses it.
  const std::unique_ptr<GstElement, void (*)(gpointer)> FOwnPipeline;
  GstElement* const FPipeline;
  TGstEventQueue FEvents;
  std::unique_ptr<TGstBusEvents> FBus;
  TGstGraphFilters FFilters;
  TGstStreamEnds FEnds;
  std::mutex FRendering;  // held by the render under way
  std::atomic<FILTER_STATE> FState{State_Stopped};
  std::atomic<LONG> FVolume{0};
  LONGLONG FStop = -1;  // the stop position set, -1 for the end
  LONGLONG FSought = -1;  // the position a seek still under way goes to, -1 for none
};
