#pragma once
// The picture entry's properties frame: the file name, the display time in seconds on a track
// bar, and the sound file with the "Continue from previous" switch. User-interface thread only.
#include <QFrame>

#include "engine/PropertiesFrames.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

class TGIFFrm : public QFrame, public IGIFFrame {
public:
  explicit TGIFFrm(QWidget* Parent = nullptr);

  QWidget* Widget() override { return this; }
  void SetLabel1Caption(const std::string& Caption) override;
  int TrackBar1Position() const override;
  void SetTrackBar1Position(int Position) override;
  void SetLabel3Caption(const std::string& Caption) override;
  std::string Edit1Text() const override;
  void SetEdit1Text(const std::string& Text) override;
  bool CheckBox1Checked() const override;
  void SetCheckBox1Checked(bool Checked) override;

  void TrackBar1Change();
  void SpeedButton1Click();
  // The sound file's controls are enabled exactly while "Continue from previous" is off.
  void CheckBox1Click();

  QLabel* Label1;
  QLabel* Label2;
  QSlider* TrackBar1;
  QLabel* Label3;
  QLineEdit* Edit1;
  QLabel* Label4;
  QFileDialog* OD;  // not native, so it can be driven like any widget
  QToolButton* SpeedButton1;
  QCheckBox* CheckBox1;
};
