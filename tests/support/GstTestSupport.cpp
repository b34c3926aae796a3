#include "support/GstTestSupport.h"

#include <gtest/gtest.h>

#include <QString>
#include <chrono>

#include "platform/com/ClassRegistry.h"
#include "platform/gst/GstFilter.h"
#include "platform/gst/GstPlatform.h"

namespace {
class TGstEnvironment : public ::testing::Environment {
public:
  void SetUp() override { GstPlatformInitialize(); }
};
const auto* const Environment = ::testing::AddGlobalTestEnvironment(new TGstEnvironment);
}  // namespace

ComPtr<IGraphBuilder> NewGraph() {
  ComPtr<IGraphBuilder> Graph;
  CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IGraphBuilder::IID, Graph.ReleaseAndGetVoidAddress());
  return Graph;
}

HRESULT Render(const ComPtr<IGraphBuilder>& Graph, const std::string& Path) {
  return Graph->RenderFile(QString::fromStdString(Path).toStdU16String().c_str(), nullptr);
}

namespace {
// Everything an enumerator hands out, in its order.
template <typename IItem, typename IEnum>
std::vector<ComPtr<IItem>> Enumerated(const ComPtr<IEnum>& Enum) {
  std::vector<ComPtr<IItem>> Result;
  IItem* Item = nullptr;
  while (Enum->Next(1, &Item, nullptr) == S_OK) Result.push_back(ComPtr<IItem>::Attach(Item));
  return Result;
}
}  // namespace

std::vector<ComPtr<IBaseFilter>> FiltersOf(const ComPtr<IGraphBuilder>& Graph) {
  ComPtr<IEnumFilters> Enum;
  Graph->EnumFilters(Enum.ReleaseAndGetAddressOf());
  return Enumerated<IBaseFilter>(Enum);
}

namespace {
std::string NameOf(const ComPtr<IBaseFilter>& Filter) {
  FILTER_INFO Info{};
  Filter->QueryFilterInfo(&Info);
  if (Info.pGraph) Info.pGraph->Release();
  return QString::fromUtf16(Info.achName).toStdString();
}
}  // namespace

std::vector<std::string> FilterNames(const ComPtr<IGraphBuilder>& Graph) {
  std::vector<std::string> Names;
  for (const auto& F : FiltersOf(Graph)) Names.push_back(NameOf(F));
  return Names;
}

std::vector<ComPtr<IBaseFilter>> FiltersNamed(const ComPtr<IGraphBuilder>& Graph, const std::string& Prefix) {
  std::vector<ComPtr<IBaseFilter>> Result;
  for (const auto& F : FiltersOf(Graph))
    if (NameOf(F).rfind(Prefix, 0) == 0) Result.push_back(F);
  return Result;
}

std::vector<ComPtr<IPin>> PinsOf(const ComPtr<IBaseFilter>& Filter) {
  ComPtr<IEnumPins> Enum;
  Filter->EnumPins(Enum.ReleaseAndGetAddressOf());
  return Enumerated<IPin>(Enum);
}

GstElement* ElementOf(const ComPtr<IBaseFilter>& Filter) {
  ComPtr<IGstFilter> Gst;
  return SUCCEEDED(Filter.As(Gst)) ? Gst->Element() : nullptr;
}

bool IsConnected(const ComPtr<IPin>& Pin) {
  ComPtr<IPin> Peer;
  return Pin->ConnectedTo(Peer.ReleaseAndGetAddressOf()) == S_OK;
}

bool WaitForEvent(const ComPtr<IGraphBuilder>& Graph, LONG Code, int Ms, std::vector<LONG>* Seen) {
  const auto Events = As<IMediaEvent>(Graph);
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
  while (std::chrono::steady_clock::now() < End) {
    LONG Event = 0;
    LONG_PTR P1 = 0, P2 = 0;
    if (Events->GetEvent(&Event, &P1, &P2, 50) != S_OK) continue;
    Events->FreeEventParams(Event, P1, P2);
    if (Seen) Seen->push_back(Event);
    if (Event == Code) return true;
  }
  return false;
}

void WaitForState(const ComPtr<IGraphBuilder>& Graph) {
  OAFilterState State = 0;
  As<IMediaControl>(Graph)->GetState(20000, &State);
}

LONGLONG PositionOf(const ComPtr<IGraphBuilder>& Graph) {
  LONGLONG Position = -1;
  As<IMediaSeeking>(Graph)->GetCurrentPosition(&Position);
  return Position;
}

ComPtr<IBaseFilter> AddWindowlessMixer(const ComPtr<IGraphBuilder>& Graph, const char16_t* Name, OAHWND Window) {
  ComPtr<IBaseFilter> Mixer;
  ComPtr<IVMRFilterConfig9> Config;
  ComPtr<IVMRWindowlessControl9> Windowless;
  if (FAILED(CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC_SERVER, IBaseFilter::IID,
                              Mixer.ReleaseAndGetVoidAddress())) ||
      FAILED(Mixer.As(Config)) || FAILED(Config->SetRenderingMode(VMR9Mode_Windowless)) ||
      FAILED(Graph->AddFilter(Mixer.Get(), Name)) || FAILED(Mixer.As(Windowless)) ||
      FAILED(Windowless->SetVideoClippingWindow(Window)))
    return nullptr;
  return Mixer;
}
