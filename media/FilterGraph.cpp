#include "media/FilterGraph.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QEventLoop>
#include <QPointer>
#include <algorithm>
#include <cstdio>

#include "framework/Exception.h"
#include "media/DirectShowException.h"
#include "media/GraphFader.h"
#include "media/FilterList.h"
#include "media/GraphNotifyWindow.h"
#include "media/PinList.h"
#include "platform/com/ClassRegistry.h"
#include "platform/dshow/ReferenceTime.h"
#include "platform/dshow/RunningObjectTable.h"
#include "platform/win/Messages.h"

namespace {
std::u16string Widen(const std::string& Text) { return QString::fromStdString(Text).toStdU16String(); }

template <typename T>
void Erase(std::vector<T*>& List, T* Item) {
  const auto It = std::find(List.begin(), List.end(), Item);
  if (It != List.end()) List.erase(It);
}
}  // namespace

TFilterGraph::TFilterGraph(QObject* AOwner)
    : QObject(AOwner), NotifyWindow(std::make_unique<TGraphNotifyWindow>([this] { HandleGraphEvents(); }, [this] { GraphRendered(); }, this)) {}

TFilterGraph::~TFilterGraph() {
  SetActive(false);
  NotifyWindow.reset();
}

void TFilterGraph::Loaded() {
  if (FAutoCreate && !Designing()) SetActive(true);
  TComponentLoading::Loaded();
}

// --- activation

void TFilterGraph::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    Activate();
  else
    Deactivate();
}

void TFilterGraph::BuildGraph() {
  if (FAdopt) {
    InnerGraph = std::move(FAdopt);
    return;
  }
  // No result is checked: a component whose graph could not be built is active all the same.
  const auto CreateFilterGraph = [this] {
    IFilterGraph2* Graph = nullptr;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IFilterGraph2::IID, reinterpret_cast<void**>(&Graph));
    InnerGraph = ComPtr<IGraphBuilder>::Attach(Graph);
  };
  switch (FMode) {
    case gmNormal:
      CreateFilterGraph();
      break;
    case gmCapture:
      CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, ICaptureGraphBuilder2::IID,
                       CaptureBuilder.ReleaseAndGetVoidAddress());
      CreateFilterGraph();
      if (CaptureBuilder && InnerGraph) CaptureBuilder->SetFiltergraph(InnerGraph.Get());
      break;
    case gmDVD:
      CoCreateInstance(CLSID_DvdGraphBuilder, nullptr, CLSCTX_INPROC_SERVER, IDvdGraphBuilder::IID,
                       DvdBuilder.ReleaseAndGetVoidAddress());
      if (DvdBuilder) DvdBuilder->GetFiltergraph(InnerGraph.ReleaseAndGetAddressOf());
      break;
  }
}

void TFilterGraph::Activate() {
  BuildGraph();
  FActive = true;
  if (SUCCEEDED(QueryInterface(EventSource))) {
    EventSource->SetNotifyFlags(0);
    EventSource->SetNotifyWindow(HandleOf(NotifyWindow.get()), WM_GRAPHNOTIFY, reinterpret_cast<LONG_PTR>(EventSource.Get()));
  }
  SetGraphEdit(FGraphEdit);
  SetLogFile(FLogFile);
  ApplyVolume();
  if (InnerGraph)
    for (IGraphMember* Member : Members) AddMemberFilter(Member);
  OnActivate(this);
  SendControl(gcActivation, 1);
}

void TFilterGraph::Deactivate() {
  Abort();
  DropNext();
  EndFade();
  SendControl(gcActivation, 0);
  if (InnerGraph)
    for (IGraphMember* Member : Members) RemoveMemberFilter(Member);
  ReleaseGraph();
}

ComPtr<IGraphBuilder> TFilterGraph::Retire(TTransitionKind Kind) {
  Abort();
  SendControl(gcActivation, 0);
  SendMembers(moRetire, Kind);
  ComPtr<IGraphBuilder> Graph = InnerGraph;
  ReleaseGraph();
  return Graph;
}

void TFilterGraph::ReleaseGraph() {
  if (EventSource) {
    EventSource->SetNotifyFlags(1);
    EventSource.Reset();
  }
  if (RotCookie != 0) RemoveFromRot();
  StopLog();
  InnerGraph.Reset();
  CaptureBuilder.Reset();
  DvdBuilder.Reset();
  FActive = false;
}

void TFilterGraph::SetMode(TGraphMode Value) {
  if (Value == FMode) return;
  const bool WasActive = FActive;
  SetActive(false);
  FMode = Value;
  SetActive(WasActive);
}

// --- interface lookup

