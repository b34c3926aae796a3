#pragma once
// Painting a renderer's picture into a window of the program's: each time the window paints,
// the renderer composes its picture for the destination rectangle's size, and it is drawn
// there. New frames, from any thread, ask the window to repaint, one request in flight at most.
// Where video is drawn with GL, a GL window over the destination shows the picture instead.
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <atomic>
#include <functional>

#include "platform/gst/GstFrameMixer.h"
#include "platform/gst/GstGlWindow.h"

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

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  QSize TargetSize() const;
  void ShowGl();
  // A widget that fills its background has Qt fill all of it before each paint; while the
  // picture is drawn there, the painter fills only what the picture leaves, and Qt nothing.
  void TakeBackground();
  void ReleaseBackground();

  TCompose FCompose;
  TGstFrameMixer FMixer;
  const bool FPainting;  // there is a display to paint on
  QPointer<QObject> FWindow;
  QPointer<TGstGlWindow> FGl;  // over the window, where GL draws
  QPointer<QWidget> FBackground;  // the window, while its background is painted here
  QRect FDestination;
  std::atomic<bool> FRepaintAsked{false};
};
