#include "settings/TrackBarEx.h"

#include <QApplication>
#include <QLabel>
#include <QProxyStyle>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <algorithm>

namespace {

// The application's style, but only a left press moves the thumb: anywhere beside it, it
// pages towards the pointer (repeating while held); no button makes the thumb jump there.
class TTrackBarStyle : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  SubControl hitTestComplexControl(ComplexControl Control, const QStyleOptionComplex* Option,
                                   const QPoint& At, const QWidget* Widget) const override {
    const SubControl Hit = QProxyStyle::hitTestComplexControl(Control, Option, At, Widget);
    if (Control == CC_Slider && Hit != SC_SliderHandle && Option->rect.contains(At)) return SC_SliderGroove;
    return Hit;
  }
  int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                QStyleHintReturn* Return) const override {
    if (Hint == SH_Slider_PageSetButtons) return Qt::LeftButton;
    if (Hint == SH_Slider_AbsoluteSetButtons) return Qt::NoButton;
    return QProxyStyle::styleHint(Hint, Option, Widget, Return);
  }
};

constexpr int TipGap = 4;  // pixels between the thumb and the value tip

}  // namespace

TTrackBarEx::TTrackBarEx(QWidget* Parent)
    : TControlEx<QSlider>(Parent), FValueTip(new QLabel(this, Qt::ToolTip)) {
  auto* Style = new TTrackBarStyle(QApplication::style()->name());
  Style->setParent(this);
  setStyle(Style);
  setOrientation(Qt::Horizontal);
  setRange(0, 10);
  setValue(0);
  setSingleStep(1);
  setPageStep(2);
  ApplyTicks();
  FValueTip->setMargin(2);
  FValueTip->setAutoFillBackground(true);
  FValueTip->setBackgroundRole(QPalette::ToolTipBase);
  FValueTip->setForegroundRole(QPalette::ToolTipText);
  connect(this, &QAbstractSlider::valueChanged, this, [this] {
    OnChange(this);
    UpdateValueTip();
  });
  connect(this, &QAbstractSlider::sliderPressed, this, &TTrackBarEx::UpdateValueTip);
  connect(this, &QAbstractSlider::sliderReleased, FValueTip, &QWidget::hide);
}

void TTrackBarEx::SetMin(int Value) {
  setMinimum(Value);
  ApplyTicks();
}

void TTrackBarEx::SetMax(int Value) {
  setMaximum(Value);
  ApplyTicks();
}

void TTrackBarEx::SetFrequency(int Value) {
  FFrequency = Value;
  ApplyTicks();
}

void TTrackBarEx::SetOrientation(TTrackBarOrientation Value) {
  setOrientation(Value == trHorizontal ? Qt::Horizontal : Qt::Vertical);
}

void TTrackBarEx::SetTickMarks(TTickMark Value) {
  FTickMarks = Value;
  ApplyTicks();
}

void TTrackBarEx::SetTickStyle(TTickStyle Value) {
  FTickStyle = Value;
  ApplyTicks();
}

void TTrackBarEx::ApplyTicks() {
  // Below and right, above and left are the same positions to Qt.
  static constexpr QSlider::TickPosition Sides[] = {QSlider::TicksBelow, QSlider::TicksAbove,
                                                    QSlider::TicksBothSides};
  setTickPosition(FTickStyle == tsNone ? QSlider::NoTicks : Sides[FTickMarks]);
  setTickInterval(FTickStyle == tsManual ? std::max(1, Max() - Min()) : FFrequency);
}

void TTrackBarEx::SetToolTips(bool Value) {
  FToolTips = Value;
  if (FToolTips)
    UpdateValueTip();
  else
    FValueTip->hide();
}

void TTrackBarEx::SetToolTipSide(TTrackToolTipSide Value) {
  FToolTipSide = Value;
  if (FValueTip->isVisible()) UpdateValueTip();
}

void TTrackBarEx::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  OnCtl3DChanged(this);
}

void TTrackBarEx::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControlEx<QSlider>::MouseUp(Button, Shift, X, Y);
  OnChanged(this);
}

void TTrackBarEx::UpdateValueTip() {
  if (!FToolTips || !isSliderDown()) return;
  std::string Text = std::to_string(Position());
  OnToolTip(this, Text);
  FValueTip->setPalette(QToolTip::palette());
  FValueTip->setFont(QToolTip::font());
  FValueTip->setText(QString::fromStdString(Text));
  FValueTip->adjustSize();

  QStyleOptionSlider Option;
  initStyleOption(&Option);
  const QRect Thumb = style()->subControlRect(QStyle::CC_Slider, &Option, QStyle::SC_SliderHandle, this);
  const QRect At(mapToGlobal(Thumb.topLeft()), Thumb.size());
  const QSize Size = FValueTip->size();
  const int MidX = At.center().x() - Size.width() / 2;
  const int MidY = At.center().y() - Size.height() / 2;
  switch (FToolTipSide) {
    case tsLeft: FValueTip->move(At.left() - TipGap - Size.width(), MidY); break;
    case tsTop: FValueTip->move(MidX, At.top() - TipGap - Size.height()); break;
    case tsRight: FValueTip->move(At.right() + 1 + TipGap, MidY); break;
    case tsBottom: FValueTip->move(MidX, At.bottom() + 1 + TipGap); break;
  }
  FValueTip->show();
}
