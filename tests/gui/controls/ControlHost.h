#pragma once
// A shown window holding one control away from its edges, with mouse input sent through the
// window system, so Qt routes it (grabs, enter and leave) as it would a user's.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

template <class TControl>
struct TControlHost {
  QWidget Window;
  TControl* Control;

  TControlHost(int Width, int Height) : Control(new TControl(&Window)) {
    Window.resize(600, 200);
    Control->setGeometry(150, 50, Width, Height);
    Window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
  }
  // Points are in the control's coordinates and may lie outside it.
  QPoint At(QPoint P) const { return Control->mapTo(&Window, P); }
  void Press(QPoint P, Qt::MouseButton B = Qt::LeftButton) { QTest::mousePress(Window.windowHandle(), B, {}, At(P)); }
  void Release(QPoint P, Qt::MouseButton B = Qt::LeftButton) { QTest::mouseRelease(Window.windowHandle(), B, {}, At(P)); }
  void Move(QPoint P) { QTest::mouseMove(Window.windowHandle(), At(P)); }
  void Click(QPoint P, Qt::MouseButton B) {
    Press(P, B);
    Release(P, B);
  }
};
