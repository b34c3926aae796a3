#include "platform/gst/GstShowClock.h"

#include <gst/net/net.h>

#include <atomic>
#include <algorithm>
#include <charconv>
#include <functional>

namespace {
std::atomic<TGstShowClock*> Installed{nullptr};
std::mutex Pipelines;  // guards every pipeline's TPipelineShow

// The number of Text, whole and within Low..High; -1 otherwise.
int Number(const std::string& Text, int Low, int High) {
  int Value = -1;
  const auto [End, Err] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  return Err == std::errc() && End == Text.data() + Text.size() && Value >= Low && Value <= High ? Value : -1;
}

GstClock* RealtimeClock() {
  return GST_CLOCK(g_object_new(GST_TYPE_SYSTEM_CLOCK, "clock-type", GST_CLOCK_TYPE_REALTIME, "name", "vizmora-show", nullptr));
}

// The clock Source names, sunk; nil with Error set.
GstClock* SourceClock(const std::string& Source, std::string& Description, std::string& Error) {
  if (Source.empty() || Source == "system") {
    Description = "this machine's realtime clock";
    return GST_CLOCK(gst_object_ref_sink(RealtimeClock()));
  }
  if (Source == "ptp" || Source.rfind("ptp:", 0) == 0) {
    const int Domain = Source == "ptp" ? 0 : Number(Source.substr(4), 0, 255);
    if (Domain < 0) {
      Error = "--sync-clock ptp:DOMAIN needs a domain from 0 to 255, not \"" + Source.substr(4) + "\"";
      return nullptr;
    }
    if (!gst_ptp_init(GST_PTP_CLOCK_ID_NONE, nullptr)) {
      Error = "PTP could not start: GStreamer's gst-ptp-helper needs the privileges to use ports 319 and 320 "
              "(installed setuid root or with CAP_NET_BIND_SERVICE and CAP_NET_ADMIN)";
      return nullptr;
    }
    Description = "the PTP clock of domain " + std::to_string(Domain);
    return GST_CLOCK(gst_object_ref_sink(gst_ptp_clock_new("vizmora-show", static_cast<guint>(Domain))));
  }
  const auto Colon = Source.rfind(':');
  const int Port = Colon == std::string::npos ? -1 : Number(Source.substr(Colon + 1), 1, 65535);
  if (Colon == 0 || Port < 0) {
    Error = "--sync-clock needs system, ptp[:DOMAIN] or HOST:PORT, not \"" + Source + "\"";
    return nullptr;
  }
  const std::string Host = Source.substr(0, Colon);
  Description = "the clock published at " + Source;
  return GST_CLOCK(gst_object_ref_sink(gst_net_client_clock_new("vizmora-show", Host.c_str(), Port, 0)));
}
}  // namespace

TGstShowClock::TGstShowClock(GstClock* AClock, std::string ADescription)
    : FClock(AClock), FDescription(std::move(ADescription)) {}

std::unique_ptr<TGstShowClock> TGstShowClock::Make(const std::string& Source, const std::string& Serve, std::string& Error) {
  if (Installed) {
    Error = "there is a show clock already";
    return nullptr;
  }
  std::string Description;
  GstClock* Clock = SourceClock(Source, Description, Error);
  if (!Clock) return nullptr;
  std::unique_ptr<TGstShowClock> Made(new TGstShowClock(Clock, Description));
  if (!Serve.empty()) {
    const auto Colon = Serve.rfind(':');
    const std::string Address = Colon == std::string::npos ? "" : Serve.substr(0, Colon);
    const int Port = Number(Colon == std::string::npos ? Serve : Serve.substr(Colon + 1), 0, 65535);
    if (Port < 0) {
      Error = "--sync-serve needs [ADDR:]PORT, not \"" + Serve + "\"";
      return nullptr;
    }
    GstNetTimeProvider* Provider = gst_net_time_provider_new(Clock, Address.empty() ? nullptr : Address.c_str(), Port);
    if (!Provider) {
      Error = "the show clock cannot be published at " + Serve + " (the port may be in use)";
      return nullptr;
    }
    Made->FProvider = GST_OBJECT(Provider);
    gint Bound = 0;
    g_object_get(Provider, "port", &Bound, nullptr);
    const_cast<std::string&>(Made->FDescription) += ", published on port " + std::to_string(Bound);
  }
  Installed = Made.get();
  return Made;
}

TGstShowClock::~TGstShowClock() {
  Installed = nullptr;
  if (FProvider) gst_object_unref(FProvider);
  gst_object_unref(FClock);
}

bool TGstShowClock::WaitForSync(int TimeoutMs) {
  return gst_clock_wait_for_sync(FClock, GstClockTime(TimeoutMs) * GST_MSECOND);
}

std::int64_t TGstShowClock::Now() { return static_cast<std::int64_t>(gst_clock_get_time(FClock)); }

