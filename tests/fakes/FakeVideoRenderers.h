#pragma once
// Scripted video renderers, registered for a test's lifetime: the mixing renderer (its
// configuration, windowless, aspect-ratio and mixer interfaces, two input pins) and the classic
// renderer (one input pin); both have a window of their own (IVideoWindow). Each logs what it
// is told as "<id> <call>" ("VMR2 SetRenderingMode 2", "VR1 put_Owner 0"), and "<id> freed" when
// its last reference goes. A call whose name is FailingCall answers E_FAIL.
#include <QString>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeFilters.h"
#include "platform/com/ClassRegistry.h"
#include "platform/dshow/Video.h"

inline std::string HexText(LONG Value) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "$%X", static_cast<unsigned>(Value));
  return Text;
}

template <typename... Extra>
class TFakeRenderer : public TComObject<IBaseFilter, IVideoWindow, Extra...> {
public:
  TFakeRenderer(TCallLog& ALog, std::string AId, int PinCount)
      : Log(ALog), Id(std::move(AId)), FPins(MakeFilter(ALog, Id)) {
    for (int Index = 0; Index < PinCount; ++Index) FPins->AddPin("in" + std::to_string(Index), PINDIR_INPUT);
  }
  ~TFakeRenderer() override {
    Log.Add(Id + " freed");
    if (OnFreed) OnFreed();
  }

  // --- IBaseFilter
  HRESULT Stop() override { return Call("Stop"); }
  HRESULT Pause() override { return S_OK; }
  HRESULT Run(REFERENCE_TIME) override { return S_OK; }
  HRESULT GetState(DWORD, FILTER_STATE* State) override {
    *State = State_Stopped;
    return S_OK;
  }
  // Pins disconnect as "Disconnect <id>.in<n>".
  HRESULT EnumPins(IEnumPins** Enum) override { return FPins->EnumPins(Enum); }
  HRESULT FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  HRESULT QueryFilterInfo(FILTER_INFO* Info) override { return FPins->QueryFilterInfo(Info); }
  HRESULT JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return S_OK; }

  // --- IVideoWindow; handles are logged as numbers
  HRESULT put_Caption(LPCWSTR Caption) override { return Call("put_Caption " + QString::fromUtf16(Caption).toStdString()); }
  HRESULT put_MessageDrain(OAHWND Drain) override { return Call("put_MessageDrain " + std::to_string(Drain)); }
  HRESULT put_Owner(OAHWND Owner) override { return Call("put_Owner " + std::to_string(Owner)); }
  HRESULT put_WindowStyle(LONG Style) override { return Call("put_WindowStyle " + HexText(Style)); }
  HRESULT put_WindowStyleEx(LONG ExStyle) override { return Call("put_WindowStyleEx " + HexText(ExStyle)); }
  HRESULT put_Visible(LONG Visible) override { return Call("put_Visible " + std::to_string(Visible)); }
  HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) override {
    return Call("SetWindowPosition " + std::to_string(Left) + "," + std::to_string(Top) + "," + std::to_string(Width) + "," +
                std::to_string(Height));
  }

  TCallLog& Log;
  const std::string Id;
  std::string FailingCall;
  std::function<void()> OnFreed;

protected:
  // Logs the call; E_FAIL when its name (the first word) is FailingCall.
  HRESULT Call(const std::string& What) {
    Log.Add(Id + " " + What);
    return What.substr(0, What.find(' ')) == FailingCall ? E_FAIL : S_OK;
  }

private:
  ComPtr<TFakeFilter> FPins;  // holds the pins
};

class TFakeVideoRenderer : public TFakeRenderer<> {
public:
  TFakeVideoRenderer(TCallLog& ALog, std::string AId) : TFakeRenderer(ALog, std::move(AId), 1) {}
};

