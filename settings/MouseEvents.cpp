#include "settings/MouseEvents.h"

#include <QMouseEvent>

TShiftState ShiftStateOf(const QMouseEvent* Event) {
  TShiftState Shift;
  const Qt::KeyboardModifiers Keys = Event->modifiers();
  if (Keys & Qt::ShiftModifier) Shift |= ssShift;
  if (Keys & Qt::AltModifier) Shift |= ssAlt;
  if (Keys & Qt::ControlModifier) Shift |= ssCtrl;
  const Qt::MouseButtons Buttons = Event->buttons();
  if (Buttons & Qt::LeftButton) Shift |= ssLeft;
  if (Buttons & Qt::RightButton) Shift |= ssRight;
  if (Buttons & Qt::MiddleButton) Shift |= ssMiddle;
  if (Event->type() == QEvent::MouseButtonDblClick) Shift |= ssDouble;
  return Shift;
}

TMouseButton MouseButtonOf(const QMouseEvent* Event) {
  switch (Event->button()) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    default: return mbMiddle;
  }
}
