#include "ui/PointerHider.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

TPointerHider::TPointerHider(QWidget* AWindow, std::function<bool()> AFullScreen)
    : QObject(AWindow), FWindow(AWindow), FFullScreen(std::move(AFullScreen)) {
  FWindow->setMouseTracking(true);
  for (QWidget* Child : FWindow->findChildren<QWidget*>()) Child->setMouseTracking(true);
  qApp->installEventFilter(this);
  // Runs on while the pointer is still, so a window turning full screen later hides it too.
  FStill.setInterval(StillMs);
  connect(&FStill, &QTimer::timeout, this, [this] { Still(); });
  FStill.start();
}

bool TPointerHider::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::MouseMove) {
    auto* Widget = qobject_cast<QWidget*>(Watched);
    if (Widget && Widget->window() == FWindow) {
      if (FHidden) FWindow->unsetCursor();
      FHidden = false;
      FStill.start();
    }
  }
  return QObject::eventFilter(Watched, Event);
}

void TPointerHider::Still() {
  if (FHidden || !FFullScreen()) return;
  FWindow->setCursor(Qt::BlankCursor);
  FHidden = true;
}