class TFakeVMR9
    : public TFakeRenderer<IVMRFilterConfig9, IVMRWindowlessControl9, IVMRAspectRatioControl9, IVMRMixerControl9> {
public:
  TFakeVMR9(TCallLog& ALog, std::string AId) : TFakeRenderer(ALog, std::move(AId), 2) {}

  // --- IVMRFilterConfig9
  HRESULT SetNumberOfStreams(DWORD Count) override {
    Streams = Count;
    return Call("SetNumberOfStreams " + std::to_string(Count));
  }
  HRESULT GetNumberOfStreams(DWORD* Count) override {
    *Count = Streams;
    return Call("GetNumberOfStreams");
  }
  HRESULT SetRenderingPrefs(DWORD Flags) override {
    Prefs = Flags;
    return Call("SetRenderingPrefs " + std::to_string(Flags));
  }
  HRESULT GetRenderingPrefs(DWORD* Flags) override {
    *Flags = Prefs | ExtraPrefs;
    return Call("GetRenderingPrefs");
  }
  HRESULT SetRenderingMode(DWORD Mode) override { return Call("SetRenderingMode " + std::to_string(Mode)); }
  HRESULT GetRenderingMode(DWORD*) override { return E_NOTIMPL; }

  // --- IVMRWindowlessControl9
  HRESULT SetVideoClippingWindow(OAHWND Window) override { return Call("SetVideoClippingWindow " + std::to_string(Window)); }
  HRESULT SetVideoPosition(const RECT* Source, const RECT* D) override {
    return Call(std::string("SetVideoPosition ") + (Source ? "source " : "") + std::to_string(D->left) + "," +
                std::to_string(D->top) + "," + std::to_string(D->right) + "," + std::to_string(D->bottom));
  }
  HRESULT GetVideoPosition(RECT*, RECT*) override { return E_NOTIMPL; }
  HRESULT GetCurrentImage(std::uint8_t**, LONG*, LONG*) override { return E_NOTIMPL; }

  // --- IVMRAspectRatioControl9
  HRESULT SetAspectRatioMode(DWORD Mode) override { return Call("SetAspectRatioMode " + std::to_string(Mode)); }
  HRESULT GetAspectRatioMode(DWORD*) override { return E_NOTIMPL; }

  // --- IVMRMixerControl9: not used by the window; the video entry mixes its overlay with it
  HRESULT SetAlpha(DWORD Stream, float Alpha) override { return Call("SetAlpha " + std::to_string(Stream) + " " + Text(Alpha)); }
  HRESULT GetAlpha(DWORD, float*) override { return E_NOTIMPL; }
  HRESULT SetZOrder(DWORD Stream, DWORD Z) override {
    return Call("SetZOrder " + std::to_string(Stream) + " " + std::to_string(Z));
  }
  HRESULT GetZOrder(DWORD, DWORD*) override { return E_NOTIMPL; }
  HRESULT SetOutputRect(DWORD Stream, const VMR9NormalizedRect* R) override {
    return Call("SetOutputRect " + std::to_string(Stream) + " " + Text(R->left) + "," + Text(R->top) + "," +
                Text(R->right) + "," + Text(R->bottom));
  }
  HRESULT GetOutputRect(DWORD, VMR9NormalizedRect*) override { return E_NOTIMPL; }

  static std::string Text(float V) {
    char B[32];
    std::snprintf(B, sizeof B, "%g", static_cast<double>(V));
    return B;
  }

  DWORD Streams = 4;
  DWORD Prefs = 0;
  DWORD ExtraPrefs = 0;  // reported on top of what was set
};

// Registers both renderer classes, numbering what each makes ("create VMR1", "create VR1").
// Mixers() holds the mixing renderers alive now, in creation order (freed ones are null).
class TFakeRendererClasses {
public:
  explicit TFakeRendererClasses(TCallLog& ALog) : Log(ALog) {
    Replace(CLSID_VideoMixingRenderer9, [this](REFIID Iid, void** Object) {
      if (!MixingAvailable) return REGDB_E_CLASSNOTREG;
      auto* Mixer = Made<TFakeVMR9>("VMR", FMixers.size());
      const std::size_t Index = FMixers.size();
      FMixers.push_back(Mixer);
      Mixer->OnFreed = [this, Index] { FMixers[Index] = nullptr; };
      if (OnCreateMixer) OnCreateMixer(*Mixer);
      return Mixer->QueryInterface(Iid, Object);
    });
    Replace(CLSID_VideoRenderer, [this](REFIID Iid, void** Object) {
      return Made<TFakeVideoRenderer>("VR", FClassicCount++)->QueryInterface(Iid, Object);
    });
  }
  ~TFakeRendererClasses() {
    for (const auto& [Clsid, Factory] : FPrevious) CoRegisterClass(Clsid, Factory);
  }
  TFakeRendererClasses(const TFakeRendererClasses&) = delete;
  TFakeRendererClasses& operator=(const TFakeRendererClasses&) = delete;

  // The most recent mixing renderer, if it is still alive.
  TFakeVMR9* LatestMixer() const { return FMixers.empty() ? nullptr : FMixers.back(); }

  TCallLog& Log;
  bool MixingAvailable = true;
  std::string FailingCall;                          // handed to every renderer made
  std::function<void(TFakeVMR9&)> OnCreateMixer;  // scripts each new mixing renderer

private:
  template <typename T>
  T* Made(const std::string& Kind, std::size_t Before) {
    auto* Renderer = new T(Log, Kind + std::to_string(Before + 1));
    Renderer->FailingCall = FailingCall;
    Log.Add("create " + Renderer->Id);
    return Renderer;
  }
  void Replace(REFCLSID Clsid, TClassFactory Factory) {
    FPrevious[Clsid] = CoRegisteredClass(Clsid);
    CoRegisterClass(Clsid, std::move(Factory));
  }

  std::vector<TFakeVMR9*> FMixers;  // not owned
  std::size_t FClassicCount = 0;
  std::map<CLSID, TClassFactory> FPrevious;
};
