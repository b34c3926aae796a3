#pragma once
// Window placement: the show command and the normal (restored) rectangle of a top-level window,
// in screen coordinates of its client area, right and bottom exclusive. A window's handle is
// the address of the QObject that stands for it (HandleOf in Messages.h), which implements
// IPlacedWindow. User-interface thread.
#include <QRect>

#include "platform/win/PlacedWindow.h"
#include "platform/win/WinTypes.h"

using HWND = OAHWND;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};


struct WINDOWPLACEMENT {
  UINT length = 0;  // must be sizeof(WINDOWPLACEMENT)
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};

constexpr UINT SW_HIDE = 0;
constexpr UINT SW_SHOWNORMAL = 1;
constexpr UINT SW_SHOWMINIMIZED = 2;
constexpr UINT SW_SHOWMAXIMIZED = 3;
constexpr UINT SW_SHOWNOACTIVATE = 4;
constexpr UINT SW_SHOW = 5;
constexpr UINT SW_MINIMIZE = 6;
constexpr UINT SW_SHOWMINNOACTIVE = 7;
constexpr UINT SW_SHOWNA = 8;
constexpr UINT SW_RESTORE = 9;

// showCmd answers the window state (SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED).
BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl);
// Sets the normal rectangle without leaving a maximized or minimized state, then carries out
// the show command (SW_HIDE hides, SW_SHOW shows in the current state). A rectangle that shows
// too little of itself on every screen (its monitor is gone) is moved onto the nearest one.
BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl);

// Rect moved (and shrunk where it is larger) to lie wholly within Area.
QRect MovedInside(const QRect& Rect, const QRect& Area);
// Rect as it is when enough of it shows on a screen's available area to take hold of it, else
// moved inside the screen nearest to it.
QRect OnAScreen(const QRect& Rect);
