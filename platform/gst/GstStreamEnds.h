#pragma once
// Which streams of a graph have ended, so that pictures held on screen (a still frame, a
// looping animation), which have no end of their own, hold up no completion. A picture mixed
// over a video ends with it: once every stream that ends by itself has ended, the held ones
// end at their next frame, and the graph completes as usual. A graph holding pictures alone
// queues EC_COMPLETE once they are shown while it runs, and they stay on screen.
// A stream is followed from the link of its output to a renderer until that link goes.
#include <gst/gst.h>

#include <mutex>
#include <vector>

#include "platform/gst/GstEventQueue.h"

class TGstStreamEnds {
public:
  // Queue must outlive the streams' data flow.
  explicit TGstStreamEnds(TGstEventQueue& Queue);
  // The pipeline must be in the NULL state by then (no streaming threads left).
  ~TGstStreamEnds();

  // Follows the stream leaving Pad, just linked to its renderer. User-interface thread.
  void AddEnding(GstPad* Pad);
  void AddHeld(GstPad* Pad);
  // The graph was told to run (true), or to pause or stop. User-interface thread.
  void SetRunning(bool Running);

private:
  struct TStream {
    GstPad* Pad;
    gulong Probe, Unlinked;
    bool Held;
    bool Ended = false;  // the end of the stream passed
    bool Shown = false;  // a held stream's first frame passed
  };

  void Add(GstPad* Pad, bool Held);
  // Stops following S: its probe and handler go, and its pad's reference.
  static void Release(const TStream& S);
  // Under FLock.
  std::vector<TStream>::iterator Find(GstPad* Pad);
  bool EndingOver() const;
  void CompleteIfOnlyShownPictures();

  // Streaming threads: the data passing the streams' pads.
  static GstPadProbeReturn OnData(GstPad* Pad, GstPadProbeInfo* Info, gpointer Self);
  // The thread that unlinks.
  static void OnUnlinked(GstPad* Pad, GstPad* Peer, gpointer Self);

  TGstEventQueue& FQueue;
  std::mutex FLock;  // guards everything below
  std::vector<TStream> FStreams;
  bool FRunning = false;
  bool FReported = false;  // pictures alone: completion queued since the graph was told to run
};
