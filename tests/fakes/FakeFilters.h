#pragma once
// Scripted filters and pins that log their disconnections.
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "platform/com/ComEnumerator.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/Filters.h"

class TFakeFilter;

// Disconnect logs "Disconnect <filter>.<pin>" and only disconnects this end.
class TFakePin : public TComObject<IPin> {
public:
  TFakePin(TCallLog& ALog, TFakeFilter* AFilter, std::string AName, PIN_DIRECTION ADirection)
      : Log(ALog), Filter(AFilter), Name(std::move(AName)), Direction(ADirection) {}

  HRESULT Disconnect() override {
    Log.Add("Disconnect " + Name);
    if (FAILED(DisconnectResult)) return DisconnectResult;
    if (!Peer) return S_FALSE;
    Peer = nullptr;
    return S_OK;
  }
  HRESULT ConnectedTo(IPin** Pin) override {
    if (!Peer) return VFW_E_NOT_CONNECTED;
    Peer->AddRef();
    *Pin = Peer;
    return S_OK;
  }
  HRESULT QueryPinInfo(PIN_INFO* Info) override;
  HRESULT QueryDirection(PIN_DIRECTION* D) override {
    *D = Direction;
    return S_OK;
  }

  TCallLog& Log;
  TFakeFilter* Filter;  // owns the pin
  std::string Name;     // "<filter>.<pin>"
  PIN_DIRECTION Direction;
  TFakePin* Peer = nullptr;  // not owned: both filters live as long as the test's graph
  HRESULT DisconnectResult = S_OK;
};

inline void Connect(TFakePin* Output, TFakePin* Input) {
  Output->Peer = Input;
  Input->Peer = Output;
}

class TFakeFilter : public TComObject<IBaseFilter> {
public:
  TFakeFilter(TCallLog& ALog, std::string AName) : Log(ALog), Name(std::move(AName)) {}

  TFakePin* AddPin(const std::string& PinName, PIN_DIRECTION Direction) {
    FPins.emplace_back(new TFakePin(Log, this, Name + "." + PinName, Direction));
    return FPins.back().Get();
  }
  TFakePin* Pin(int Index) const { return FPins.at(static_cast<std::size_t>(Index)).Get(); }

  HRESULT Stop() override { return S_OK; }
  HRESULT Pause() override { return S_OK; }
  HRESULT Run(REFERENCE_TIME) override { return S_OK; }
  HRESULT GetState(DWORD, FILTER_STATE* State) override {
    *State = State_Stopped;
    return S_OK;
  }
  HRESULT EnumPins(IEnumPins** Enum) override {
    std::vector<ComPtr<IPin>> Pins;
    for (const ComPtr<TFakePin>& P : FPins) Pins.emplace_back(P.Get());
    return TComEnumerator<IEnumPins, IPin>::Make(std::move(Pins), Enum);
  }
  HRESULT FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  HRESULT QueryFilterInfo(FILTER_INFO* Info) override {
    *Info = {};
    for (std::size_t I = 0; I < Name.size() && I + 1 < MAX_FILTER_NAME; ++I) Info->achName[I] = static_cast<WCHAR>(Name[I]);
    return S_OK;
  }
  HRESULT JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return S_OK; }

  TCallLog& Log;
  std::string Name;

private:
  std::vector<ComPtr<TFakePin>> FPins;
};

inline HRESULT TFakePin::QueryPinInfo(PIN_INFO* Info) {
  *Info = {};
  Info->pFilter = Filter;
  Filter->AddRef();
  Info->dir = Direction;
  return S_OK;
}

// A new filter with a reference of its own.
inline ComPtr<TFakeFilter> MakeFilter(TCallLog& Log, const std::string& Name) {
  return ComPtr<TFakeFilter>(new TFakeFilter(Log, Name));
}
