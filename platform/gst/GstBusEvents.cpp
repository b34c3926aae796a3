#include "platform/gst/GstBusEvents.h"

#include <regex>
#include <sstream>

#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"
#include "platform/dshow/ReferenceTime.h"
#include "platform/gst/GstFilter.h"

HRESULT ResultOfError(const GError* Error) {
  if (!Error) return E_FAIL;
  if (Error->domain == GST_RESOURCE_ERROR) {
    switch (Error->code) {
      case GST_RESOURCE_ERROR_NOT_FOUND: return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
      case GST_RESOURCE_ERROR_OPEN_READ:
      case GST_RESOURCE_ERROR_NOT_AUTHORIZED: return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
      default: return E_FAIL;
    }
  }
  if (Error->domain == GST_STREAM_ERROR) {
    switch (Error->code) {
      case GST_STREAM_ERROR_TYPE_NOT_FOUND:
      case GST_STREAM_ERROR_WRONG_TYPE: return VFW_E_UNKNOWN_FILE_TYPE;
      case GST_STREAM_ERROR_CODEC_NOT_FOUND: return VFW_E_UNSUPPORTED_STREAM;
      case GST_STREAM_ERROR_FORMAT:
      case GST_STREAM_ERROR_DEMUX:
      case GST_STREAM_ERROR_DECODE:
      case GST_STREAM_ERROR_FAILED: return VFW_E_INVALID_FILE_FORMAT;
      default: return E_FAIL;
    }
  }
  if (Error->domain == GST_CORE_ERROR && Error->code == GST_CORE_ERROR_MISSING_PLUGIN) return VFW_E_UNSUPPORTED_STREAM;
  return E_FAIL;
}

std::string WordsOfError(GstMessage* Message) {
  GError* Error = nullptr;
  gchar* Debug = nullptr;
  gst_message_parse_error(Message, &Error, &Debug);
  std::string Words = Error && Error->message ? Error->message : "";
  // The detail opens with where it was raised: "../gstfilesrc.c(532): gst_file_src_start (): /GstPipeline:...".
  static const std::regex Where(R"(^\S+\.\w+\(\d+\): )");
  std::istringstream Lines(Debug ? Debug : "");
  for (std::string Line; std::getline(Lines, Line);) {
    if (Line.empty() || std::regex_search(Line, Where)) continue;
    if (Line != Words) Words += (Words.empty() ? "" : " (") + Line + (Words.empty() ? "" : ")");
    break;
  }
  g_clear_error(&Error);
  g_free(Debug);
  return Words;
}

TGstBusEvents::TGstBusEvents(GstElement* Pipeline, TGstEventQueue& Queue) : FPipeline(Pipeline), FQueue(Queue) {
  GstBus* Bus = gst_element_get_bus(FPipeline);
  gst_bus_set_sync_handler(Bus, &TGstBusEvents::OnMessage, this, nullptr);
  gst_object_unref(Bus);
}

TGstBusEvents::~TGstBusEvents() {
  GstBus* Bus = gst_element_get_bus(FPipeline);
  gst_bus_set_sync_handler(Bus, nullptr, nullptr, nullptr);
  gst_object_unref(Bus);
}

void TGstBusEvents::ExpectPaused() { FPauseExpected = true; }

void TGstBusEvents::PausedNow() {
  if (FPauseExpected.exchange(false)) FQueue.Push(EC_PAUSED, S_OK);
}

void TGstBusEvents::CancelPaused() { FPauseExpected = false; }

// The first error is the cause: the others follow from it ("Internal data stream error").
void TGstBusEvents::KeepError(GstMessage* Message) {
  std::string Words = WordsOfError(Message);
  std::lock_guard Guard(FErrorLock);
  if (FLastError.empty()) FLastError = std::move(Words);
}

std::string TGstBusEvents::LastError() {
  std::lock_guard Guard(FErrorLock);
  return FLastError;
}

void TGstBusEvents::ForgetError() {
  std::lock_guard Guard(FErrorLock);
  FLastError.clear();
}

