#pragma once
// Running, seeking, audio level and the event queue of a filter graph.
#include "platform/com/ComTypes.h"
#include "platform/dshow/Filters.h"

struct IMediaControl : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A868B1-0AD4-11CE-B03A-0020AF0BA770}");
  // Each answers S_FALSE while the transition is still under way.
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
  // State_Stopped, State_Paused or State_Running; VFW_S_STATE_INTERMEDIATE while changing.
  virtual HRESULT GetState(LONG MsTimeout, OAFilterState* State) = 0;
};

constexpr DWORD AM_SEEKING_NoPositioning = 0;
constexpr DWORD AM_SEEKING_AbsolutePositioning = 1;

struct IMediaSeeking : IUnknown {
  static constexpr GUID IID = MakeGuid("{36B73880-C2C8-11CF-8B46-00805F6CEF60}");
  // All times in 100-ns units.
  virtual HRESULT GetDuration(LONGLONG* Duration) = 0;
  virtual HRESULT GetCurrentPosition(LONGLONG* Current) = 0;
  virtual HRESULT GetStopPosition(LONGLONG* Stop) = 0;
  virtual HRESULT SetPositions(LONGLONG* Current, DWORD CurrentFlags, LONGLONG* Stop, DWORD StopFlags) = 0;
};

struct IBasicAudio : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A868B3-0AD4-11CE-B03A-0020AF0BA770}");
  // Hundredths of a decibel: 0 is full volume, -10000 silence.
  virtual HRESULT put_Volume(LONG Volume) = 0;
  virtual HRESULT get_Volume(LONG* Volume) = 0;
};

struct IMediaEvent : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A868B6-0AD4-11CE-B03A-0020AF0BA770}");
  // S_OK with the next event; E_ABORT when the queue is empty after the timeout.
  virtual HRESULT GetEvent(LONG* EventCode, LONG_PTR* Param1, LONG_PTR* Param2, LONG MsTimeout) = 0;
  // Releases what the parameters of an event refer to (strings, 64-bit values, interfaces).
  virtual HRESULT FreeEventParams(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) = 0;
};

// Where a graph's filters queue their events for the graph's owner; any thread.
struct IMediaEventSink : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A868A2-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT Notify(LONG EventCode, LONG_PTR Param1, LONG_PTR Param2) = 0;
};

struct IMediaEventEx : IMediaEvent {
  static constexpr GUID IID = MakeGuid("{56A868C0-0AD4-11CE-B03A-0020AF0BA770}");
  // The graph posts message Msg with lParam = Instance to Window whenever events are queued;
  // it may post from any thread (see platform/win/Messages.h).
  virtual HRESULT SetNotifyWindow(OAHWND Window, LONG Msg, LONG_PTR Instance) = 0;
  // 0: notifications on; 1 (AM_MEDIAEVENT_NONOTIFY): off.
  virtual HRESULT SetNotifyFlags(LONG Flags) = 0;
  virtual HRESULT GetNotifyFlags(LONG* Flags) = 0;
};

constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;
