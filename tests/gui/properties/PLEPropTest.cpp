#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "PropertiesDialog.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayList.h"
#include "ui/AVIFrm.h"

TEST(PLEProp, HasItsDesignedBoundsAndButtons) {
  TVideoEntry Entry;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  EXPECT_EQ(Dialog->windowTitle(), "PLEProp");
  EXPECT_FALSE(Dialog->isModal());
  EXPECT_EQ(Dialog->size(), QSize(566, 431));
  EXPECT_EQ(Dialog->Panel1->geometry(), QRect(0, 431 - 38, 566, 38));
  EXPECT_EQ(Dialog->Button1->text(), "Apply");
  EXPECT_EQ(Dialog->Button2->text(), "Close");
  EXPECT_EQ(Dialog->Button3->text(), "Cancel");
  EXPECT_EQ(Dialog->Button3->geometry(), QRect(165, 6, 75, 25));
  // The frame fills the client area above the buttons.
  EXPECT_EQ(Dialog->Frame()->parentWidget(), Dialog.data());
  EXPECT_EQ(Dialog->Frame()->geometry(), QRect(0, 0, 566, 431 - 38));
  delete Dialog;
}

TEST(PLEProp, ApplyThenCancelKeepsTheAppliedValuesAndCancelAloneDiscards) {
  TVideoEntry Entry;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  QPointer<QWidget> Frame = Dialog->Frame();
  auto& F = FrameOf<TAVIFrm>(Dialog);
  QTest::keyClicks(F.AddFnm, "/applied.avi");
  F.TrackBar1->setValue(-50);
  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  QTest::keyClicks(F.AddFnm, ".more");
  F.TrackBar1->setValue(-20);
  QTest::mouseClick(Dialog->Button3, Qt::LeftButton);
  EXPECT_TRUE(Freed(Dialog));
  EXPECT_TRUE(Frame.isNull());  // the frame goes with the dialog
  EXPECT_EQ(Entry.AdditionalFile, "/applied.avi");
  EXPECT_EQ(Entry.OverlayAlpha, 0.5f);

  Dialog = ShowProperties(Entry);
  QTest::keyClicks(FrameOf<TAVIFrm>(Dialog).AddFnm, ".discarded");
  QTest::mouseClick(Dialog->Button3, Qt::LeftButton);
  EXPECT_TRUE(Freed(Dialog));
  EXPECT_EQ(Entry.AdditionalFile, "/applied.avi");
}

TEST(PLEProp, TheCloseBoxAndEscapeApplyNothingAndFreeTheDialog) {
  TVideoEntry Entry;
  for (const bool Escape : {false, true}) {
    QPointer<TPLEProp> Dialog = ShowProperties(Entry);
    QTest::keyClicks(FrameOf<TAVIFrm>(Dialog).AddFnm, "/typed.avi");
    if (Escape)
      QTest::keyClick(Dialog, Qt::Key_Escape);
    else
      Dialog->close();
    EXPECT_TRUE(Freed(Dialog)) << "escape " << Escape;
    EXPECT_EQ(Entry.AdditionalFile, "");
  }
}

TEST(PLEProp, ClosesItselfWhenItsEntryIsFreed) {
  TVizmoraPlayList PlayList;
  auto* Picture = new TGIFPLE(nullptr);
  auto* Video = new TVideoEntry;
  PlayList.Add(Picture);
  PlayList.Add(Video);
  // Two dialogs on the picture, one on the video, and one on the picture closed before.
  QPointer<TPLEProp> First = ShowProperties(*Picture);
  QPointer<TPLEProp> Second = ShowProperties(*Picture);
  QPointer<TPLEProp> Other = ShowProperties(*Video);
  QPointer<TPLEProp> Early = ShowProperties(*Picture);
  Early->close();
  EXPECT_TRUE(Freed(Early));

  PlayList.Remove(Picture);
  EXPECT_FALSE(First->isVisible());  // at once, before the event loop runs
  EXPECT_EQ(First->Entry(), nullptr);
  Second->Button1Click();  // nothing left to apply to
  EXPECT_TRUE(Freed(First));
  EXPECT_TRUE(Freed(Second));
  ASSERT_FALSE(Other.isNull());
  EXPECT_TRUE(Other->isVisible());
  EXPECT_EQ(Other->Entry(), Video);
  delete Other;
}
