#pragma once
// The filters of one graph: their elements in the graph's pipeline, in the order they were
// added, each under a name of its own. The graph and its renders add and remove them here, the
// renders on threads of their own; each call is atomic, and Lock holds the list across calls.
#include <gst/gst.h>

#include <mutex>
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
  // Adds a filter the graph made for a file: it goes with its file, never into another graph.
  HRESULT AddOwn(TGstFilter* Filter, const std::string& Name);
  // Unlinks the filter's pins and takes it out of the pipeline. Its element is stopped at once,
  // or, for a filter the graph made, off the calling thread: stopping joins its streaming
  // threads, which may be waiting on a slow disk.
  HRESULT Remove(IBaseFilter* Filter);
  // Removes every filter added from outside (the members'), so that the graph holds only what it
  // made: they may have to be freed on the thread they belong to.
  void RemoveForeign();
  std::vector<ComPtr<IBaseFilter>> Filters() const;
  std::vector<ComPtr<IGstFilter>> GstFilters() const;
  // Holds the list unchanged by others until the lock goes.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(FLock); }

private:
  struct TEntry {
    ComPtr<IBaseFilter> Filter;
    ComPtr<IGstFilter> Gst;
    bool Own = false;  // made by the graph for a file
  };

  HRESULT Add(IBaseFilter* Filter, std::u16string Name, bool Own);

  std::u16string UniqueName(std::u16string Name) const;

  IFilterGraph* FOwner;
  GstElement* FPipeline;
  mutable std::recursive_mutex FLock;  // guards FFilters
  std::vector<TEntry> FFilters;
};

// The name GStreamer knows Element by.
std::string ElementName(GstElement* Element);
