#include "platform/win/WindowPlacement.h"

#include <QWidget>

namespace {
QWidget* TopLevel(HWND Handle) {
  auto* Widget = qobject_cast<QWidget*>(reinterpret_cast<QObject*>(Handle));
  return Widget && Widget->isWindow() ? Widget : nullptr;
}

constexpr Qt::WindowStates Restorable = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
}  // namespace

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  QWidget* Window = TopLevel(hWnd);
  if (!Window || !lpwndpl || lpwndpl->length != sizeof(WINDOWPLACEMENT)) return FALSE;
  QRect Normal = Window->normalGeometry();
  if (!Normal.isValid()) Normal = Window->geometry();
  const Qt::WindowStates State = Window->windowState();
  lpwndpl->flags = 0;
  lpwndpl->showCmd = State & Qt::WindowMinimized                              ? SW_SHOWMINIMIZED
                     : State & (Qt::WindowMaximized | Qt::WindowFullScreen) ? SW_SHOWMAXIMIZED
                                                                             : SW_SHOWNORMAL;
  lpwndpl->ptMinPosition = POINT{-1, -1};
  lpwndpl->ptMaxPosition = POINT{-1, -1};
  lpwndpl->rcNormalPosition = RECT{Normal.x(), Normal.y(), Normal.x() + Normal.width(), Normal.y() + Normal.height()};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl) {
  QWidget* Window = TopLevel(hWnd);
  if (!Window || !lpwndpl || lpwndpl->length != sizeof(WINDOWPLACEMENT)) return FALSE;
  const RECT& R = lpwndpl->rcNormalPosition;
  const QRect Normal(R.left, R.top, R.right - R.left, R.bottom - R.top);
  // Qt keeps the normal geometry of a maximized window to itself: leave the state, set the
  // geometry, and enter the state again, which records it as the normal geometry.
  const Qt::WindowStates State = Window->windowState();
  if (State & Restorable) {
    Window->setWindowState(State & ~Restorable);
    Window->setGeometry(Normal);
    Window->setWindowState(State);
  } else {
    Window->setGeometry(Normal);
  }
  switch (lpwndpl->showCmd) {
    case SW_HIDE: Window->hide(); break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE: Window->showNormal(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: Window->showMinimized(); break;
    case SW_SHOWMAXIMIZED: Window->showMaximized(); break;
    case SW_SHOW:
    case SW_SHOWNA: Window->show(); break;
    default: break;
  }
  return TRUE;
}
