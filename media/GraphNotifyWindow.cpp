#include "media/GraphNotifyWindow.h"

#include "framework/ExceptionReport.h"
#include "platform/win/Messages.h"

bool TGraphNotifyWindow::event(QEvent* Event) {
  if (Event->type() != TWindowMessage::EventType()) return QObject::event(Event);
  const UINT Msg = static_cast<TWindowMessage*>(Event)->Msg;
  if (Msg == WM_GRAPHRENDERED) {
    FRendered();
    return true;
  }
  if (Msg != WM_GRAPHNOTIFY) return QObject::event(Event);
  try {
    FDrain();
  } catch (...) {
    ApplicationHandleException(FGraph);
  }
  return true;
}
