#pragma once
// Turns the messages on a pipeline's bus into graph events. The bus handler runs on the
// streaming threads that post them: it only queues events (and, for a lost clock, hands the
// recovery to GStreamer's own thread pool).
#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "platform/com/ComTypes.h"
#include "platform/gst/GstEventQueue.h"

// The failure code for an error GStreamer reports.
HRESULT ResultOfError(const GError* Error);
// An error message's words: its message and, where it adds something, the first line of its
// detail that is not where in GStreamer's sources it was raised.
std::string WordsOfError(GstMessage* Message);

class TGstBusEvents {
public:
  // Installs the handler on Pipeline's bus; Queue must outlive this object.
  TGstBusEvents(GstElement* Pipeline, TGstEventQueue& Queue);
  // Removes the handler; the pipeline must be in the NULL state (no streaming threads left).
  ~TGstBusEvents();

  // A Pause has been asked for: the next completed preroll queues EC_PAUSED.
  void ExpectPaused();
  // The pause completed at once: queues EC_PAUSED if it is still expected.
  void PausedNow();
  void CancelPaused();
  // The graph was told to run (a lost clock is then recovered) or to pause or stop.
  void SetRunning(bool Running) { FRunning = Running; }

  // The words of the first error a filter of the graph reported (KeepError) since ForgetError.
  // Any thread.
  void KeepError(GstMessage* Message);
  std::string LastError();
  void ForgetError();

  // Sees every message before the handler and may claim it by answering true; any thread.
  using TInterceptor = std::function<bool(GstMessage*)>;
  void SetInterceptor(TInterceptor Interceptor);

private:
  static GstBusSyncReply OnMessage(GstBus* Bus, GstMessage* Message, gpointer Self);
  void Handle(GstMessage* Message);
  // Errors of a filter whose pins were disconnected are its broken links, not the graph's.
  bool FromDetachedFilter(GstMessage* Message) const;

  GstElement* FPipeline;
  TGstEventQueue& FQueue;
  std::mutex FInterceptorLock;  // held while the interceptor runs, so clearing it waits for it
  TInterceptor FInterceptor;
  std::atomic<bool> FPauseExpected{false};
  std::atomic<bool> FClockLost{false};
  std::atomic<bool> FRunning{false};
  std::atomic<bool> FBuffering{false};
  std::atomic<LONG> FSegments{0};
  std::mutex FErrorLock;
  std::string FLastError;
};