HRESULT TFilterGraph::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  *Object = nullptr;
  // The component has no COM identity of its own: the graph's objects answer everything.
  if (!FActive) return E_NOINTERFACE;
  const auto Ask = [&](IUnknown* Source) {
    return Source ? Source->QueryInterface(Iid, Object) : E_NOINTERFACE;
  };
  switch (FMode) {
    case gmNormal:
      return Ask(InnerGraph.Get());
    case gmCapture:
      if (const HRESULT Code = Ask(CaptureBuilder.Get()); SUCCEEDED(Code)) return Code;
      return Ask(InnerGraph.Get());
    case gmDVD:
      if (const HRESULT Code = Ask(DvdBuilder.Get()); SUCCEEDED(Code)) return Code;
      if (DvdBuilder)
        if (const HRESULT Code = DvdBuilder->GetDvdInterface(Iid, Object); SUCCEEDED(Code)) return Code;
      return Ask(InnerGraph.Get());
  }
  return E_NOINTERFACE;
}

// --- members and observers

void TFilterGraph::SendControl(TGraphControl Code, LONG Param) {
  // By index: an observer may unregister while it is told.
  for (std::size_t Index = 0; Index < Observers.size(); ++Index) Observers[Index]->ObserveControl(Code, Param);
}

void TFilterGraph::AddMemberFilter(IGraphMember* Member) {
  Member->MemberNotify(moBeforeAdd, 0);
  const std::u16string Name = Widen(Member->QueryMemberName());
  const ComPtr<IBaseFilter> Filter = Member->QueryMemberFilter();
  // A next graph taken over holds the member's filter already.
  if (TFilterList(InnerGraph.Get()).Exclude(Filter.Get()) < 0) InnerGraph->AddFilter(Filter.Get(), Name.c_str());
  Member->MemberNotify(moAfterAdd, 0);
}

void TFilterGraph::RemoveMemberFilter(IGraphMember* Member) {
  Member->MemberNotify(moBeforeRemove, 0);
  InnerGraph->RemoveFilter(Member->QueryMemberFilter().Get());
  Member->MemberNotify(moAfterRemove, 0);
}

void TFilterGraph::AddMember(IGraphMember* Member) {
  Members.push_back(Member);
  if (FActive && InnerGraph) AddMemberFilter(Member);
}

void TFilterGraph::RemoveMember(IGraphMember* Member) {
  Erase(Members, Member);
  if (FActive && InnerGraph) RemoveMemberFilter(Member);
}

void TFilterGraph::AddObserver(IGraphObserver* Observer) { Observers.push_back(Observer); }

void TFilterGraph::RemoveObserver(IGraphObserver* Observer) { Erase(Observers, Observer); }

// --- control

bool TFilterGraph::Play() {
  Abort();
  ComPtr<IMediaControl> Control;
  if (FAILED(QueryInterface(Control))) return false;
  SendControl(gcPlay, 0);
  PauseFade(true);
  return SUCCEEDED(CheckGraphResult(Control->Run(), Control.Get()));
}

bool TFilterGraph::Pause() {
  Abort();
  ComPtr<IMediaControl> Control;
  if (FAILED(QueryInterface(Control))) return false;
  SendControl(gcPause, 0);
  PauseFade(false);
  FPreparedPause = false;  // the pause to come is this one
  return CheckGraphResult(Control->Pause(), Control.Get()) == S_OK;
}

bool TFilterGraph::Stop() {
  Abort();
  EndFade();
  ComPtr<IMediaControl> Control;
  if (FAILED(QueryInterface(Control))) return false;
  SendControl(gcStop, 0);
  return CheckGraphResult(Control->Stop(), Control.Get()) == S_OK;
}

HRESULT TFilterGraph::RenderFile(const std::u16string& Path) {
  if (!InnerGraph) return S_FALSE;
  Abort();
  SendControl(gcBeforeRender, 0);
  // The graph takes the path up to its first NUL: a path holding one (a playlist file can)
  // names no file, and must not play the file named by the part before it.
  const bool Whole = Path.find(u'\0') == std::u16string::npos;
  const HRESULT Code =
      CheckGraphResult(Whole ? Render(Path) : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), InnerGraph.Get(),
                       QString::fromStdU16String(Path).replace(QChar(u'\0'), QStringLiteral("\\0")).toStdString());
  SendControl(gcAfterRender, 0);
  return Code;
}

HRESULT TFilterGraph::RenderFile(const std::string& Path) { return RenderFile(Widen(Path)); }

HRESULT TFilterGraph::Render(const std::u16string& Path) {
  ComPtr<IGraphBuilderAsync> Async;
  if (FAILED(InnerGraph.As(Async))) return InnerGraph->RenderFile(Path.c_str(), nullptr);
  ComPtr<IRenderOperation> Operation;
  if (const HRESULT Code = Async->BeginRenderFile(Path.c_str(), HandleOf(NotifyWindow.get()), WM_GRAPHRENDERED, 0,
                                                  Operation.ReleaseAndGetAddressOf());
      FAILED(Code))
    return Code;
  return Wait(Operation);
}

