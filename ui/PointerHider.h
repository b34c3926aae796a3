#pragma once
// Hides the mouse pointer over a full-screen window once it has not moved for 2 s, and shows it
// again as soon as it moves. User-interface thread.
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

class TPointerHider : public QObject {
public:
  static constexpr int StillMs = 2000;

  // Window: the window whose pointer hides, and its parent; FullScreen: asked before hiding.
  TPointerHider(QWidget* AWindow, std::function<bool()> AFullScreen);
  bool Hidden() const { return FHidden; }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void Still();

  QWidget* FWindow;
  std::function<bool()> FFullScreen;
  QTimer FStill;
  bool FHidden = false;
};
