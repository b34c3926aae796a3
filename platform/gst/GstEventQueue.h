#pragma once
// The graph's event queue behind IMediaEventEx: filled from any thread, drained on the
// user-interface thread, with a notification message posted for every event queued.
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/com/ComTypes.h"

class TGstEventQueue {
public:
  ~TGstEventQueue();

  // Any thread: queues the event and, while notifications are on, posts the notify message.
  void Push(LONG Code, LONG_PTR Param1 = 0, LONG_PTR Param2 = 0);
  // EC_END_OF_SEGMENT: param1 refers to a copy of StreamTime, freed in FreeParams.
  void PushEndOfSegment(LONGLONG StreamTime, LONG Segment);

  HRESULT Get(LONG* Code, LONG_PTR* Param1, LONG_PTR* Param2, LONG MsTimeout);
  static HRESULT FreeParams(LONG Code, LONG_PTR Param1, LONG_PTR Param2);

  HRESULT SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance);
  // After SetNotifyFlags(1) returns nothing more is posted.
  HRESULT SetNotifyFlags(LONG Flags);
  LONG NotifyFlags();

private:
  struct TEvent {
    LONG Code;
    LONG_PTR Param1, Param2;
  };

  // Guards everything below; held while posting, so the target cannot change under a post.
  std::mutex FLock;
  std::condition_variable FQueued;
  std::deque<TEvent> FEvents;
  OAHWND FWindow = 0;
  LONG FMsg = 0;
  LONG_PTR FInstance = 0;
  LONG FFlags = 0;
};
