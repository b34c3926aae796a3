#pragma once
// The seek bar: a progress bar that keeps Position within Min..Max and paints its bar in
// BarColor, continuous or in blocks. Mouse input only raises its events; the owner moves it.
#include <QProgressBar>

#include "settings/ControlEx.h"

class TProgressBarEx : public TControlEx<QProgressBar> {
  Q_OBJECT
  Q_PROPERTY(int Min READ Min WRITE SetMin)
  Q_PROPERTY(int Max READ Max WRITE SetMax)
  Q_PROPERTY(int Position READ Position WRITE SetPosition)
  Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
  Q_PROPERTY(int Step READ Step WRITE SetStep)
  Q_PROPERTY(QColor BarColor READ BarColor WRITE SetBarColor)
  Q_PROPERTY(QColor HintColor READ HintColor WRITE SetHintColor)
  Q_PROPERTY(Qt::CursorShape Cursor READ Cursor WRITE SetCursor)

public:
  explicit TProgressBarEx(QWidget* Parent = nullptr);

  int Min() const { return minimum(); }
  void SetMin(int Value);
  int Max() const { return maximum(); }
  void SetMax(int Value);
  int Position() const { return value(); }
  // Any integer; a value outside Min..Max is taken as the nearer end.
  void SetPosition(int Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  // Stored for the owner; nothing here steps the bar.
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  QColor BarColor() const { return FBarColor; }
  void SetBarColor(const QColor& Value);
  Qt::CursorShape Cursor() const { return cursor().shape(); }
  void SetCursor(Qt::CursorShape Value) { setCursor(QCursor(Value)); }

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  // Qt resets a progress bar whose value falls outside a new range; keep it clamped instead.
  void SetRange(int AMin, int AMax);

  bool FSmooth = false;
  int FStep = 10;
  QColor FBarColor = clNavy;
};
