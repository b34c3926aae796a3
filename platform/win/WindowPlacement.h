#pragma once
// Window placement over a Qt top-level widget: the show command and the normal (restored)
// rectangle, in screen coordinates of the widget's client area, right and bottom exclusive.
// A window's handle is the address of its QWidget (HandleOf in Messages.h). User-interface thread.
#include "platform/win/WinTypes.h"

using HWND = OAHWND;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
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
// the show command (SW_HIDE hides, SW_SHOW shows in the current state).
BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl);