void TGstBusEvents::SetInterceptor(TInterceptor Interceptor) {
  std::lock_guard Guard(FInterceptorLock);
  FInterceptor = std::move(Interceptor);
}

// A sync handler that drops a message owns it: each message holds its source, so one left
// alive keeps the pipeline, its bus and the bus's descriptors alive.
GstBusSyncReply TGstBusEvents::OnMessage(GstBus*, GstMessage* Message, gpointer Self) {
  auto* This = static_cast<TGstBusEvents*>(Self);
  bool Claimed = false;
  {
    std::lock_guard Guard(This->FInterceptorLock);
    Claimed = This->FInterceptor && This->FInterceptor(Message);
  }
  if (!Claimed) This->Handle(Message);
  gst_message_unref(Message);
  return GST_BUS_DROP;
}

bool TGstBusEvents::FromDetachedFilter(GstMessage* Message) const {
  GstObject* Object = GST_MESSAGE_SRC(Message) ? GST_OBJECT(gst_object_ref(GST_MESSAGE_SRC(Message))) : nullptr;
  while (Object) {
    GstObject* Parent = gst_object_get_parent(Object);
    if (Parent == GST_OBJECT(FPipeline) || !Parent) {
      const TGstFilter* Filter = GST_IS_ELEMENT(Object) ? TGstFilter::Of(GST_ELEMENT(Object)) : nullptr;
      gst_object_unref(Object);
      if (Parent) gst_object_unref(Parent);
      return Filter && Filter->Detached();
    }
    gst_object_unref(Object);
    Object = Parent;
  }
  return false;
}

void TGstBusEvents::Handle(GstMessage* Message) {
  const bool FromPipeline = GST_MESSAGE_SRC(Message) == GST_OBJECT(FPipeline);
  switch (GST_MESSAGE_TYPE(Message)) {
    case GST_MESSAGE_EOS:
      if (FromPipeline) FQueue.Push(EC_COMPLETE, S_OK, 0);
      break;
    case GST_MESSAGE_ERROR: {
      if (FromDetachedFilter(Message)) break;
      KeepError(Message);
      GError* Error = nullptr;
      gst_message_parse_error(Message, &Error, nullptr);
      FQueue.Push(EC_ERRORABORT, ResultOfError(Error));
      g_clear_error(&Error);
      break;
    }
    case GST_MESSAGE_BUFFERING: {
      gint Percent = 100;
      gst_message_parse_buffering(Message, &Percent);
      if (Percent < 100 && !FBuffering.exchange(true)) FQueue.Push(EC_BUFFERING_DATA, 1);
      if (Percent >= 100 && FBuffering.exchange(false)) FQueue.Push(EC_BUFFERING_DATA, 0);
      break;
    }
    case GST_MESSAGE_STEP_DONE: FQueue.Push(EC_STEP_COMPLETE); break;
    case GST_MESSAGE_SEGMENT_DONE: {
      GstFormat Format = GST_FORMAT_UNDEFINED;
      gint64 Position = 0;
      gst_message_parse_segment_done(Message, &Format, &Position);
      FQueue.PushEndOfSegment(Format == GST_FORMAT_TIME ? Position / NanosecondsPerUnit : 0, FSegments++);
      break;
    }
    case GST_MESSAGE_ASYNC_DONE:
      if (FromPipeline) PausedNow();
      break;
    case GST_MESSAGE_CLOCK_LOST:
      // The pipeline chooses a new clock on its way back to playing; that choice is the change.
      if (FromPipeline && FRunning) {
        FClockLost = true;
        gst_element_call_async(
            FPipeline,
            [](GstElement* Pipeline, gpointer) {
              gst_element_set_state(Pipeline, GST_STATE_PAUSED);
              gst_element_set_state(Pipeline, GST_STATE_PLAYING);
            },
            nullptr, nullptr);
      }
      break;
    case GST_MESSAGE_NEW_CLOCK:
      if (FromPipeline && FClockLost.exchange(false)) FQueue.Push(EC_CLOCK_CHANGED);
      break;
    default: break;
  }
}
