#include "platform/gst/GstEventQueue.h"

#include <chrono>

#include "platform/dshow/Control.h"
#include "platform/dshow/EventCodes.h"
#include "platform/win/Messages.h"

TGstEventQueue::~TGstEventQueue() {
  for (const TEvent& E : FEvents) FreeParams(E.Code, E.Param1, E.Param2);
}

void TGstEventQueue::Push(LONG Code, LONG_PTR Param1, LONG_PTR Param2) {
  std::lock_guard Guard(FLock);
  FEvents.push_back({Code, Param1, Param2});
  FQueued.notify_all();
  if (FFlags == 0 && FWindow) PostMessageA(FWindow, UINT(FMsg), 0, FInstance);
}

void TGstEventQueue::PushEndOfSegment(LONGLONG StreamTime, LONG Segment) {
  Push(EC_END_OF_SEGMENT, reinterpret_cast<LONG_PTR>(new LONGLONG(StreamTime)), Segment);
}

HRESULT TGstEventQueue::Get(LONG* Code, LONG_PTR* Param1, LONG_PTR* Param2, LONG MsTimeout) {
  if (!Code || !Param1 || !Param2) return E_POINTER;
  std::unique_lock Guard(FLock);
  const auto Ready = [this] { return !FEvents.empty(); };
  if (MsTimeout < 0)
    FQueued.wait(Guard, Ready);
  else
    FQueued.wait_for(Guard, std::chrono::milliseconds(MsTimeout), Ready);
  if (FEvents.empty()) {
    *Code = 0;
    *Param1 = *Param2 = 0;
    return E_ABORT;
  }
  const TEvent E = FEvents.front();
  FEvents.pop_front();
  *Code = E.Code;
  *Param1 = E.Param1;
  *Param2 = E.Param2;
  return S_OK;
}

HRESULT TGstEventQueue::FreeParams(LONG Code, LONG_PTR Param1, LONG_PTR) {
  if (Code == EC_END_OF_SEGMENT) delete reinterpret_cast<LONGLONG*>(Param1);
  return S_OK;
}

HRESULT TGstEventQueue::SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance) {
  std::lock_guard Guard(FLock);
  FWindow = Window;
  FMsg = Msg;
  FInstance = Instance;
  return S_OK;
}

HRESULT TGstEventQueue::SetNotifyFlags(LONG Flags) {
  if (Flags != 0 && Flags != 1) return E_INVALIDARG;
  std::lock_guard Guard(FLock);
  FFlags = Flags;
  return S_OK;
}

LONG TGstEventQueue::NotifyFlags() {
  std::lock_guard Guard(FLock);
  return FFlags;
}
