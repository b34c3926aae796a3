#pragma once
// A top-level window as its placement is read and set. The program's forms implement it, so
// the platform places them without widgets. Rectangles are the client area's, in screen
// coordinates. User-interface thread.
#include <QRect>
#include <Qt>

class IPlacedWindow {
public:
  // The rectangle the window has while neither maximized, minimized nor full screen.
  virtual QRect NormalGeometry() const = 0;
  // Sets it; a maximized or minimized window stays so and comes back to it when restored.
  virtual void SetNormalGeometry(const QRect& Rect) = 0;
  // Maximized or minimized (or neither), as the window is, or will be once back from full screen.
  virtual Qt::WindowStates PlacementStates() const = 0;
  // Enters the states (a full-screen window: those it comes back to) and shows the window.
  virtual void ShowInStates(Qt::WindowStates States) = 0;
  virtual void SetShown(bool Shown) = 0;

protected:
  ~IPlacedWindow() = default;  // the window is freed by its owner
};
