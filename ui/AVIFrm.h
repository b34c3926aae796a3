#pragma once
// The video entry's properties frame: file name and length, the additional file, an editor in
// which the additional file's rectangle (Panel2) is dragged and resized over a panel standing
// for the primary picture (Panel1), and the overlay's opacity. User-interface thread only.
#include <QFrame>
#include <QPoint>

#include "engine/PropertiesFrames.h"
#include "settings/MouseEvents.h"

class QFileDialog;
class QLabel;
class TBorderedPanel;
class QLineEdit;
class QSlider;
class QToolButton;

class TAVIFrm : public QFrame, public IAVIFrame {
public:
  explicit TAVIFrm(QWidget* Parent = nullptr);

  QWidget* Widget() override { return this; }
  void SetLabel2Caption(const std::string& Caption) override;
  void SetLabel4Caption(const std::string& Caption) override;
  std::string AddFnmText() const override;
  void SetAddFnmText(const std::string& Text) override;
  // Panel2 from fractions of Panel1's outer size, each product truncated to whole pixels.
  void SetOverlayRect(float Left, float Top, float Right, float Bottom) override;
  void GetOverlayRect(float& Left, float& Top, float& Right, float& Bottom) const override;
  int TrackBar1Position() const override;
  void SetTrackBar1Position(int Position) override;

  void SpeedButton1Click();
  void Panel2MouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Panel2MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
  void Shape1MouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Shape1MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
  void TrackBar1Change();

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLineEdit* AddFnm;
  QLabel* Label5;
  QToolButton* SpeedButton1;
  QFileDialog* OD;  // not native, so it can be driven like any widget
  TBorderedPanel* Panel1;
  QLabel* Panel2;
  // The resize handle. It lies on Panel1 above Panel2's bottom-right corner rather than inside
  // Panel2, so it stays whole and reachable when Panel2 is smaller than the handle.
  QFrame* Shape1;
  QSlider* TrackBar1;

protected:
  // Hands Panel2's and Shape1's mouse presses and moves to their handlers.
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void PlaceShape1();

  QPoint MoveOrigin;    // screen coordinates
  QPoint ResizeOrigin;  // screen coordinates
};
