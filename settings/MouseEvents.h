#pragma once
// The toolkit's mouse event types for controls: shift state, mouse button and the event
// signatures (sender first, coordinates relative to the control).
#include <QFlags>
#include <QObject>

#include "framework/Event.h"

class QMouseEvent;

enum TShiftStateFlag {
  ssShift = 0x01,
  ssAlt = 0x02,
  ssCtrl = 0x04,
  ssLeft = 0x08,
  ssRight = 0x10,
  ssMiddle = 0x20,
  ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = TEvent<QObject*>;
using TMouseMoveEvent = TEvent<QObject*, TShiftState, int, int>;
using TMouseEvent = TEvent<QObject*, TMouseButton, TShiftState, int, int>;

// The modifiers and the buttons held after the event (a release no longer holds its button).
TShiftState ShiftStateOf(const QMouseEvent* Event);
// The button the event is about; buttons beyond the middle one count as middle.
TMouseButton MouseButtonOf(const QMouseEvent* Event);
