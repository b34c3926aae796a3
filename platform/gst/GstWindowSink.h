#pragma once
// The end of our video renderers: clock-synchronised sinks that keep the latest frame, and the
// painting of that frame into a window of the program's, over the destination rectangle, each
// time the window paints. New frames ask the window to repaint.
#include <gst/gst.h>

#include <QImage>
#include <QPaintDevice>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <atomic>
#include <memory>
#include <mutex>

class TGstWindowSink : public QObject {
public:
  struct TStore;  // the latest frame, shared with the sinks' streaming threads

  TGstWindowSink();
  ~TGstWindowSink() override;

  // A new sink feeding this one's frames (floating reference). Any number may be made; each
  // keeps the frames' store alive as long as it lives.
  GstElement* CreateSink();
  // The window painted into (a QObject that is a QPaintDevice, as window handles are here);
  // null stops the painting. User-interface thread.
  void SetWindow(QObject* Window);
  QObject* Window() const { return FWindow; }
  // The window's area the frame covers; empty for its whole client area.
  void SetDestination(const QRect& Destination);
  // The latest frame as a BGRA image of its own; null before the first.
  QImage CurrentFrame() const;
  // Paints the latest frame over the destination rectangle of Device. In a paint event.
  void Paint(QPaintDevice* Device);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  GstSample* LatestSample() const;  // with a reference for the caller, or null

  const bool FPainting;  // there is a display to paint on
  std::shared_ptr<TStore> FStore;
  QPointer<QObject> FWindow;
  QRect FDestination;
};
