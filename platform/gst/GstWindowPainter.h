#pragma once
// Painting a renderer's picture into a window: each time the window paints, the renderer
// composes its picture for the destination rectangle's size in device pixels, and it is drawn
// there pixel for pixel. New frames, from any thread, ask the window to repaint, one request in
// flight at most. Where video is drawn with GL, a GL window over the destination shows the
// picture instead. The window is a window of our own (a QWindow) or one of the program's that
// offers itself as an IVideoSurface.
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <atomic>
#include <functional>

#include "platform/gst/GstFrameMixer.h"
#include "platform/gst/GstGlWindow.h"
#include "platform/win/VideoSurface.h"

class TGstWindowPainter : public QObject {
public:
  // The renderer's picture for an output of Size. User-interface thread.
  using TCompose = std::function<TGstPicture(const QSize& Size)>;

  explicit TGstWindowPainter(TCompose Compose);
  ~TGstWindowPainter() override;

  // The window painted into (a QObject that is a QPaintDevice, as window handles are here),
  // through its paint events; null stops the painting. User-interface thread.
  void SetWindow(QObject* Window);
  QObject* Window() const { return FWindow; }
  // The window's area the picture covers; empty for its whole client area.
  void SetDestination(const QRect& Destination);
  // Asks the window to paint again. Any thread.
  void Repaint();
  // Paints the picture into Device, in a paint event of a window that paints itself.
  void Paint(QPaintDevice* Device);
  // The window as a surface of the program's; null for a window of our own.
  IVideoSurface* Surface() const;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  QSize TargetSize() const;
  void ShowGl();
  // A surface that fills its background fills all of it before each paint; while the picture
  // is drawn there, the painter fills only what the picture leaves, and the surface nothing.
  void TakeBackground();
  void ReleaseBackground();

  TCompose FCompose;
  TGstFrameMixer FMixer;
  const bool FPainting;  // there is a display to paint on
  QPointer<QObject> FWindow;
  QPointer<TGstGlWindow> FGl;  // over the window, where GL draws
  QBrush FBackground;  // the surface's, while its background is painted here
  QRect FDestination;
  std::atomic<bool> FRepaintAsked{false};
};
