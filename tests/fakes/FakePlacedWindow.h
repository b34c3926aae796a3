#pragma once
// A top-level window as window placement sees it, keeping what it is given.
#include <QObject>

#include "platform/win/PlacedWindow.h"

class TFakePlacedWindow : public QObject, public IPlacedWindow {
public:
  QRect NormalGeometry() const override { return Normal; }
  void SetNormalGeometry(const QRect& Rect) override { Normal = Rect; }
  Qt::WindowStates PlacementStates() const override { return States; }
  void ShowInStates(Qt::WindowStates Value) override {
    States = Value;
    Shown = true;
  }
  void SetShown(bool Value) override { Shown = Value; }

  QRect Normal;
  Qt::WindowStates States;
  bool Shown = false;
};
