#pragma once
// What both controls add to their Qt base: the application's hint colour swapped for the
// control's own while the mouse is over it, mouse events that follow a left-button capture,
// and the notice of a changed parent colour. UI thread only.
#include <QColor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

#include "settings/MouseEvents.h"

// The background colour of the application's hints (tool tips).
QColor ApplicationHintColor();
void SetApplicationHintColor(const QColor& Color);

// The toolkit's named colours the controls default to.
inline const QColor clNavy{0x00, 0x00, 0x80};
inline const QColor clInfoBk{0xFF, 0xFF, 0xE1};

template <class TBase>
class TControlEx : public TBase {
public:
  explicit TControlEx(QWidget* Parent) : TBase(Parent) {
    this->setMouseTracking(true);  // moves over the control arrive with no button held, too
    if (QWidget* P = this->parentWidget()) FParentColor = P->palette().color(QPalette::Window);
  }
  ~TControlEx() override { RestoreHintColor(); }

  QColor HintColor() const { return FHintColor; }
  void SetHintColor(const QColor& Value) { FHintColor = Value; }

  TNotifyEvent OnMouseEnter;         // after the hint colour has been swapped
  TNotifyEvent OnMouseLeave;         // after the hint colour has been put back
  TNotifyEvent OnParentColorChange;  // after the control has taken over a new parent colour
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  // Raises OnMouseUp once the base has processed the release.
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    OnMouseUp(this, Button, Shift, X, Y);
  }

  void enterEvent(QEnterEvent* Event) override {
    TBase::enterEvent(Event);
    if (!FHintSwapped) FSavedHintColor = ApplicationHintColor();
    FHintSwapped = true;
    SetApplicationHintColor(FHintColor);
    OnMouseEnter(this);
  }

  void leaveEvent(QEvent* Event) override {
    TBase::leaveEvent(Event);
    RestoreHintColor();
    OnMouseLeave(this);
  }

  // Qt hands every event of a press to the pressed widget until all buttons are up. Only a
  // left press holds the mouse here; without it, events outside the control are not ours.
  void mousePressEvent(QMouseEvent* Event) override {
    if (Event->button() == Qt::LeftButton && Inside(Event)) FCaptured = true;
    TBase::mousePressEvent(Event);
    Event->accept();
  }

  void mouseMoveEvent(QMouseEvent* Event) override {
    TBase::mouseMoveEvent(Event);
    Event->accept();
    if (Receives(Event)) OnMouseMove(this, ShiftStateOf(Event), X(Event), Y(Event));
  }

  void mouseReleaseEvent(QMouseEvent* Event) override {
    const bool Received = Receives(Event);
    if (Event->button() == Qt::LeftButton) FCaptured = false;
    TBase::mouseReleaseEvent(Event);
    Event->accept();
    if (Received) MouseUp(MouseButtonOf(Event), ShiftStateOf(Event), X(Event), Y(Event));
  }

  void changeEvent(QEvent* Event) override {
    TBase::changeEvent(Event);
    if (Event->type() == QEvent::PaletteChange && TakeParentColor()) OnParentColorChange(this);
  }

private:
  static int X(const QMouseEvent* Event) { return Event->position().toPoint().x(); }
  static int Y(const QMouseEvent* Event) { return Event->position().toPoint().y(); }
  bool Inside(const QMouseEvent* Event) const { return this->rect().contains(Event->position().toPoint()); }
  bool Receives(const QMouseEvent* Event) const { return FCaptured || Inside(Event); }

  // True when the parent's colour differs from the one last taken over.
  bool TakeParentColor() {
    QWidget* P = this->parentWidget();
    if (!P) return false;
    const QColor Colour = P->palette().color(QPalette::Window);
    if (Colour == FParentColor) return false;
    FParentColor = Colour;
    return true;
  }

  void RestoreHintColor() {
    if (!FHintSwapped) return;  // a leave without an enter has nothing to put back
    FHintSwapped = false;
    SetApplicationHintColor(FSavedHintColor);
  }

  QColor FHintColor = clInfoBk;
  QColor FSavedHintColor;
  bool FHintSwapped = false;
  bool FCaptured = false;  // a left press on the control is held
  QColor FParentColor;
};
