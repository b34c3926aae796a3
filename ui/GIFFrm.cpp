#include "ui/GIFFrm.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

#include "ui/DesignControls.h"

TGIFFrm::TGIFFrm(QWidget* Parent) : QFrame(Parent) {
  setObjectName(QStringLiteral("GIFFrm"));
  resize(432, 336);
  setFont(DesignFont(11));

  Label1 = CreateLabel(this, QStringLiteral("File Name"), 6, 12);
  Label2 = CreateLabel(this, QStringLiteral("Display Time"), 6, 30);
  TrackBar1 = new QSlider(Qt::Horizontal, this);
  // 45 high as designed, its ticks would run into "Continue from previous" below it.
  TrackBar1->setGeometry(6, 75, 412, 37);
  TrackBar1->setRange(1, 200);
  TrackBar1->setPageStep(2);
  TrackBar1->setTickInterval(5);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setValue(1);
  connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
  Label3 = CreateLabel(this, QStringLiteral("1"), 21, 51);

  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(66, 135, 229, 21);
  Edit1->setEnabled(false);
  Label4 = CreateLabel(this, QStringLiteral("Sound File"), 6, 138);
  Label4->setEnabled(false);

  OD = CreateOpenDialog(this, true);
  OD->setNameFilter(QStringLiteral("Audio files (*.mp3 *.wav)"));

  SpeedButton1 = CreateSpeedButton(this, QRect(297, 135, 23, 22));
  SpeedButton1->setEnabled(false);
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  CheckBox1 = new QCheckBox(QStringLiteral("Continue from previous"), this);
  CheckBox1->setGeometry(9, 114, 145, 17);
  CheckBox1->setChecked(true);
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
}

void TGIFFrm::SetLabel1Caption(const std::string& Caption) { SetCaption(Label1, Caption); }
int TGIFFrm::TrackBar1Position() const { return TrackBar1->value(); }
void TGIFFrm::SetTrackBar1Position(int Position) { TrackBar1->setValue(Position); }
void TGIFFrm::SetLabel3Caption(const std::string& Caption) { SetCaption(Label3, Caption); }
std::string TGIFFrm::Edit1Text() const { return Edit1->text().toStdString(); }
void TGIFFrm::SetEdit1Text(const std::string& Text) { Edit1->setText(QString::fromStdString(Text)); }
bool TGIFFrm::CheckBox1Checked() const { return CheckBox1->isChecked(); }
void TGIFFrm::SetCheckBox1Checked(bool Checked) { CheckBox1->setChecked(Checked); }

void TGIFFrm::TrackBar1Change() { SetCaption(Label3, std::to_string(TrackBar1->value())); }

void TGIFFrm::SpeedButton1Click() {
  BrowseInto(OD, Edit1);
}

void TGIFFrm::CheckBox1Click() {
  const bool Own = !CheckBox1->isChecked();
  Label4->setEnabled(Own);
  Edit1->setEnabled(Own);
  SpeedButton1->setEnabled(Own);
}
