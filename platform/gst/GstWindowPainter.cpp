#include "platform/gst/GstWindowPainter.h"

#include <QEvent>
#include <QPaintDevice>

#include "platform/gst/GstRenderers.h"

TGstWindowPainter::TGstWindowPainter(TCompose Compose) : FCompose(std::move(Compose)), FPainting(HasDisplay()) {}

TGstWindowPainter::~TGstWindowPainter() { SetWindow(nullptr); }

void TGstWindowPainter::SetWindow(QObject* Window) {
  if (Window == FWindow) return;
  if (FWindow) {
    FWindow->removeEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
  FWindow = Window;
  if (FWindow) {
    FWindow->installEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
}

void TGstWindowPainter::SetDestination(const QRect& Destination) {
  FDestination = Destination;
  if (FWindow) QMetaObject::invokeMethod(FWindow, "update");
}

void TGstWindowPainter::Repaint() {
  // Without a display nothing paints, and no window is asked to.
  if (!FPainting || FRepaintAsked.exchange(true)) return;
  QMetaObject::invokeMethod(this, [this] {
    FRepaintAsked = false;
    // A widget paints at once, without a second trip through the event loop; a window of our
    // own has no such call and paints on its next update.
    if (FWindow && !QMetaObject::invokeMethod(FWindow, "repaint")) QMetaObject::invokeMethod(FWindow, "update");
  }, Qt::QueuedConnection);
}

bool TGstWindowPainter::eventFilter(QObject* Watched, QEvent* Event) {
  // The window's background is painted before its paint event reaches the filter; the picture
  // goes over it, and the window's own painting after it. A window of our own paints itself.
  if (Watched == FWindow && Event->type() == QEvent::Paint && !Watched->isWindowType() && FPainting)
    if (auto* Device = dynamic_cast<QPaintDevice*>(Watched)) Paint(Device);
  return false;
}

void TGstWindowPainter::Paint(QPaintDevice* Device) {
  const QRect Target = FDestination.isEmpty() ? QRect(0, 0, Device->width(), Device->height()) : FDestination;
  QPainter Painter(Device);
  FMixer.Draw(Painter, Target, FCompose(Target.size()));
}