HRESULT TFilterGraph::Wait(const ComPtr<IRenderOperation>& Operation) {
  // Anything the loop runs may call the render off, rebuild the graph, or free this component.
  const QPointer<TFilterGraph> Alive(this);
  QEventLoop Loop;
  FRender = Operation;
  FRenderLoop = &Loop;
  HRESULT Result = S_OK;
  if (Operation->GetResult(&Result) == S_FALSE) Loop.exec();
  if (!Alive || FRender.Get() != Operation.Get()) throw EAbort();
  FRender.Reset();
  FRenderLoop = nullptr;
  // The loop ended without the result: the program is ending.
  if (Operation->GetResult(&Result) == S_FALSE) {
    Operation->Abort();
    throw EAbort();
  }
  return Result;
}

void TFilterGraph::Abort() {
  if (!FRender) return;
  FRender->Abort();
  FRender.Reset();
  if (FRenderLoop) FRenderLoop->exit();
  FRenderLoop = nullptr;
}

void TFilterGraph::GraphRendered() {
  HRESULT Result = S_OK;
  if (FRender && FRenderLoop && FRender->GetResult(&Result) == S_OK) FRenderLoop->exit();
  AdvanceNext();
}

void TFilterGraph::DisconnectAll() {
  if (!InnerGraph) return;
  Abort();
  const TFilterList Filters(InnerGraph.Get());
  for (int F = 0; F < Filters.Count(); ++F) {
    const TPinList Pins(Filters.FilterAt(F));
    for (int P = 0; P < Pins.Count(); ++P) CheckGraphResult(Pins.PinAt(P)->Disconnect());
  }
}

void TFilterGraph::ClearGraph() {
  if (!InnerGraph) return;
  Stop();
  DisconnectAll();
  TFilterList Filters(InnerGraph.Get());
  for (IGraphMember* Member : Members) Filters.Exclude(Member->QueryMemberFilter().Get());
  for (int F = 0; F < Filters.Count(); ++F) CheckGraphResult(InnerGraph->RemoveFilter(Filters.FilterAt(F)));
}

void TFilterGraph::SetVolume(LONG Value) {
  FVolume = Value;
  ApplyVolume();
}

void TFilterGraph::ApplyVolume() {
  ComPtr<IBasicAudio> Audio;
  if (FVolume && SUCCEEDED(QueryInterface(Audio))) Audio->put_Volume(*FVolume - 10000);
}

TGraphState TFilterGraph::GraphState() {
  ComPtr<IMediaControl> Control;
  if (FAILED(QueryInterface(Control))) return gsNone;
  OAFilterState State = -1;
  Control->GetState(0, &State);
  switch (State) {
    case State_Stopped: return gsStopped;
    case State_Paused: return gsPaused;
    case State_Running: return gsRunning;
    default: return gsNone;
  }
}

LONG TFilterGraph::Duration() {
  ComPtr<IMediaSeeking> Seeking;
  if (FAILED(QueryInterface(Seeking))) return 0;
  LONGLONG Length = 0;
  Seeking->GetDuration(&Length);
  return static_cast<LONG>(Length / UnitsPerMillisecond);
}

// --- graph inspection

void TFilterGraph::SetGraphEdit(bool Value) {
  if (!Value) {
    if (RotCookie != 0) RemoveFromRot();
  } else if (RotCookie == 0 && FActive) {
    AddToRot();
  }
  FGraphEdit = Value;
}

void TFilterGraph::AddToRot() {
  // Failures are not reported: RotCookie stays 0.
  if (!InnerGraph) return;
  ComPtr<IRunningObjectTable> Table;
  if (FAILED(GetRunningObjectTable(0, Table.ReleaseAndGetAddressOf()))) return;
  char Item[64];
  std::snprintf(Item, sizeof Item, "FilterGraph %0*llX pid %X", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(InnerGraph.Get())),
                static_cast<unsigned>(::getpid()));
  ComPtr<IMoniker> Moniker;
  if (FAILED(CreateItemMoniker(u"!", Widen(Item).c_str(), Moniker.ReleaseAndGetAddressOf()))) return;
  DWORD Cookie = 0;
  if (SUCCEEDED(Table->Register(0, InnerGraph.Get(), Moniker.Get(), &Cookie))) RotCookie = Cookie;
}

void TFilterGraph::RemoveFromRot() {
  ComPtr<IRunningObjectTable> Table;
  if (SUCCEEDED(GetRunningObjectTable(0, Table.ReleaseAndGetAddressOf()))) Table->Revoke(RotCookie);
  RotCookie = 0;
}

// --- log file

void TFilterGraph::StopLog() {
  if (InnerGraph) InnerGraph->SetLogFile(0);
  if (LogStream >= 0) ::close(LogStream);
  LogStream = -1;
}

void TFilterGraph::SetLogFile(const std::string& Path) {
  if (FActive) {
    StopLog();
    if (!Path.empty()) {
      // Created afresh and held exclusively, as no other writer may share the log.
      LogStream = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
      if (LogStream < 0 || ::flock(LogStream, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(LogStream, 0) != 0) {
        StopLog();
        return;  // the property keeps its previous value
      }
      if (InnerGraph) InnerGraph->SetLogFile(static_cast<std::uintptr_t>(LogStream));
    }
  }
  FLogFile = Path;
}
