#include "platform/gst/GstWindowPainter.h"

#include <QEvent>
#include <QPaintDevice>
#include <QRegion>
#include <QWindow>
#include <cmath>

#include "platform/gst/GstGlOutput.h"
#include "platform/gst/GstRenderers.h"

namespace {
// Rect, in units Ratio times smaller than the device's pixels, in those pixels.
QRect InPixels(const QRect& Rect, qreal Ratio) {
  const auto Pixel = [Ratio](int At) { return int(std::lround(At * Ratio)); };
  return QRect(QPoint(Pixel(Rect.left()), Pixel(Rect.top())),
               QPoint(Pixel(Rect.left() + Rect.width()) - 1, Pixel(Rect.top() + Rect.height()) - 1));
}
}  // namespace

TGstWindowPainter::TGstWindowPainter(TCompose Compose) : FCompose(std::move(Compose)), FPainting(HasDisplay()) {}

TGstWindowPainter::~TGstWindowPainter() { SetWindow(nullptr); }

IVideoSurface* TGstWindowPainter::Surface() const { return dynamic_cast<IVideoSurface*>(FWindow.data()); }

void TGstWindowPainter::SetWindow(QObject* Window) {
  if (Window == FWindow) return;
  if (FWindow) {
    ReleaseBackground();
    FWindow->removeEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
  FWindow = Window;
  FGl = nullptr;
  if (FWindow && FPainting && UseGlOutput()) {
    QWindow* Native = qobject_cast<QWindow*>(FWindow);
    if (IVideoSurface* Own = Surface()) Native = Own->SurfaceWindow();
    if (Native) FGl = TGstGlWindow::Over(Native);
  }
  if (FGl) FGl->Place(FDestination);
  if (FWindow) {
    TakeBackground();
    FWindow->installEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
}

void TGstWindowPainter::TakeBackground() {
  if (IVideoSurface* Own = Surface(); Own && FPainting && !FGl) FBackground = Own->TakeBackground(true);
}

void TGstWindowPainter::ReleaseBackground() {
  if (FBackground.style() != Qt::NoBrush)
    if (IVideoSurface* Own = Surface()) Own->TakeBackground(false);
  FBackground = QBrush();
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
  if (FBackground.style() != Qt::NoBrush)
    for (const QRect& Part : QRegion(Whole).subtracted(Target)) Painter.fillRect(Part, FBackground);
  // On a high-density screen the picture is composed in the device's pixels and drawn pixel for
  // pixel: the painter counts in them from here on.
  const qreal Ratio = Device->devicePixelRatio();
  Painter.scale(1 / Ratio, 1 / Ratio);
  const QRect Pixels = InPixels(Target, Ratio);
  FMixer.Draw(Painter, Pixels, FCompose(Pixels.size()));
}
