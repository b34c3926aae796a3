#pragma once
// A scripted filter graph with its control, seeking, audio and event-queue interfaces. It logs
// every call the graph component makes as "G<n> <call>", answers with the scripted results,
// and posts its notification the way the real graph does, from whichever thread calls Notify.
// Told to, it renders in the background: a render begun waits for FinishRender.
#include <QString>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "fakes/FakeFilters.h"
#include "platform/dshow/Control.h"
#include "platform/dshow/ErrorText.h"
#include "platform/win/Messages.h"

struct TFakeEvent {
  LONG Code;
  LONG_PTR Param1;
  LONG_PTR Param2;
};

class TFakeFilterGraph
    : public TComObject<IFilterGraph2, IMediaControl, IMediaEventEx, IMediaSeeking, IBasicAudio, IGraphErrorInfo> {
public:
  TFakeFilterGraph(TCallLog& ALog, int ANumber) : Log(ALog), Id("G" + std::to_string(ANumber)) {}

  // --- the graph
  HRESULT AddFilter(IBaseFilter* Filter, LPCWSTR Name) override {
    const std::string Text = QString::fromUtf16(Name).toStdString();
    Call("AddFilter " + Text);
    FFilters.push_back({ComPtr<IBaseFilter>(Filter), Text});
    return S_OK;
  }
  HRESULT RemoveFilter(IBaseFilter* Filter) override {
    for (auto It = FFilters.begin(); It != FFilters.end(); ++It)
      if (It->Filter.Get() == Filter) {
        Call("RemoveFilter " + It->Name);
        FFilters.erase(It);
        return RemoveFilterResult;
      }
    Call("RemoveFilter (not in the graph)");
    return E_INVALIDARG;
  }
  HRESULT EnumFilters(IEnumFilters** Enum) override {
    std::vector<ComPtr<IBaseFilter>> Items;
    for (const auto& F : FFilters) Items.push_back(F.Filter);
    return TComEnumerator<IEnumFilters, IBaseFilter>::Make(std::move(Items), Enum);
  }
  HRESULT RenderFile(LPCWSTR File, LPCWSTR) override {
    Call("RenderFile " + QString::fromUtf16(File).toStdString());
    return RenderResult;
  }
  std::string LastErrorText() override { return Said; }
  HRESULT SetLogFile(std::uintptr_t File) override {
    LogHandle = File;
    Call(File ? "SetLogFile file" : "SetLogFile 0");
    return S_OK;
  }
  // Names of the filters in the graph, in order.
  std::vector<std::string> FilterNames() const {
    std::vector<std::string> Names;
    for (const auto& F : FFilters) Names.push_back(F.Name);
    return Names;
  }

  // --- control, seeking, audio
  HRESULT Run() override {
    Call("Run");
    return RunResult;
  }
  HRESULT Pause() override {
    Call("Pause");
    return PauseResult;
  }
  HRESULT Stop() override {
    Call("Stop");
    return StopResult;
  }
  HRESULT GetState(LONG, OAFilterState* S) override {
    *S = State;
    return S_OK;
  }
  HRESULT GetDuration(LONGLONG* D) override {
    *D = Length;
    return S_OK;
  }
  HRESULT GetCurrentPosition(LONGLONG* C) override {
    *C = Position;
    return S_OK;
  }
  HRESULT GetStopPosition(LONGLONG* S) override {
    *S = Length;
    return StopPositionResult;
  }
  HRESULT SetPositions(LONGLONG* Current, DWORD CurrentFlags, LONGLONG* Stop, DWORD StopFlags) override {
    Call("SetPositions " + std::to_string(*Current) + " " + std::to_string(CurrentFlags) + " " +
         std::to_string(*Stop) + " " + std::to_string(StopFlags));
    if (CurrentFlags) Position = *Current;
    return S_OK;
  }
  HRESULT put_Volume(LONG V) override {
    Call("put_Volume " + std::to_string(V));
    return S_OK;
  }
  HRESULT get_Volume(LONG* V) override {
    *V = 0;
    return S_OK;
  }

  // --- the event queue
  HRESULT GetEvent(LONG* Code, LONG_PTR* Param1, LONG_PTR* Param2, LONG) override {
    if (Events.empty()) return E_ABORT;
    const TFakeEvent E = Events.front();
    Events.pop_front();
    *Code = E.Code;
    *Param1 = E.Param1;
    *Param2 = E.Param2;
    return S_OK;
  }
  HRESULT FreeEventParams(LONG Code, LONG_PTR, LONG_PTR) override {
    Call("FreeEventParams " + std::to_string(Code));
    return S_OK;
  }
  HRESULT SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance) override {
    FWindow = Window;
    FMessage = Msg;
    FInstance = Instance;
    const bool Self = Instance == reinterpret_cast<LONG_PTR>(static_cast<IMediaEventEx*>(this));
    char Text[64];
    std::snprintf(Text, sizeof Text, "SetNotifyWindow $%X %s", static_cast<unsigned>(Msg), Self ? "self" : "other");
    Call(Text);
    return S_OK;
  }
  HRESULT SetNotifyFlags(LONG Flags) override {
    FFlags = Flags;
    Call("SetNotifyFlags " + std::to_string(Flags));
    return S_OK;
  }
  HRESULT GetNotifyFlags(LONG* Flags) override {
    *Flags = FFlags;
    return S_OK;
  }

  void Queue(LONG Code, LONG_PTR Param1 = 0, LONG_PTR Param2 = 0) { Events.push_back({Code, Param1, Param2}); }

  // --- rendering in the background, while Background is set
  struct TRender : TComObject<IRenderOperation> {
    HRESULT GetResult(HRESULT* R) override {
      *R = Result;
      return Done ? S_OK : S_FALSE;
    }
    HRESULT Abort() override {
      Log->Add(Id + " Abort");
      Window = 0;
      return S_OK;
    }
    TCallLog* Log;
    std::string Id;
    OAHWND Window;
    LONG Msg;
    bool Done = false;
    HRESULT Result = S_OK;
  };
  struct TAsync : IGraphBuilderAsync {
    explicit TAsync(TFakeFilterGraph* AOuter) : Outer(AOuter) {}
    HRESULT QueryInterface(REFIID Iid, void** Object) override { return Outer->QueryInterface(Iid, Object); }
    ULONG AddRef() override { return Outer->AddRef(); }
    ULONG Release() override { return Outer->Release(); }
    HRESULT BeginRenderFile(LPCWSTR File, OAHWND Window, LONG Msg, LONG_PTR, IRenderOperation** Operation) override {
      Outer->Call("BeginRenderFile " + QString::fromUtf16(File).toStdString());
      Outer->Pending = ComPtr<TRender>(new TRender);
      Outer->Pending->Log = &Outer->Log;
      Outer->Pending->Id = Outer->Id;
      Outer->Pending->Window = Window;
      Outer->Pending->Msg = Msg;
      *Operation = Outer->Pending.Get();
      (*Operation)->AddRef();
      return S_OK;
    }
    TFakeFilterGraph* Outer;
  };
  // Ends the render begun last with Result and posts its message, as the graph's thread does.
  void FinishRender(HRESULT Result) {
    Pending->Done = true;
    Pending->Result = Result;
    if (Pending->Window) PostMessageA(Pending->Window, static_cast<UINT>(Pending->Msg), 0, 0);
  }
  bool Background = false;
  ComPtr<TRender> Pending;
  // Posts the notification if notifications are on; safe from any thread.
  void Notify() const {
    if (FWindow && FFlags == 0) PostMessageA(FWindow, static_cast<UINT>(FMessage), 0, FInstance);
  }

  TCallLog& Log;
  const std::string Id;
  HRESULT RunResult = S_OK, PauseResult = S_OK, StopResult = S_OK, RenderResult = S_OK;
  std::string Said;  // the graph's own words for its last failure
  HRESULT RemoveFilterResult = S_OK;
  OAFilterState State = State_Stopped;
  LONGLONG Length = 0;  // 100-ns units; also the stop position
  LONGLONG Position = 0;
  HRESULT StopPositionResult = S_OK;
  std::uintptr_t LogHandle = 0;
  std::deque<TFakeEvent> Events;

protected:
  void* QueryExtraInterface(REFIID Iid) override {
    if (Iid == IGraphBuilderAsync::IID && Background) return &FAsync;
    if (Iid == IGraphBuilder::IID || Iid == IFilterGraph::IID) return static_cast<IGraphBuilder*>(this);
    if (Iid == IMediaEvent::IID) return static_cast<IMediaEvent*>(static_cast<IMediaEventEx*>(this));
    return nullptr;
  }

private:
  void Call(const std::string& What) { Log.Add(Id + " " + What); }

  struct TEntry {
    ComPtr<IBaseFilter> Filter;
    std::string Name;
  };
  std::vector<TEntry> FFilters;
  TAsync FAsync{this};
  OAHWND FWindow = 0;
  LONG FMessage = 0;
  LONG_PTR FInstance = 0;
  LONG FFlags = 1;
};
