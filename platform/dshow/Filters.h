#pragma once
// Filters, pins and the filter graph: the DirectShow-shaped interfaces the graph component
// drives. Implemented over GStreamer in platform/gst.
#include "platform/com/ComTypes.h"

struct IPin;
struct IEnumPins;
struct IEnumFilters;
struct IFilterGraph;

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };
enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
using OAFilterState = LONG;

constexpr int MAX_FILTER_NAME = 128;
constexpr int MAX_PIN_NAME = 128;

struct FILTER_INFO {
  WCHAR achName[MAX_FILTER_NAME];
  IFilterGraph* pGraph;  // AddRef'ed when not null; the caller releases it
};

struct PIN_INFO {
  struct IBaseFilter* pFilter;  // AddRef'ed; the caller releases it
  PIN_DIRECTION dir;
  WCHAR achName[MAX_PIN_NAME];
};

struct IBaseFilter : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A86895-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT Stop() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Run(REFERENCE_TIME Start) = 0;
  virtual HRESULT GetState(DWORD MilliSecsTimeout, FILTER_STATE* State) = 0;
  virtual HRESULT EnumPins(IEnumPins** Enum) = 0;
  virtual HRESULT FindPin(LPCWSTR Id, IPin** Pin) = 0;
  virtual HRESULT QueryFilterInfo(FILTER_INFO* Info) = 0;
  virtual HRESULT JoinFilterGraph(IFilterGraph* Graph, LPCWSTR Name) = 0;
};

struct IPin : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A86891-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT Disconnect() = 0;  // S_FALSE when it was not connected
  virtual HRESULT ConnectedTo(IPin** Pin) = 0;
  virtual HRESULT QueryPinInfo(PIN_INFO* Info) = 0;
  virtual HRESULT QueryDirection(PIN_DIRECTION* Direction) = 0;
};

struct IEnumPins : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A86892-0AD4-11CE-B03A-0020AF0BA770}");
  // S_OK when all Count were returned, S_FALSE when fewer.
  virtual HRESULT Next(ULONG Count, IPin** Pins, ULONG* Fetched) = 0;
  virtual HRESULT Reset() = 0;
};

struct IEnumFilters : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A86893-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT Next(ULONG Count, IBaseFilter** Filters, ULONG* Fetched) = 0;
  virtual HRESULT Reset() = 0;
};

struct IFilterGraph : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A8689F-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT AddFilter(IBaseFilter* Filter, LPCWSTR Name) = 0;
  virtual HRESULT RemoveFilter(IBaseFilter* Filter) = 0;
  virtual HRESULT EnumFilters(IEnumFilters** Enum) = 0;
};

struct IGraphBuilder : IFilterGraph {
  static constexpr GUID IID = MakeGuid("{56A868A9-0AD4-11CE-B03A-0020AF0BA770}");
  // Connects a source and decoders for the file and renders each of its streams. Returns
  // when the streams are connected, or with a failure code saying why they could not be.
  virtual HRESULT RenderFile(LPCWSTR File, LPCWSTR PlayList) = 0;
  // Sends the graph's diagnostic log to an open file descriptor; 0 stops it.
  virtual HRESULT SetLogFile(std::uintptr_t File) = 0;
};

struct IFilterGraph2 : IGraphBuilder {
  static constexpr GUID IID = MakeGuid("{36B73882-C2C8-11CF-8B46-00805F6CEF60}");
};

// One RenderFile under way on a thread of its graph's (IGraphBuilderAsync).
struct IRenderOperation : IUnknown {
  static constexpr GUID IID = MakeGuid("{319B68C1-4659-4AD4-B546-2DFAF487757B}");
  // S_FALSE while the render runs; S_OK once it has ended, with its result code in *Result.
  virtual HRESULT GetResult(HRESULT* Result) = 0;
  // Calls the render off: it ends at its next step, undoing what it did, and posts nothing.
  // Its result is then E_ABORT. Any thread.
  virtual HRESULT Abort() = 0;
};

// A graph that renders files off the calling thread, which goes on meanwhile.
struct IGraphBuilderAsync : IUnknown {
  static constexpr GUID IID = MakeGuid("{E8146ECF-6FAF-4BB6-B90C-4EBB9B890330}");
  // Starts RenderFile(File) on a thread of its own and returns at once. Once the render has
  // ended, Msg is posted to Window (lParam = Instance). A graph's renders run one at a time, in
  // the order they were begun.
  virtual HRESULT BeginRenderFile(LPCWSTR File, OAHWND Window, LONG Msg, LONG_PTR Instance,
                                  IRenderOperation** Operation) = 0;
};

struct ICaptureGraphBuilder2 : IUnknown {
  static constexpr GUID IID = MakeGuid("{93E5A4E0-2D50-11D2-ABFA-00A0C9C6E38D}");
  virtual HRESULT SetFiltergraph(IGraphBuilder* Graph) = 0;
};

struct IDvdGraphBuilder : IUnknown {
  static constexpr GUID IID = MakeGuid("{FCC152B6-F372-11D0-8E00-00C04FD7C08B}");
  virtual HRESULT GetFiltergraph(IGraphBuilder** Graph) = 0;
  virtual HRESULT GetDvdInterface(REFIID Iid, void** Object) = 0;
};

struct IDvdInfo2 : IUnknown {
  static constexpr GUID IID = MakeGuid("{34151510-EEC0-11D2-8201-00A0C9D74842}");
  virtual HRESULT GetAudioLanguage(ULONG Stream, LCID* Language) = 0;
  virtual HRESULT GetSubpictureLanguage(ULONG Stream, LCID* Language) = 0;
};

constexpr CLSID CLSID_FilterGraph = MakeGuid("{E436EBB3-524F-11CE-9F53-0020AF0BA770}");
constexpr CLSID CLSID_CaptureGraphBuilder2 = MakeGuid("{BF87B6E1-8C27-11D0-B3F0-00AA003761C5}");
constexpr CLSID CLSID_DvdGraphBuilder = MakeGuid("{FCC152B7-F372-11D0-8E00-00C04FD7C08B}");
