#include "platform/gst/GstStreamEnds.h"

#include <algorithm>

#include "platform/dshow/EventCodes.h"

TGstStreamEnds::TGstStreamEnds(TGstEventQueue& Queue) : FQueue(Queue) {}

TGstStreamEnds::~TGstStreamEnds() {
  for (const TStream& S : FStreams) Release(S);
}

void TGstStreamEnds::Release(const TStream& S) {
  gst_pad_remove_probe(S.Pad, S.Probe);
  g_signal_handler_disconnect(S.Pad, S.Unlinked);
  gst_object_unref(S.Pad);
}

void TGstStreamEnds::AddEnding(GstPad* Pad) { Add(Pad, false); }

void TGstStreamEnds::AddHeld(GstPad* Pad) { Add(Pad, true); }

void TGstStreamEnds::Add(GstPad* Pad, bool Held) {
  std::lock_guard Guard(FLock);
  TStream S{GST_PAD(gst_object_ref(Pad)), 0, 0, Held};
  const auto Types = GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH);
  S.Probe = gst_pad_add_probe(Pad, Types, &TGstStreamEnds::OnData, this, nullptr);
  S.Unlinked = g_signal_connect(Pad, "unlinked", G_CALLBACK(&TGstStreamEnds::OnUnlinked), this);
  FStreams.push_back(S);
}

void TGstStreamEnds::SetRunning(bool Running) {
  std::lock_guard Guard(FLock);
  FRunning = Running;
  if (Running)
    CompleteIfOnlyShownPictures();
  else
    FReported = false;
}

std::vector<TGstStreamEnds::TStream>::iterator TGstStreamEnds::Find(GstPad* Pad) {
  return std::find_if(FStreams.begin(), FStreams.end(), [&](const TStream& S) { return S.Pad == Pad; });
}

bool TGstStreamEnds::EndingOver() const {
  bool Any = false;
  for (const TStream& S : FStreams) {
    if (S.Held) continue;
    if (!S.Ended) return false;
    Any = true;
  }
  return Any;
}

void TGstStreamEnds::CompleteIfOnlyShownPictures() {
  if (!FRunning || FReported || FStreams.empty()) return;
  if (!std::all_of(FStreams.begin(), FStreams.end(), [](const TStream& S) { return S.Held && S.Shown; })) return;
  FReported = true;
  FQueue.Push(EC_COMPLETE, S_OK, 0);
}

GstPadProbeReturn TGstStreamEnds::OnData(GstPad* Pad, GstPadProbeInfo* Info, gpointer Self) {
  auto* This = static_cast<TGstStreamEnds*>(Self);
  std::lock_guard Guard(This->FLock);
  const auto S = This->Find(Pad);
  if (S == This->FStreams.end()) return GST_PAD_PROBE_OK;
  if (GST_PAD_PROBE_INFO_TYPE(Info) & GST_PAD_PROBE_TYPE_BUFFER) {
    if (!S->Held) return GST_PAD_PROBE_OK;
    if (!S->Shown) {
      S->Shown = true;
      This->CompleteIfOnlyShownPictures();
      return GST_PAD_PROBE_OK;
    }
    if (!This->EndingOver()) return GST_PAD_PROBE_OK;
    // The picture's source sees the end of its stream and sends it on itself.
    gst_buffer_unref(GST_PAD_PROBE_INFO_BUFFER(Info));
    GST_PAD_PROBE_INFO_FLOW_RETURN(Info) = GST_FLOW_EOS;
    return GST_PAD_PROBE_HANDLED;
  }
  switch (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(Info))) {
    case GST_EVENT_EOS: S->Ended = true; break;
    case GST_EVENT_FLUSH_STOP: S->Ended = false; break;  // a seek: the stream goes on
    default: break;
  }
  return GST_PAD_PROBE_OK;
}

void TGstStreamEnds::OnUnlinked(GstPad* Pad, GstPad*, gpointer Self) {
  auto* This = static_cast<TGstStreamEnds*>(Self);
  std::lock_guard Guard(This->FLock);
  const auto It = This->Find(Pad);
  if (It == This->FStreams.end()) return;
  Release(*It);
  This->FStreams.erase(It);
  This->CompleteIfOnlyShownPictures();
}
