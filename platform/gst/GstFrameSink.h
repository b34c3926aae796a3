#pragma once
// The end of a video stream in our renderers: clock-synchronised sinks that keep the stream's
// latest frame, in the format it was decoded in, for the user-interface thread to draw or hand
// out, and tell a listener of each new one.
#include <gst/gst.h>

#include <functional>
#include <memory>

class TGstFrameSink {
public:
  struct TStore;  // the latest frame, shared with the sinks' streaming threads

  TGstFrameSink();
  // Stops telling the listener; sinks still alive keep the store.
  ~TGstFrameSink();
  TGstFrameSink(const TGstFrameSink&) = delete;
  TGstFrameSink& operator=(const TGstFrameSink&) = delete;

  // A new sink feeding this store (floating reference). Any number may be made in turn.
  GstElement* CreateSink();
  // Called on a streaming thread after each new frame, under the store's lock (it must not
  // read the store); null for none. Once this returns, the previous one is not called again.
  void SetListener(std::function<void()> Listener);
  // The latest frame with a reference for the caller; null before the first.
  GstSample* LatestSample() const;
  // When the latest frame arrived (g_get_monotonic_time); 0 before the first.
  gint64 LatestArrival() const;

private:
  std::shared_ptr<TStore> FStore;
};
