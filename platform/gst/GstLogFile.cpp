#include "platform/gst/GstLogFile.h"

#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace {
// Pipelines with a log, and their descriptors. The log function is never removed (GStreamer
// may still be calling it on another thread), so it keeps to this registry.
struct TLogs {
  std::mutex Lock;
  std::map<const GstObject*, int> Files;
  std::atomic<int> Count{0};
  GstDebugLevel SavedThreshold = GST_LEVEL_NONE;
};

TLogs& Logs() {
  static TLogs* L = new TLogs;  // outlives every streaming thread
  return *L;
}

constexpr GstDebugLevel LogLevel = GST_LEVEL_INFO;

// The outermost GstObject above Object; parents are read without their locks, as the log may
// be written while one of them is held.
const GstObject* TopOf(GObject* Object) {
  if (!Object || !GST_IS_OBJECT(Object)) return nullptr;
  const GstObject* Top = GST_OBJECT_CAST(Object);
  while (GST_OBJECT_PARENT(Top)) Top = GST_OBJECT_PARENT(Top);
  return Top;
}

void WriteAll(int File, const std::string& Line) {
  for (std::size_t Done = 0; Done < Line.size();) {
    const ssize_t N = ::write(File, Line.data() + Done, Line.size() - Done);
    if (N <= 0) return;
    Done += std::size_t(N);
  }
}

void Log(GstDebugCategory* Category, GstDebugLevel Level, const gchar* File, const gchar* Function, gint Line,
         GObject* Object, GstDebugMessage* Message, gpointer) {
  TLogs& L = Logs();
  if (L.Count == 0 || Level > LogLevel) return;
  const GstObject* Top = TopOf(Object);
  if (!Top) return;
  std::lock_guard Guard(L.Lock);
  const auto It = L.Files.find(Top);
  if (It == L.Files.end()) return;
  const char* Text = gst_debug_message_get(Message);
  gchar* Entry = g_strdup_printf("%" GST_TIME_FORMAT " %p %s %s %s:%d:%s:<%s> %s\n",
                                 GST_TIME_ARGS(gst_util_get_timestamp()), g_thread_self(),
                                 gst_debug_level_get_name(Level), gst_debug_category_get_name(Category), File, Line,
                                 Function, GST_OBJECT_NAME(GST_OBJECT_CAST(Object)), Text ? Text : "");
  WriteAll(It->second, Entry);
  g_free(Entry);
}
}  // namespace

void GstLogFileInstall() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    // Raising the threshold for a log file must not flood standard error; a GST_DEBUG set by
    // the user keeps GStreamer's own output.
    if (!g_getenv("GST_DEBUG")) gst_debug_remove_log_function(gst_debug_log_default);
    gst_debug_add_log_function(&Log, nullptr, nullptr);
  });
}

void GstLogFileSet(GstElement* Pipeline, int File) {
  TLogs& L = Logs();
  std::lock_guard Guard(L.Lock);
  const bool Had = L.Files.erase(GST_OBJECT(Pipeline)) > 0;
  if (File > 0) L.Files[GST_OBJECT(Pipeline)] = File;
  const bool Has = File > 0;
  if (Has == Had) return;
  // Messages below the threshold are never made: raise it while any pipeline logs.
  if (Has && L.Count++ == 0) {
    L.SavedThreshold = gst_debug_get_default_threshold();
    gst_debug_set_active(TRUE);
    if (L.SavedThreshold < LogLevel) gst_debug_set_default_threshold(LogLevel);
  } else if (!Has && --L.Count == 0) {
    gst_debug_set_default_threshold(L.SavedThreshold);
  }
}
