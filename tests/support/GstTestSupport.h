#pragma once
// Helpers of the GStreamer graph tests: a graph made through the class registry, filters by
// name, and waiting for graph events.
#include <gst/gst.h>

#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/dshow/Control.h"
#include "platform/dshow/Filters.h"
#include "platform/dshow/Video.h"

ComPtr<IGraphBuilder> NewGraph();
HRESULT Render(const ComPtr<IGraphBuilder>& Graph, const std::string& Path);
std::vector<ComPtr<IBaseFilter>> FiltersOf(const ComPtr<IGraphBuilder>& Graph);
std::vector<std::string> FilterNames(const ComPtr<IGraphBuilder>& Graph);
std::vector<ComPtr<IPin>> PinsOf(const ComPtr<IBaseFilter>& Filter);
// The element behind a filter of ours (borrowed).
GstElement* ElementOf(const ComPtr<IBaseFilter>& Filter);
// The filters whose name starts with Prefix.
std::vector<ComPtr<IBaseFilter>> FiltersNamed(const ComPtr<IGraphBuilder>& Graph, const std::string& Prefix);
bool IsConnected(const ComPtr<IPin>& Pin);

template <typename I>
ComPtr<I> As(const ComPtr<IGraphBuilder>& Graph) {
  ComPtr<I> Result;
  Graph.As(Result);
  return Result;
}

// Drains events for up to Ms milliseconds; true once Code came (the codes seen go to Seen).
bool WaitForEvent(const ComPtr<IGraphBuilder>& Graph, LONG Code, int Ms, std::vector<LONG>* Seen = nullptr);
// Waits until the graph's state change has completed.
void WaitForState(const ComPtr<IGraphBuilder>& Graph);
LONGLONG PositionOf(const ComPtr<IGraphBuilder>& Graph);
// A mixing renderer added to Graph as Name, windowless and drawing into Window; null where a
// step failed.
ComPtr<IBaseFilter> AddWindowlessMixer(const ComPtr<IGraphBuilder>& Graph, const char16_t* Name, OAHWND Window);
