#include "platform/win/WindowPlacement.h"

#include <QGuiApplication>
#include <QLineF>
#include <QScreen>
#include <algorithm>
#include <limits>

#include "platform/win/Messages.h"

namespace {
IPlacedWindow* PlacedWindow(HWND Handle) { return dynamic_cast<IPlacedWindow*>(WindowOf(Handle)); }

// How much of a window must show on a screen to be taken hold of: its title's width, roughly.
constexpr int GripWidth = 100;
constexpr int GripHeight = 50;

// How far Point lies from Area: 0 inside it.
double Distance(const QRect& Area, const QPoint& Point) {
  const QPoint Nearest(std::clamp(Point.x(), Area.left(), Area.right()), std::clamp(Point.y(), Area.top(), Area.bottom()));
  return QLineF(Point, Nearest).length();
}
}  // namespace

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  const IPlacedWindow* Window = PlacedWindow(hWnd);
  if (!Window || !lpwndpl || lpwndpl->length != sizeof(WINDOWPLACEMENT)) return FALSE;
  const QRect Normal = Window->NormalGeometry();
  const Qt::WindowStates State = Window->PlacementStates();
  lpwndpl->flags = 0;
  lpwndpl->showCmd = State & Qt::WindowMinimized   ? SW_SHOWMINIMIZED
                     : State & Qt::WindowMaximized ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
  lpwndpl->ptMinPosition = POINT{-1, -1};
  lpwndpl->ptMaxPosition = POINT{-1, -1};
  lpwndpl->rcNormalPosition = RECT{Normal.x(), Normal.y(), Normal.x() + Normal.width(), Normal.y() + Normal.height()};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl) {
  IPlacedWindow* Window = PlacedWindow(hWnd);
  if (!Window || !lpwndpl || lpwndpl->length != sizeof(WINDOWPLACEMENT)) return FALSE;
  const RECT& R = lpwndpl->rcNormalPosition;
  Window->SetNormalGeometry(OnAScreen(QRect(R.left, R.top, R.right - R.left, R.bottom - R.top)));
  switch (lpwndpl->showCmd) {
    case SW_HIDE: Window->SetShown(false); break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE: Window->ShowInStates(Qt::WindowNoState); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: Window->ShowInStates(Qt::WindowMinimized); break;
    case SW_SHOWMAXIMIZED: Window->ShowInStates(Qt::WindowMaximized); break;
    case SW_SHOW:
    case SW_SHOWNA: Window->SetShown(true); break;
    default: break;
  }
  return TRUE;
}

QRect MovedInside(const QRect& Rect, const QRect& Area) {
  const QSize Size = Rect.size().boundedTo(Area.size());
  const int X = std::clamp(Rect.x(), Area.left(), Area.left() + Area.width() - Size.width());
  const int Y = std::clamp(Rect.y(), Area.top(), Area.top() + Area.height() - Size.height());
  return QRect(QPoint(X, Y), Size);
}

QRect OnAScreen(const QRect& Rect) {
  const QSize Grip(std::min(Rect.width(), GripWidth), std::min(Rect.height(), GripHeight));
  const QScreen* Nearest = nullptr;
  double Closest = std::numeric_limits<double>::max();
  for (const QScreen* Screen : QGuiApplication::screens()) {
    const QRect Area = Screen->availableGeometry();
    const QRect Shown = Area & Rect;
    if (Shown.width() >= Grip.width() && Shown.height() >= Grip.height()) return Rect;
    if (const double D = Distance(Area, Rect.center()); D < Closest) {
      Closest = D;
      Nearest = Screen;
    }
  }
  return Nearest ? MovedInside(Rect, Nearest->availableGeometry()) : Rect;
}
