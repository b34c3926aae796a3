#include "platform/gst/GstFilter.h"

#include <QString>
#include <vector>

#include "platform/dshow/Control.h"
#include "platform/dshow/ErrorText.h"
#include "platform/com/ComEnumerator.h"
#include "platform/gst/GstPin.h"

namespace {
GQuark FilterQuark() {
  static const GQuark Q = g_quark_from_static_string("vizmora-filter");
  return Q;
}

FILTER_STATE FilterStateOf(GstState State) {
  switch (State) {
    case GST_STATE_PLAYING: return State_Running;
    case GST_STATE_PAUSED: return State_Paused;
    default: return State_Stopped;
  }
}
}  // namespace

TGstFilter::TGstFilter(GstElement* Element) : FElement(GST_ELEMENT(gst_object_ref_sink(Element))) {
  g_object_set_qdata(G_OBJECT(FElement), FilterQuark(), this);
}

TGstFilter::~TGstFilter() {
  g_object_set_qdata(G_OBJECT(FElement), FilterQuark(), nullptr);
  gst_object_unref(FElement);
}

ComPtr<TGstFilter> TGstFilter::Create(GstElement* Element) { return ComPtr<TGstFilter>(new TGstFilter(Element)); }

TGstFilter* TGstFilter::Of(GstElement* Element) {
  return Element ? static_cast<TGstFilter*>(g_object_get_qdata(G_OBJECT(Element), FilterQuark())) : nullptr;
}

TGstFilter* TGstFilter::OfPad(GstPad* Pad) {
  GstElement* Owner = gst_pad_get_parent_element(Pad);
  TGstFilter* Filter = Of(Owner);
  if (Owner) gst_object_unref(Owner);
  return Filter;
}

std::string TGstFilter::Name() const { return QString::fromStdU16String(FName).toStdString(); }

HRESULT TGstFilter::ChangeState(GstState State) {
  return gst_element_set_state(FElement, State) == GST_STATE_CHANGE_FAILURE ? E_FAIL : S_OK;
}

HRESULT TGstFilter::Stop() { return ChangeState(GST_STATE_READY); }
HRESULT TGstFilter::Pause() { return ChangeState(GST_STATE_PAUSED); }
HRESULT TGstFilter::Run(REFERENCE_TIME) { return ChangeState(GST_STATE_PLAYING); }

HRESULT TGstFilter::GetState(DWORD MilliSecsTimeout, FILTER_STATE* State) {
  if (!State) return E_POINTER;
  GstState Current = GST_STATE_NULL, Pending = GST_STATE_VOID_PENDING;
  const GstStateChangeReturn R =
      gst_element_get_state(FElement, &Current, &Pending, GstClockTime(MilliSecsTimeout) * GST_MSECOND);
  *State = FilterStateOf(R == GST_STATE_CHANGE_ASYNC && Pending != GST_STATE_VOID_PENDING ? Pending : Current);
  if (R == GST_STATE_CHANGE_ASYNC) return VFW_S_STATE_INTERMEDIATE;
  return R == GST_STATE_CHANGE_FAILURE ? E_FAIL : S_OK;
}

HRESULT TGstFilter::EnumPins(IEnumPins** Enum) {
  std::vector<ComPtr<IPin>> Pins;
  GstIterator* It = gst_element_iterate_pads(FElement);
  GValue Item = G_VALUE_INIT;
  for (bool Done = false; !Done;) {
    switch (gst_iterator_next(It, &Item)) {
      case GST_ITERATOR_OK:
        Pins.emplace_back(new TGstPin(ComPtr<TGstFilter>(this), GST_PAD(g_value_get_object(&Item))));
        g_value_reset(&Item);
        break;
      case GST_ITERATOR_RESYNC:
        Pins.clear();
        gst_iterator_resync(It);
        break;
      default: Done = true;
    }
  }
  g_value_unset(&Item);
  gst_iterator_free(It);
  return TComEnumerator<IEnumPins, IPin>::Make(std::move(Pins), Enum);
}

HRESULT TGstFilter::FindPin(LPCWSTR Id, IPin** Pin) {
  if (!Id || !Pin) return E_POINTER;
  *Pin = nullptr;
  GstPad* Pad = gst_element_get_static_pad(FElement, QString::fromUtf16(Id).toUtf8().constData());
  if (!Pad) return VFW_E_NOT_FOUND;
  *Pin = new TGstPin(ComPtr<TGstFilter>(this), Pad);
  (*Pin)->AddRef();
  gst_object_unref(Pad);
  return S_OK;
}

HRESULT TGstFilter::QueryFilterInfo(FILTER_INFO* Info) {
  if (!Info) return E_POINTER;
  CopyName(Name(), Info->achName, MAX_FILTER_NAME);
  Info->pGraph = FGraph;
  if (Info->pGraph) Info->pGraph->AddRef();
  return S_OK;
}

HRESULT TGstFilter::JoinFilterGraph(IFilterGraph* Graph, LPCWSTR Name) {
  FGraph = Graph;
  FName = Graph && Name ? std::u16string(Name) : std::u16string();
  return S_OK;
}