void TGstShowClock::SetEntryStart(std::int64_t StartNs, std::int64_t PositionNs) {
  std::lock_guard Hold(FLock);
  FStart = StartNs;
  FPosition = PositionNs;
}

void TGstShowClock::EntryStart(std::int64_t& StartNs, std::int64_t& PositionNs) {
  std::lock_guard Hold(FLock);
  StartNs = FStart;
  PositionNs = FPosition;
}

namespace {
// What the show clock knows of one pipeline, under Pipelines: its entry start while it runs,
// and the report of a first frame that passed before (a graph prepared ahead prerolls before
// its entry's start is known).
struct TPipelineShow {
  bool Runs = false;
  std::int64_t Start = 0;
  std::int64_t PendingRunning = 0;
  std::function<void(std::int64_t)> Pending;
};

TPipelineShow& ShowOf(GstElement* Pipeline) {
  static const GQuark Key = g_quark_from_static_string("vizmora-show");
  auto* Show = static_cast<TPipelineShow*>(g_object_get_qdata(G_OBJECT(Pipeline), Key));
  if (!Show) {
    Show = new TPipelineShow;
    g_object_set_qdata_full(G_OBJECT(Pipeline), Key, Show, [](gpointer Data) { delete static_cast<TPipelineShow*>(Data); });
  }
  return *Show;
}

// The top-level bin Pad's element belongs to; nil when it belongs to none. Referenced.
GstElement* PipelineOf(GstPad* Pad) {
  GstObject* Object = gst_pad_get_parent(Pad);
  while (Object && GST_OBJECT_PARENT(Object)) {
    GstObject* Parent = gst_object_get_parent(Object);
    gst_object_unref(Object);
    Object = Parent;
  }
  if (Object && !GST_IS_PIPELINE(Object)) {
    gst_object_unref(Object);
    return nullptr;
  }
  return GST_ELEMENT(Object);
}
}  // namespace

void GstShowClockJoin(GstElement* Pipeline) {
  TGstShowClock* Show = Installed;
  if (!Show) return;
  gst_pipeline_use_clock(GST_PIPELINE(Pipeline), Show->Clock());
  gst_element_set_start_time(Pipeline, GST_CLOCK_TIME_NONE);  // the base time is ours to set
}

// A flushing seek leaves the position sought at running time 0, so the base time is the
// moment that position shows.
void GstShowClockRun(GstElement* Pipeline) {
  TGstShowClock* Show = Installed;
  if (!Show) return;
  std::int64_t Start = 0, Position = 0;
  Show->EntryStart(Start, Position);
  if (Position > 0) {
    // A seek is taken once the file is open and prerolled; a join waits for it a moment.
    gst_element_get_state(Pipeline, nullptr, nullptr, 3 * GST_SECOND);
    gst_element_seek_simple(Pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), Position);
  }
  gst_element_set_base_time(Pipeline, static_cast<GstClockTime>(Start));
  std::function<void(std::int64_t)> Report;
  std::int64_t Running = 0;
  {
    std::lock_guard Hold(Pipelines);
    TPipelineShow& Known = ShowOf(Pipeline);
    Known.Runs = true;
    Known.Start = Start;
    Report = std::move(Known.Pending);
    Known.Pending = nullptr;
    Running = Known.PendingRunning;
  }
  if (Report) Report(std::max(Start + Running, Show->Now()));
}

void GstShowClockHalt(GstElement* Pipeline) {
  if (!Installed) return;
  std::lock_guard Hold(Pipelines);
  ShowOf(Pipeline).Runs = false;
}

bool GstShowClockActive() { return Installed != nullptr; }

bool GstShowClockStamp(GstPad* Pad, GstBuffer* Buffer, std::function<void(std::int64_t)> Report) {
  TGstShowClock* Show = Installed;
  if (!Show) return false;
  std::int64_t Running = gst_pad_get_offset(Pad);
  if (GstEvent* Event = gst_pad_get_sticky_event(Pad, GST_EVENT_SEGMENT, 0)) {
    const GstSegment* Segment = nullptr;
    gst_event_parse_segment(Event, &Segment);
    const guint64 Time = gst_segment_to_running_time(Segment, GST_FORMAT_TIME, GST_BUFFER_PTS(Buffer));
    if (Time != GST_CLOCK_TIME_NONE) Running += static_cast<std::int64_t>(Time);
    gst_event_unref(Event);
  }
  GstElement* Pipeline = PipelineOf(Pad);
  if (!Pipeline) return false;
  std::int64_t Start = 0;
  bool Runs = false;
  {
    std::lock_guard Hold(Pipelines);
    TPipelineShow& Known = ShowOf(Pipeline);
    Runs = Known.Runs;
    Start = Known.Start;
    if (!Runs) {
      Known.PendingRunning = Running;
      Known.Pending = std::move(Report);
    }
  }
  gst_object_unref(Pipeline);
  if (Runs) Report(std::max(Start + Running, Show->Now()));
  return true;
}
