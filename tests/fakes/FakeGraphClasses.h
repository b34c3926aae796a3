#pragma once
// Registers scripted graph classes for its lifetime: the filter graph, the capture graph
// builder and the DVD graph builder (with its IDvdInfo2). Every object made is kept, so a test
// can script it and read what it was told; the classes registered before come back at the end.
#include <functional>
#include <map>

#include "fakes/FakeFilterGraph.h"
#include "platform/com/ClassRegistry.h"

class TFakeCaptureBuilder : public TComObject<ICaptureGraphBuilder2> {
public:
  explicit TFakeCaptureBuilder(TCallLog& ALog) : Log(ALog) {}
  HRESULT SetFiltergraph(IGraphBuilder* AGraph) override {
    Graph = ComPtr<IGraphBuilder>(AGraph);
    Log.Add("capture SetFiltergraph");
    return S_OK;
  }
  TCallLog& Log;
  ComPtr<IGraphBuilder> Graph;
};

class TFakeDvdInfo : public TComObject<IDvdInfo2> {
public:
  explicit TFakeDvdInfo(TCallLog& ALog) : Log(ALog) {}
  HRESULT GetAudioLanguage(ULONG Stream, LCID* Language) override {
    Log.Add("GetAudioLanguage " + std::to_string(Stream));
    *Language = AudioLanguage;
    return Result;
  }
  HRESULT GetSubpictureLanguage(ULONG Stream, LCID* Language) override {
    Log.Add("GetSubpictureLanguage " + std::to_string(Stream));
    *Language = SubpictureLanguage;
    return Result;
  }
  TCallLog& Log;
  LCID AudioLanguage = 0x0409;
  LCID SubpictureLanguage = 0x0407;
  HRESULT Result = S_OK;
};

// Makes its graph through the registered filter graph class, as the real builder would.
class TFakeDvdBuilder : public TComObject<IDvdGraphBuilder> {
public:
  explicit TFakeDvdBuilder(TCallLog& ALog) : Log(ALog), Info(new TFakeDvdInfo(ALog)) {
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IGraphBuilder::IID, FGraph.ReleaseAndGetVoidAddress());
  }
  HRESULT GetFiltergraph(IGraphBuilder** Graph) override {
    Log.Add("dvd GetFiltergraph");
    if (!FGraph) return E_FAIL;
    FGraph->AddRef();
    *Graph = FGraph.Get();
    return S_OK;
  }
  HRESULT GetDvdInterface(REFIID Iid, void** Object) override { return Info->QueryInterface(Iid, Object); }
  TCallLog& Log;
  ComPtr<TFakeDvdInfo> Info;

private:
  ComPtr<IGraphBuilder> FGraph;
};

class TFakeGraphClasses {
public:
  explicit TFakeGraphClasses(TCallLog& ALog) : Log(ALog) {
    Replace(CLSID_FilterGraph, [this](REFIID Iid, void** Object) {
      Graphs.emplace_back(new TFakeFilterGraph(Log, static_cast<int>(Graphs.size()) + 1));
      Log.Add("create " + Graphs.back()->Id);
      if (OnCreateGraph) OnCreateGraph(*Graphs.back().Get());
      return Graphs.back()->QueryInterface(Iid, Object);
    });
    Replace(CLSID_CaptureGraphBuilder2, [this](REFIID Iid, void** Object) {
      if (!CaptureAvailable) return REGDB_E_CLASSNOTREG;
      Log.Add("create capture builder");
      CaptureBuilders.emplace_back(new TFakeCaptureBuilder(Log));
      return CaptureBuilders.back()->QueryInterface(Iid, Object);
    });
    Replace(CLSID_DvdGraphBuilder, [this](REFIID Iid, void** Object) {
      Log.Add("create dvd builder");
      DvdBuilders.emplace_back(new TFakeDvdBuilder(Log));
      return DvdBuilders.back()->QueryInterface(Iid, Object);
    });
  }
  ~TFakeGraphClasses() {
    for (const auto& [Clsid, Factory] : FPrevious) CoRegisterClass(Clsid, Factory);
  }
  TFakeGraphClasses(const TFakeGraphClasses&) = delete;
  TFakeGraphClasses& operator=(const TFakeGraphClasses&) = delete;

  TFakeFilterGraph* Latest() const { return Graphs.empty() ? nullptr : Graphs.back().Get(); }

  TCallLog& Log;
  bool CaptureAvailable = true;
  std::function<void(TFakeFilterGraph&)> OnCreateGraph;  // scripts each new graph
  std::vector<ComPtr<TFakeFilterGraph>> Graphs;          // in creation order
  std::vector<ComPtr<TFakeCaptureBuilder>> CaptureBuilders;
  std::vector<ComPtr<TFakeDvdBuilder>> DvdBuilders;

private:
  void Replace(REFCLSID Clsid, TClassFactory Factory) {
    FPrevious[Clsid] = CoRegisteredClass(Clsid);
    CoRegisterClass(Clsid, std::move(Factory));
  }
  std::map<CLSID, TClassFactory> FPrevious;
};
