#pragma once
// Filters of our own kind: a GStreamer element or bin standing as an IBaseFilter, with the
// internal interface through which a GStreamer graph reaches the element.
#include <gst/gst.h>

#include <atomic>
#include <string>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/Filters.h"

// Every filter a GStreamer graph accepts in AddFilter answers IGstFilter.
//
// A renderer with inputs of its own (the mixing renderer: a bin over compositor whose pins are
// its 1..16 sink ghost pads) answers FreeStreamInput. RenderFile asks the filters already in
// the graph, in the order they were added, and links each decoded video stream to the first
// input one of them hands out; only when none does it creates a default video renderer. Such
// a filter is added by its owner with AddFilter like any other, stays in the graph until its
// owner calls RemoveFilter (clearing the graph removes only the other filters), and has its
// pins unlinked by Disconnect (the sink end flushed around the unlink). An input left unlinked
// must stop holding up the filter's mixing (release the compositor pad, or end it), or the
// graph neither prerolls nor completes. Plain filters answer null.
struct IGstFilter : IUnknown {
  static constexpr GUID IID = MakeGuid("{DF7687A2-2451-49A5-82D5-4CBFAD3EDEAD}");
  // The element the graph puts into its pipeline; borrowed, valid as long as the filter.
  virtual GstElement* Element() = 0;
  // A free input pad for a decoded stream of these caps, with a reference for the caller, or
  // null. User-interface thread; the caller links the pad at once, so the next call must hand
  // out another one (a filter may request its pads on demand here).
  virtual GstPad* FreeStreamInput(GstCaps* Caps) = 0;
};

// An element as a filter. Derive from it for filters with more interfaces (the mixing renderer).
class TGstFilter : public TComObject<IBaseFilter, IGstFilter> {
public:
  // Takes ownership of a floating reference (or adds one) to Element.
  static ComPtr<TGstFilter> Create(GstElement* Element);
  // The filter standing for Element, if any; borrowed.
  static TGstFilter* Of(GstElement* Element);

  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT Run(REFERENCE_TIME Start) override;
  HRESULT GetState(DWORD MilliSecsTimeout, FILTER_STATE* State) override;
  HRESULT EnumPins(IEnumPins** Enum) override;
  HRESULT FindPin(LPCWSTR Id, IPin** Pin) override;
  HRESULT QueryFilterInfo(FILTER_INFO* Info) override;
  HRESULT JoinFilterGraph(IFilterGraph* Graph, LPCWSTR Name) override;

  GstElement* Element() override { return FElement; }
  GstPad* FreeStreamInput(GstCaps*) override { return nullptr; }

  // The graph the filter has joined (borrowed, as filters hold no reference to their graph).
  IFilterGraph* Graph() const { return FGraph; }
  std::string Name() const;
  // A pin of the filter was disconnected: its element may still report the broken link as an
  // error, which then aborts nothing. Connecting the filter again clears it. Any thread.
  void SetDetached(bool Detached) { FDetached = Detached; }
  bool Detached() const { return FDetached; }
  // The filter of the element that owns Pad, if any; borrowed.
  static TGstFilter* OfPad(GstPad* Pad);

protected:
  explicit TGstFilter(GstElement* Element);
  ~TGstFilter() override;

private:
  HRESULT ChangeState(GstState State);

  GstElement* FElement;
  std::atomic<IFilterGraph*> FGraph{nullptr};  // a render joins filters on its own thread
  std::u16string FName;
  std::atomic<bool> FDetached{false};
};
