#pragma once
// A component whose filter lives in a graph permanently: added when the graph is built or the
// member registers, kept across ClearGraph, removed on deactivation or unregistration.
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/dshow/Filters.h"

// Besides the four around each addition and removal, a member that offers a filter for the graph
// prepared for the next entry (QueryNextMemberFilter) hears: moDropNext, that graph was dropped
// (let its filter go); moRetire, its filter stays in the graph going out, which fades out with
// Param the transition's kind, while the next filter takes its place from moBeforeAdd; moFade,
// the fade's level in thousandths (Param); moRetired, the graph going out is gone.
enum TMemberOperation {
  moBeforeAdd = 0,
  moAfterAdd = 1,
  moBeforeRemove = 2,
  moAfterRemove = 3,
  moDropNext = 4,
  moRetire = 5,
  moFade = 6,
  moRetired = 7
};

class IGraphMember {
public:
  static constexpr GUID IID = MakeGuid("{887F94DA-29E9-44C6-B48E-1FBF0FB59878}");
  // The filter to keep in the graph; none while the member has no filter.
  virtual ComPtr<IBaseFilter> QueryMemberFilter() = 0;
  // The name under which the filter is added to the graph.
  virtual std::string QueryMemberName() = 0;
  // Told around each addition and removal of the filter; the graph always passes Param 0.
  virtual void MemberNotify(TMemberOperation Operation, LONG Param) = 0;
  // The filter for the graph prepared for the next entry, made on the first ask and not shown
  // until moBeforeAdd adopts it; none for a member that cannot have one (no graph is prepared).
  virtual ComPtr<IBaseFilter> QueryNextMemberFilter() { return {}; }

protected:
  ~IGraphMember() = default;  // the graph does not own its members
};
