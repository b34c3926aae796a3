#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "PropertiesDialog.h"
#include "engine/GIFPLE.h"
#include "ui/GIFFrm.h"

namespace {

void ExpectSoundControlsEnabled(const TGIFFrm& F, bool Enabled) {
  EXPECT_EQ(F.Label4->isEnabled(), Enabled);
  EXPECT_EQ(F.Edit1->isEnabled(), Enabled);
  EXPECT_EQ(F.SpeedButton1->isEnabled(), Enabled);
}

}  // namespace

TEST(GIFFrm, ContinueFromPreviousSwitchesTheSoundControlsWithoutClearingThePath) {
  TGIFPLE Entry(nullptr);
  Entry.FileName = "/pictures/a.gif";
  Entry.SoundFile = "/sounds/a.wav";
  Entry.ContinueSound = true;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TGIFFrm>(Dialog);
  EXPECT_EQ(F.Label1->text(), "/pictures/a.gif");
  EXPECT_EQ(F.Edit1->text(), "/sounds/a.wav");
  EXPECT_TRUE(F.CheckBox1->isChecked());
  ExpectSoundControlsEnabled(F, false);

  QTest::mouseClick(F.CheckBox1, Qt::LeftButton);
  EXPECT_FALSE(F.CheckBox1->isChecked());
  ExpectSoundControlsEnabled(F, true);
  QTest::mouseClick(F.CheckBox1, Qt::LeftButton);
  ExpectSoundControlsEnabled(F, false);
  EXPECT_EQ(F.Edit1->text(), "/sounds/a.wav");

  // The switch and the path are applied apart.
  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  EXPECT_TRUE(Entry.ContinueSound);
  EXPECT_EQ(Entry.SoundFile, "/sounds/a.wav");
  delete Dialog;
}

TEST(GIFFrm, AnEntryWithItsOwnSoundOpensWithTheSoundControlsEnabled) {
  TGIFPLE Entry(nullptr);
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TGIFFrm>(Dialog);
  EXPECT_FALSE(F.CheckBox1->isChecked());
  ExpectSoundControlsEnabled(F, true);
  EXPECT_EQ(F.TrackBar1->value(), 10);
  EXPECT_EQ(F.Label3->text(), "10");
  delete Dialog;
}

TEST(GIFFrm, DisplayTimeAboveTheRangeShowsTheStoredNumberOnTheLabel) {
  TGIFPLE Entry(nullptr);
  Entry.DisplayTime = 250;  // as read from a playlist file
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TGIFFrm>(Dialog);
  EXPECT_EQ(F.TrackBar1->value(), 200);
  EXPECT_EQ(F.Label3->text(), "250");

  F.TrackBar1->setFocus();
  QTest::keyClick(F.TrackBar1, Qt::Key_Left);
  EXPECT_EQ(F.Label3->text(), "199");

  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  EXPECT_EQ(Entry.DisplayTime, 199);
  EXPECT_EQ(Entry.Duration, 199 / 86400.0);
  EXPECT_EQ(Entry.GetDuration(), 199 / 86400.0);
  delete Dialog;
}

TEST(GIFFrm, BrowsingOffersAudioFilesThatExist) {
  QTemporaryDir Dir;
  const QString Sound = Dir.filePath("tune.wav");
  QFile(Sound).open(QIODevice::WriteOnly);
  TGIFPLE Entry(nullptr);
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TGIFFrm>(Dialog);
  EXPECT_EQ(F.OD->nameFilters(), QStringList{"Audio files (*.mp3 *.wav)"});
  EXPECT_EQ(F.OD->fileMode(), QFileDialog::ExistingFile);

  QTimer::singleShot(0, F.OD, [&] {
    F.OD->setDirectory(Dir.path());
    F.OD->selectFile(Sound);
    static_cast<QDialog*>(F.OD)->accept();  // the dialog's own check of the choice
  });
  QTest::mouseClick(F.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(F.Edit1->text(), Sound);
  EXPECT_FALSE(F.CheckBox1->isChecked());  // nothing else changes
  delete Dialog;
}
