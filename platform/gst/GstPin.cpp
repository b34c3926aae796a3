#include "platform/gst/GstPin.h"

#include <QString>
#include <algorithm>

#include "platform/dshow/ErrorText.h"
#include "platform/dshow/RunningObjectTable.h"

void CopyName(const std::string& Text, WCHAR* Buffer, int Size) {
  const std::u16string Wide = QString::fromStdString(Text).toStdU16String();
  const std::size_t N = std::min<std::size_t>(Wide.size(), std::size_t(Size - 1));
  std::copy_n(Wide.begin(), N, Buffer);
  Buffer[N] = 0;
}

bool UnlinkPad(GstPad* Pad) {
  GstPad* Peer = gst_pad_get_peer(Pad);
  if (!Peer) return false;
  GstPad* Src = GST_PAD_IS_SRC(Pad) ? Pad : Peer;
  GstPad* Sink = GST_PAD_IS_SRC(Pad) ? Peer : Pad;
  const bool Pushing = GST_PAD_MODE(Sink) == GST_PAD_MODE_PUSH;
  if (Pushing) gst_pad_send_event(Sink, gst_event_new_flush_start());
  gst_pad_unlink(Src, Sink);
  if (Pushing) gst_pad_send_event(Sink, gst_event_new_flush_stop(FALSE));
  gst_object_unref(Peer);
  return true;
}

TGstPin::TGstPin(ComPtr<TGstFilter> Filter, GstPad* Pad)
    : FFilter(std::move(Filter)), FPad(GST_PAD(gst_object_ref(Pad))) {}

TGstPin::~TGstPin() { gst_object_unref(FPad); }

HRESULT TGstPin::Disconnect() {
  GstPad* Peer = gst_pad_get_peer(FPad);
  if (!Peer) return S_FALSE;
  FFilter->SetDetached(true);
  if (TGstFilter* Other = TGstFilter::OfPad(Peer)) Other->SetDetached(true);
  gst_object_unref(Peer);
  UnlinkPad(FPad);
  if (IFilterGraph* Graph = FFilter->Graph()) RefreshRunningObject(Graph);
  return S_OK;
}

HRESULT TGstPin::ConnectedTo(IPin** Pin) {
  if (!Pin) return E_POINTER;
  *Pin = nullptr;
  GstPad* Peer = gst_pad_get_peer(FPad);
  if (!Peer) return VFW_E_NOT_CONNECTED;
  if (TGstFilter* Filter = TGstFilter::OfPad(Peer)) {
    *Pin = new TGstPin(ComPtr<TGstFilter>(Filter), Peer);
    (*Pin)->AddRef();
  }
  gst_object_unref(Peer);
  return *Pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT TGstPin::QueryPinInfo(PIN_INFO* Info) {
  if (!Info) return E_POINTER;
  Info->pFilter = FFilter.Get();
  Info->pFilter->AddRef();
  QueryDirection(&Info->dir);
  gchar* Name = gst_pad_get_name(FPad);
  CopyName(Name, Info->achName, MAX_PIN_NAME);
  g_free(Name);
  return S_OK;
}

HRESULT TGstPin::QueryDirection(PIN_DIRECTION* Direction) {
  if (!Direction) return E_POINTER;
  *Direction = GST_PAD_IS_SRC(FPad) ? PINDIR_OUTPUT : PINDIR_INPUT;
  return S_OK;
}
