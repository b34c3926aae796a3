#include "platform/win/Messages.h"

#include <QCoreApplication>

QEvent::Type TWindowMessage::EventType() {
  static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return Type;
}

void PostMessageA(OAHWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (QObject* Target = WindowOf(Window)) QCoreApplication::postEvent(Target, new TWindowMessage(Msg, wParam, lParam));
}
