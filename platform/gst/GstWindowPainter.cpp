#include "platform/gst/GstWindowPainter.h"

#include <QEvent>
#include <QPaintDevice>
#include <QRegion>

#include "platform/gst/GstGlOutput.h"
#include "platform/gst/GstRenderers.h"

TGstWindowPainter::TGstWindowPainter(TCompose Compose) : FCompose(std::move(Compose)), FPainting(HasDisplay()) {}

TGstWindowPainter::~TGstWindowPainter() { SetWindow(nullptr); }

void TGstWindowPainter::SetWindow(QObject* Window) {
  if (Window == FWindow) return;
  if (FWindow) {
    ReleaseBackground();
    FWindow->removeEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
  FWindow = Window;
  FGl = FWindow && FPainting && UseGlOutput() ? TGstGlWindow::Over(FWindow) : nullptr;
  if (FGl) FGl->Place(FDestination);
  if (FWindow) {
    TakeBackground();
    FWindow->installEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
}

void TGstWindowPainter::TakeBackground() {
  auto* Widget = qobject_cast<QWidget*>(FWindow);
  if (!Widget || !FPainting || FGl || !Widget->autoFillBackground() || Widget->testAttribute(Qt::WA_OpaquePaintEvent))
    return;
  Widget->setAttribute(Qt::WA_OpaquePaintEvent);
  FBackground = Widget;
}

void TGstWindowPainter::ReleaseBackground() {
  if (FBackground) FBackground->setAttribute(Qt::WA_OpaquePaintEvent, false);
  FBackground = nullptr;
}

QSize TGstWindowPainter::TargetSize() const {
  if (!FDestination.isEmpty() || !FWindow) return FDestination.size();
  return QSize(FWindow->property("width").toInt(), FWindow->property("height").toInt());
}

void TGstWindowPainter::ShowGl() { FGl->Show(FCompose(TargetSize())); }

void TGstWindowPainter::SetDestination(const QRect& Destination) {
  FDestination = Destination;
  if (FGl) {
    FGl->Place(FDestination);
    ShowGl();
  } else if (FWindow) {
    QMetaObject::invokeMethod(FWindow, "update");
  }
}

void TGstWindowPainter::Repaint() {
  // Without a display nothing paints, and no window is asked to.
  if (!FPainting || FRepaintAsked.exchange(true)) return;
  QMetaObject::invokeMethod(this, [this] {
    FRepaintAsked = false;
    if (FGl) return ShowGl();
    // A widget paints at once, without a second trip through the event loop; a window of our
    // own has no such call and paints on its next update.
    if (FWindow) QMetaObject::invokeMethod(FWindow, FWindow->isWindowType() ? "update" : "repaint");
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
  if (FGl) return;  // the GL window over it shows the picture
  const QRect Whole(0, 0, Device->width(), Device->height());
  const QRect Target = FDestination.isEmpty() ? Whole : FDestination;
  QPainter Painter(Device);
  if (FBackground && FBackground == Device)
    for (const QRect& Part : QRegion(Whole).subtracted(Target))
      Painter.fillRect(Part, FBackground->palette().brush(FBackground->backgroundRole()));
  FMixer.Draw(Painter, Target, FCompose(Target.size()));
}
