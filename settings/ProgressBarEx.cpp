#include "settings/ProgressBarEx.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>

TProgressBarEx::TProgressBarEx(QWidget* Parent) : TControlEx<QProgressBar>(Parent) {
  setTextVisible(false);
  SetRange(0, 100);
}

void TProgressBarEx::SetMin(int Value) { SetRange(Value, std::max(Value, Max())); }

void TProgressBarEx::SetMax(int Value) { SetRange(std::min(Min(), Value), Value); }

void TProgressBarEx::SetRange(int AMin, int AMax) {
  const int Old = value();
  setRange(AMin, AMax);
  SetPosition(Old);
}

void TProgressBarEx::SetPosition(int Value) { setValue(std::clamp(Value, Min(), Max())); }

void TProgressBarEx::SetSmooth(bool Value) {
  FSmooth = Value;
  update();
}

void TProgressBarEx::SetBarColor(const QColor& Value) {
  FBarColor = Value;
  update();
}

void TProgressBarEx::paintEvent(QPaintEvent*) {
  QStylePainter Painter(this);
  QStyleOptionProgressBar Option;
  initStyleOption(&Option);
  Painter.drawControl(QStyle::CE_ProgressBarGroove, Option);

  const QRect Inner = rect().adjusted(2, 2, -2, -2);
  const bool Horizontal = orientation() == Qt::Horizontal;
  const int Length = Horizontal ? Inner.width() : Inner.height();
  const qint64 Span = qint64(Max()) - Min();
  const int Filled = Span > 0 ? int(Length * (qint64(Position()) - Min()) / Span) : 0;
  // Blocks two thirds of the bar's thickness long and two pixels apart, or one block.
  const int Thickness = Horizontal ? Inner.height() : Inner.width();
  const int Block = FSmooth ? Filled : std::max(1, Thickness * 2 / 3);
  const int Gap = FSmooth ? 0 : 2;
  for (int At = 0; At < Filled; At += Block + Gap) {
    const int Size = std::min(Block, Filled - At);
    const QRect Part = Horizontal ? QRect(Inner.left() + At, Inner.top(), Size, Inner.height())
                                  : QRect(Inner.left(), Inner.bottom() + 1 - At - Size, Inner.width(), Size);
    Painter.fillRect(Part, FBarColor);
  }
}
