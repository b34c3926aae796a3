#pragma once
// One RenderFile: a source and a decoder for the file, and each decoded stream connected to a
// renderer. It returns when the streams are connected and prerolled, or with the failure code
// that says why not; a render that stops moving fails in bounded time, and one called off
// (Abort) at its next step. A failed render leaves the graph as it was.
#include <gst/gst.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gst/GstBusEvents.h"
#include "platform/gst/GstEventQueue.h"
#include "platform/gst/GstGraphFilters.h"
#include "platform/gst/GstPictureFile.h"
#include "platform/gst/GstRenderDeadline.h"
#include "platform/gst/GstStreamEnds.h"

// What a render works with, all of one graph.
struct TGstRenderTarget {
  TGstGraphFilters& Filters;
  TGstBusEvents& Bus;      // its messages, from this render's elements, end the render on error
  TGstEventQueue& Events;  // a video stream's size and first frame go there
  TGstStreamEnds& Ends;    // every stream connected is followed there
  double Volume;           // linear, for the audio renderers made
};

class TGstFileRenderer {
public:
  TGstFileRenderer(const TGstRenderTarget& Target, std::string Path);
  ~TGstFileRenderer();

  // Any thread; one render of a graph at a time. The graph's filters may change meanwhile only
  // once the render was called off.
  HRESULT Render();
  // Calls the render off: any thread.
  void Abort();

private:
  using TClock = TRenderDeadline::TClock;

  HRESULT CheckFile() const;
  HRESULT Open();
  // Brings a new element to the pipeline's state; a stopped pipeline is paused for it.
  void Start(GstElement* Element);
  HRESULT WaitForStreams();
  HRESULT ConnectStreams();
  HRESULT ConnectStream(GstPad* Pad, GstClockTimeDiff Offset);
  HRESULT ConnectVideo(GstPad* Pad, GstCaps* Caps, GstClockTimeDiff Offset);
  HRESULT WaitForPreroll();
  HRESULT Add(const ComPtr<TGstFilter>& Filter, const std::string& Name);
  void Undo();
  // Stops listening to the decoder, which the graph owns.
  void ForgetDecoder();
  HRESULT Failure();
  // The graph's filters held for a step that changes them; false (and nothing held) when the
  // render was called off or failed meanwhile.
  bool HoldFilters(std::unique_lock<std::recursive_mutex>& Filters);
  // A step of the render is done (any thread); Stalled asks whether the render has to give up.
  void Moved();
  bool Stalled();
  // Streaming threads: the decoder's pads, and the bus messages of this render's elements.
  static void OnPadAdded(GstElement* Decoder, GstPad* Pad, gpointer Self);
  static void OnNoMorePads(GstElement* Decoder, gpointer Self);
  bool Intercept(GstMessage* Message);

  const TGstRenderTarget FTarget;
  const std::string FPath;
  const GstState FResumeState;  // the state asked for before the render, paused at least; a failure goes back to it
  TPictureKind FPicture = TPictureKind::None;
  std::vector<ComPtr<TGstFilter>> FAdded;  // filters this render added, in order
  std::vector<GstElement*> FRenderers;     // elements whose preroll ends the render, with a reference
  GstElement* FDecoder = nullptr;          // with a reference while listened to
  gulong FPadAddedId = 0, FNoMorePadsId = 0;
  bool FPartial = false;

  // Shared with the streaming threads.
  std::mutex FLock;
  std::condition_variable FChanged;
  TRenderDeadline FDeadline;
  std::vector<GstElement*> FOwned;  // elements whose messages belong to this render
  std::vector<std::pair<GstPad*, gulong>> FPads;  // decoded pads, held by a blocking probe
  bool FNoMorePads = false;
  bool FMissingPlugin = false;
  HRESULT FFailure = S_OK;
};
