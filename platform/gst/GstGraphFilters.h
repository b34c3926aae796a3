#pragma once
// The filters of one graph: their elements in the graph's pipeline, in the order they were
// added, each under a name of its own. The graph and its renders add and remove them here.
// User-interface thread.
#include <gst/gst.h>

#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/dshow/Filters.h"
#include "platform/gst/GstFilter.h"

class TGstGraphFilters {
public:
  // Owner is the graph the filters join; both it and Pipeline are borrowed.
  TGstGraphFilters(IFilterGraph* Owner, GstElement* Pipeline);
  // Every filter leaves the graph; the pipeline must be in the NULL state by then.
  ~TGstGraphFilters();

  GstElement* Pipeline() const { return FPipeline; }
  // Adds a filter that answers IGstFilter under a unique form of Name and brings it to the
  // pipeline's state, unless its element is locked (whoever added it starts it once linked).
  HRESULT Add(IBaseFilter* Filter, std::u16string Name);
  HRESULT Add(TGstFilter* Filter, const std::string& Name);
  // Unlinks the filter's pins, stops its element and takes it out of the pipeline.
  HRESULT Remove(IBaseFilter* Filter);
  std::vector<ComPtr<IBaseFilter>> Filters() const;
  std::vector<ComPtr<IGstFilter>> GstFilters() const;

private:
  struct TEntry {
    ComPtr<IBaseFilter> Filter;
    ComPtr<IGstFilter> Gst;
  };

  std::u16string UniqueName(std::u16string Name) const;

  IFilterGraph* FOwner;
  GstElement* FPipeline;
  std::vector<TEntry> FFilters;
};

// The name GStreamer knows Element by.
std::string ElementName(GstElement* Element);
