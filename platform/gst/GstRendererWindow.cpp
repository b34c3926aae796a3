#include "platform/gst/GstRendererWindow.h"

#include <QCoreApplication>
#include <QRasterWindow>
#include <QRect>
#include <QVariant>

#include "platform/gst/GstRenderers.h"
#include "platform/win/WindowClasses.h"

class TGstRendererWindow::TWindow : public QRasterWindow {
public:
  explicit TWindow(TGstWindowPainter& Painter) : FPainter(Painter) {
    SetWindowClass(this, VideoRendererWindowClass);
    setFlag(Qt::FramelessWindowHint);
  }
  QPointer<QObject> Drain;

protected:
  void paintEvent(QPaintEvent*) override { FPainter.Paint(this); }
  bool event(QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        // The window is laid over the drain, so positions mean the same in both.
        if (Drain) return QCoreApplication::sendEvent(Drain, Event);
        break;
      default: break;
    }
    return QRasterWindow::event(Event);
  }

private:
  TGstWindowPainter& FPainter;
};

TGstRendererWindow::TGstRendererWindow(IUnknown& Outer, TGstWindowPainter& Painter) : FOuter(Outer), FPainter(Painter) {
  if (!HasDisplay()) return;
  FWindow = new TWindow(Painter);
  FPainter.SetWindow(FWindow);
}

TGstRendererWindow::~TGstRendererWindow() {
  FPainter.SetWindow(nullptr);
  delete FWindow.data();
}

HRESULT TGstRendererWindow::put_Caption(LPCWSTR Caption) {
  if (!Caption) return E_POINTER;
  if (FWindow) {
    FWindow->setTitle(QString::fromUtf16(Caption));
    FWindow->setObjectName(FWindow->title());
  }
  return S_OK;
}

HRESULT TGstRendererWindow::put_MessageDrain(OAHWND Drain) {
  if (FWindow) FWindow->Drain = reinterpret_cast<QObject*>(Drain);
  return S_OK;
}

HRESULT TGstRendererWindow::put_Owner(OAHWND Owner) {
  FOwner = reinterpret_cast<QObject*>(Owner);
  // Owned, the window is one of its owner's children (so it can be found there); unowned, it
  // stands alone.
  if (FWindow) static_cast<QObject*>(FWindow.data())->setParent(FOwner);
  Place();
  return S_OK;
}

HRESULT TGstRendererWindow::put_WindowStyle(LONG) { return S_OK; }

HRESULT TGstRendererWindow::put_WindowStyleEx(LONG ExStyle) {
  if (FWindow) FWindow->setFlag(Qt::WindowStaysOnTopHint, (ExStyle & WS_EX_TOPMOST) != 0);
  Place();
  return S_OK;
}

HRESULT TGstRendererWindow::put_Visible(LONG Visible) {
  FVisible = Visible != OAFALSE;
  Place();
  return S_OK;
}

HRESULT TGstRendererWindow::SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) {
  if (Width < 0 || Height < 0) return E_INVALIDARG;
  FLeft = Left;
  FTop = Top;
  FWidth = Width;
  FHeight = Height;
  Place();
  return S_OK;
}

void TGstRendererWindow::Place() {
  if (!FWindow || FWidth <= 0 || FHeight <= 0) return;
  // An owner's position is that of its client area on the screen (a top-level form's geometry).
  const QPoint Origin = FOwner ? FOwner->property("geometry").toRect().topLeft() : QPoint();
  FWindow->setGeometry(QRect(Origin + QPoint(FLeft, FTop), QSize(FWidth, FHeight)));
  FWindow->setVisible(FVisible);
  if (FVisible) FWindow->raise();
}
