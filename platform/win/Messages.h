#pragma once
// Window messages: a window is a QObject, its handle the object's address. A message posted
// to it arrives as a TWindowMessage event on the thread that owns the object.
#include <QEvent>
#include <QObject>

#include "platform/com/ComTypes.h"

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr UINT WM_APP = 0x8000;

class TWindowMessage : public QEvent {
public:
  TWindowMessage(UINT AMsg, WPARAM AWParam, LPARAM ALParam)
      : QEvent(EventType()), Msg(AMsg), wParam(AWParam), lParam(ALParam) {}
  static QEvent::Type EventType();

  UINT Msg;
  WPARAM wParam;
  LPARAM lParam;
};

inline OAHWND HandleOf(QObject* Window) { return reinterpret_cast<OAHWND>(Window); }
inline QObject* WindowOf(OAHWND Handle) { return reinterpret_cast<QObject*>(Handle); }

// Safe from any thread. The caller guarantees the window outlives the call (a graph stops
// posting before its notification window goes away).
void PostMessageA(OAHWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);
