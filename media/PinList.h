#pragma once
// A snapshot of a filter's pins in enumeration order; not refreshed when the filter changes.
#include "media/InterfaceList.h"
#include "platform/dshow/Filters.h"

class TPinList : public TInterfaceList<IPin> {
public:
  // Empty when AFilter is none.
  explicit TPinList(IBaseFilter* AFilter);

  IPin* PinAt(int Index) const { return Items(Index); }

  ComPtr<IBaseFilter> Filter;
};
