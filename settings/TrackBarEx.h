#pragma once
// The volume slider: a slider with tick marks and a value tip whose text the owner may
// change, raising OnChanged only when a mouse button is released on it. UI thread only.
#include <QSlider>
#include <string>

#include "settings/ControlEx.h"

class QLabel;

class TTrackBarEx : public TControlEx<QSlider> {
  Q_OBJECT
  Q_PROPERTY(int Min READ Min WRITE SetMin)
  Q_PROPERTY(int Max READ Max WRITE SetMax)
  Q_PROPERTY(int Position READ Position WRITE SetPosition)
  Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
  Q_PROPERTY(int LineSize READ LineSize WRITE SetLineSize)
  Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
  Q_PROPERTY(TTrackBarOrientation Orientation READ Orientation WRITE SetOrientation)
  Q_PROPERTY(TTickMark TickMarks READ TickMarks WRITE SetTickMarks)
  Q_PROPERTY(TTickStyle TickStyle READ TickStyle WRITE SetTickStyle)
  Q_PROPERTY(bool ShowRange READ ShowRange WRITE SetShowRange)
  Q_PROPERTY(bool ToolTips READ ToolTips WRITE SetToolTips)
  Q_PROPERTY(TTrackToolTipSide ToolTipSide READ ToolTipSide WRITE SetToolTipSide)
  Q_PROPERTY(QColor HintColor READ HintColor WRITE SetHintColor)
  Q_PROPERTY(std::string Hint READ Hint WRITE SetHint)
  Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)

public:
  enum TTrackBarOrientation { trHorizontal, trVertical };
  Q_ENUM(TTrackBarOrientation)
  enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
  Q_ENUM(TTickMark)
  // tsManual marks only both ends: there are no tick marks set from the program here.
  enum TTickStyle { tsNone, tsAuto, tsManual };
  Q_ENUM(TTickStyle)
  enum TTrackToolTipSide { tsLeft, tsTop, tsRight, tsBottom };
  Q_ENUM(TTrackToolTipSide)

  explicit TTrackBarEx(QWidget* Parent = nullptr);

  int Min() const { return minimum(); }
  void SetMin(int Value);
  int Max() const { return maximum(); }
  void SetMax(int Value);
  int Position() const { return value(); }
  void SetPosition(int Value) { setValue(Value); }  // kept within Min..Max
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value);
  int LineSize() const { return singleStep(); }
  void SetLineSize(int Value) { setSingleStep(Value); }
  int PageSize() const { return pageStep(); }
  void SetPageSize(int Value) { setPageStep(Value); }
  TTrackBarOrientation Orientation() const { return orientation() == Qt::Horizontal ? trHorizontal : trVertical; }
  void SetOrientation(TTrackBarOrientation Value);
  TTickMark TickMarks() const { return FTickMarks; }
  void SetTickMarks(TTickMark Value);
  TTickStyle TickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle Value);
  // Stored only: this slider has no selection range to show.
  bool ShowRange() const { return FShowRange; }
  void SetShowRange(bool Value) { FShowRange = Value; }
  // The value tip shown beside the thumb while it is dragged.
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value);
  TTrackToolTipSide ToolTipSide() const { return FToolTipSide; }
  void SetToolTipSide(TTrackToolTipSide Value);
  std::string Hint() const { return toolTip().toStdString(); }
  void SetHint(const std::string& Value) { setToolTip(QString::fromStdString(Value)); }
  // The three-dimensional look has no counterpart here; a change is only announced.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);

  TNotifyEvent OnChange;        // every change of Position, however made
  TNotifyEvent OnChanged;       // every mouse-button release on the slider, after OnMouseUp
  TNotifyEvent OnCtl3DChanged;
  TEvent<QObject*, std::string&> OnToolTip;  // the value tip's text, the position in decimal

protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void ApplyTicks();
  // Shows the value tip, with fresh text and place, while the thumb is held and tips are on.
  void UpdateValueTip();

  int FFrequency = 1;
  TTickMark FTickMarks = tmBottomRight;
  TTickStyle FTickStyle = tsAuto;
  bool FShowRange = true;
  bool FToolTips = false;
  TTrackToolTipSide FToolTipSide = tsLeft;
  bool FCtl3D = true;
  QLabel* FValueTip;
};

using TTrackBarOrientation = TTrackBarEx::TTrackBarOrientation;
using TTickMark = TTrackBarEx::TTickMark;
using TTickStyle = TTrackBarEx::TTickStyle;
using TTrackToolTipSide = TTrackBarEx::TTrackToolTipSide;
