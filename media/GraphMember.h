#pragma once
// A component whose filter lives in a graph permanently: added when the graph is built or the
// member registers, kept across ClearGraph, removed on deactivation or unregistration.
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/dshow/Filters.h"

enum TMemberOperation { moBeforeAdd = 0, moAfterAdd = 1, moBeforeRemove = 2, moAfterRemove = 3 };

class IGraphMember {
public:
  static constexpr GUID IID = MakeGuid("{887F94DA-29E9-44C6-B48E-1FBF0FB59878}");
  // The filter to keep in the graph; none while the member has no filter.
  virtual ComPtr<IBaseFilter> QueryMemberFilter() = 0;
  // The name under which the filter is added to the graph.
  virtual std::string QueryMemberName() = 0;
  // Told around each addition and removal of the filter; the graph always passes Param 0.
  virtual void MemberNotify(TMemberOperation Operation, LONG Param) = 0;

protected:
  ~IGraphMember() = default;  // the graph does not own its members
};
