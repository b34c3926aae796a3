#pragma once
// A snapshot of a graph's filters in enumeration order; not refreshed when the graph changes.
#include "media/InterfaceList.h"
#include "platform/dshow/Filters.h"

class TFilterList : public TInterfaceList<IBaseFilter> {
public:
  // Empty when AGraph is none.
  explicit TFilterList(IFilterGraph* AGraph);

  IBaseFilter* FilterAt(int Index) const { return Items(Index); }
  // Removes the first entry that is the same reference as Filter; its former index, or -1.
  int Exclude(IBaseFilter* Filter) { return Remove(Filter); }

  ComPtr<IFilterGraph> Graph;
};
