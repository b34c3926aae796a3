#pragma once
// What a renderer needs of a window of the program's that it draws into (a windowless
// renderer's clipping window) beyond its paint events. The window, a widget, implements it, so
// the platform draws into it without widgets of its own. User-interface thread.
#include <QBrush>

class QWindow;

class IVideoSurface {
public:
  // The native window the surface is shown in, for a window to be laid over it; null while it
  // has none.
  virtual QWindow* SurfaceWindow() = 0;
  // Take true: the renderer fills what its picture leaves of the surface from now on, with the
  // brush answered, and the surface stops filling its background before each paint (no brush:
  // the surface goes on filling it). Take false: the surface fills it again.
  virtual QBrush TakeBackground(bool Take) = 0;

protected:
  ~IVideoSurface() = default;  // the window is freed by its owner
};
