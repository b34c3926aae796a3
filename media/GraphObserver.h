#pragma once
// A component that sees every graph event and every control step before anybody else.
#include "platform/com/ComTypes.h"

// gcActivation: Param 0 when deactivation begins, 1 when activation has finished; codes 5 and 6
// are never sent.
enum TGraphControl {
  gcPlay = 0,
  gcPause = 1,
  gcStop = 2,
  gcBeforeRender = 3,
  gcAfterRender = 4,
  gcActivation = 7
};

class IGraphObserver {
public:
  static constexpr GUID IID = MakeGuid("{6C0DCD7B-1A98-44EF-A6D5-E23CBC24E620}");
  // Every event taken from the graph's queue; parameters that refer to data are valid during
  // the call only.
  virtual void ObserveGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) = 0;
  virtual void ObserveControl(TGraphControl Code, LONG Param) = 0;

protected:
  ~IGraphObserver() = default;  // the graph does not own its observers
};
