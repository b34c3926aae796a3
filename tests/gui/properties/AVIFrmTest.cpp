#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "PropertiesDialog.h"
#include "framework/TimeText.h"
#include "ui/AVIFrm.h"

namespace {

QPoint Centre(const QWidget* W) { return W->rect().center(); }

// The handle sits in Panel2's bottom-right corner (both in Panel1's coordinates).
void ExpectHandleInCorner(const TAVIFrm& F) {
  EXPECT_EQ(F.Shape1->geometry().bottomRight(), F.Panel2->geometry().bottomRight());
  EXPECT_EQ(F.Shape1->size(), QSize(13, 13));
}

}  // namespace

TEST(AVIFrm, NewEntryShowsItsRectangleInWholePixelsAndApplyStoresThem) {
  TVideoEntry Entry;
  Entry.FileName = "/media/clip.avi";
  Entry.Duration = 65.5 / 86400;
  Entry.AdditionalFile = "/media/overlay.avi";
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);

  EXPECT_EQ(F.Label2->text().toStdString(), "/media/clip.avi");
  EXPECT_EQ(F.Label4->text().toStdString(), TimeText(65.5 / 86400));
  EXPECT_EQ(F.AddFnm->text().toStdString(), "/media/overlay.avi");
  EXPECT_EQ(F.Panel2->geometry(), QRect(0, 0, 40, 23));  // 0.1 × 235 = 23.5 truncates
  ExpectHandleInCorner(F);
  EXPECT_EQ(F.TrackBar1->value(), -100);
  EXPECT_EQ(F.Panel2->text(), "Additional File");  // an unchanged position raises no change

  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  EXPECT_TRUE(Dialog->isVisible());
  EXPECT_EQ(Entry.OverlayRect.left, 0.0f);
  EXPECT_EQ(Entry.OverlayRect.top, 0.0f);
  EXPECT_EQ(Entry.OverlayRect.right, 0.1f);
  EXPECT_EQ(Entry.OverlayRect.bottom, static_cast<float>(23 / 235.0));
  EXPECT_EQ(Entry.OverlayAlpha, 1.0f);
  EXPECT_EQ(Entry.AdditionalFile, "/media/overlay.avi");
  Dialog->close();
  EXPECT_TRUE(Freed(Dialog));
}

TEST(AVIFrm, CornerDragGrowsTheRectangleByTheMouseDistance) {
  TVideoEntry Entry;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);

  Drag(F.Shape1, Centre(F.Shape1), {10, 5});
  EXPECT_EQ(F.Panel2->geometry(), QRect(0, 0, 50, 28));
  ExpectHandleInCorner(F);

  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  EXPECT_EQ(Entry.OverlayRect.right, static_cast<float>(50 / 400.0));
  EXPECT_EQ(Entry.OverlayRect.bottom, static_cast<float>(28 / 235.0));
  delete Dialog;
}

TEST(AVIFrm, MovingBeyondThePrimaryPanelGivesFractionsAboveOne) {
  TVideoEntry Entry;
  Entry.OverlayRect = {0.125f, 0.2f, 0.375f, 0.6f};
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);
  EXPECT_EQ(F.Panel2->geometry(), QRect(50, 47, 100, 94));

  Drag(F.Panel2, Centre(F.Panel2), {400, -60});
  EXPECT_EQ(F.Panel2->geometry(), QRect(450, -13, 100, 94));
  ExpectHandleInCorner(F);

  QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
  EXPECT_EQ(Entry.OverlayRect.left, 1.125f);
  EXPECT_EQ(Entry.OverlayRect.right, 1.375f);
  EXPECT_EQ(Entry.OverlayRect.top, static_cast<float>(-13 / 235.0));
  EXPECT_LT(Entry.OverlayRect.top, 0.0f);
  delete Dialog;
}

TEST(AVIFrm, RightButtonDragsNothing) {
  TVideoEntry Entry;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);
  QWindow* Handle = Dialog->windowHandle();
  const QPoint From = F.Panel2->mapTo(Dialog, Centre(F.Panel2));
  QTest::mousePress(Handle, Qt::RightButton, {}, From);
  QTest::mouseMove(Handle, From + QPoint(30, 30));
  QTest::mouseRelease(Handle, Qt::RightButton, {}, From + QPoint(30, 30));
  EXPECT_EQ(F.Panel2->geometry(), QRect(0, 0, 40, 23));
  delete Dialog;
}

TEST(AVIFrm, ARectangleShrunkBelowZeroStaysAtZeroAndCanBeGrownAgain) {
  TVideoEntry Entry;
  Entry.OverlayRect = {0.25f, 0.2f, 0.5f, 0.6f};
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);

  Drag(F.Shape1, Centre(F.Shape1), {-150, -120});
  EXPECT_EQ(F.Panel2->geometry(), QRect(100, 47, 0, 0));
  // The handle keeps its size and stays on the rectangle's place, inside the primary panel.
  EXPECT_EQ(F.Shape1->geometry(), QRect(100, 47, 13, 13));
  EXPECT_TRUE(F.Shape1->isVisible());

  Drag(F.Shape1, Centre(F.Shape1), {30, 20});
  EXPECT_EQ(F.Panel2->geometry(), QRect(100, 47, 30, 20));
  ExpectHandleInCorner(F);

  // A rectangle stored with its right edge left of its left one opens at zero width.
  F.SetOverlayRect(0.5f, 0.2f, 0.25f, 0.6f);
  EXPECT_EQ(F.Panel2->geometry(), QRect(200, 47, 0, 94));
  delete Dialog;
}

TEST(AVIFrm, OpacityCaptionFollowsTheTrackBar) {
  TVideoEntry Entry;
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);
  // Vertical, the minimum at the top.
  EXPECT_EQ(F.TrackBar1->orientation(), Qt::Vertical);
  EXPECT_EQ(F.TrackBar1->minimum(), -100);
  EXPECT_EQ(F.TrackBar1->maximum(), 1);
  EXPECT_TRUE(F.TrackBar1->invertedAppearance());

  F.TrackBar1->setFocus();
  QTest::keyClick(F.TrackBar1, Qt::Key_End);  // the bottom end
  EXPECT_EQ(F.TrackBar1->value(), 1);
  EXPECT_EQ(F.Panel2->text(), "1% alpha");
  QTest::keyClick(F.TrackBar1, Qt::Key_Up);  // one step above it
  EXPECT_EQ(F.TrackBar1->value(), 0);
  EXPECT_EQ(F.Panel2->text(), "0% alpha");
  QTest::keyClick(F.TrackBar1, Qt::Key_Home);  // the top
  EXPECT_EQ(F.TrackBar1->value(), -100);
  EXPECT_EQ(F.Panel2->text(), "100% alpha");
  F.SetTrackBar1Position(-35);
  EXPECT_EQ(F.Panel2->text(), "35% alpha");
  delete Dialog;
}

// The position shown is truncated: 0.29 as a 32-bit float lies just below 0.29, and so does
// 0.01, which comes back as 0.
TEST(AVIFrm, OpacityComesBackTruncated) {
  const std::pair<int, int> Cases[] = {{-29, -28}, {-37, -37}, {-100, -100}, {1, 0}};
  for (const auto& [Applied, Shown] : Cases) {
    TVideoEntry Entry;
    QPointer<TPLEProp> Dialog = ShowProperties(Entry);
    FrameOf<TAVIFrm>(Dialog).TrackBar1->setValue(Applied);
    QTest::mouseClick(Dialog->Button2, Qt::LeftButton);  // "Close" applies
    EXPECT_TRUE(Freed(Dialog));
    EXPECT_EQ(Entry.OverlayAlpha, static_cast<float>(std::abs(Applied) / 100.0));

    Dialog = ShowProperties(Entry);
    EXPECT_EQ(FrameOf<TAVIFrm>(Dialog).TrackBar1->value(), Shown) << "applied " << Applied;
    delete Dialog;
  }
}

TEST(AVIFrm, BrowsingPutsTheConfirmedPathIntoTheEditField) {
  TVideoEntry Entry;
  Entry.AdditionalFile = "/before.avi";
  QPointer<TPLEProp> Dialog = ShowProperties(Entry);
  auto& F = FrameOf<TAVIFrm>(Dialog);
  EXPECT_EQ(F.OD->fileMode(), QFileDialog::AnyFile);

  QTimer::singleShot(0, F.OD, [&] { F.OD->reject(); });
  QTest::mouseClick(F.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(F.AddFnm->text(), "/before.avi");

  // No file need exist: the path is taken as typed.
  const QString Typed = QDir::temp().filePath("not-there.avi");
  QTimer::singleShot(0, F.OD, [&] {
    F.OD->selectFile(Typed);
    static_cast<QDialog*>(F.OD)->accept();  // the dialog's own check of the choice
  });
  QTest::mouseClick(F.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(F.AddFnm->text(), Typed);
  EXPECT_EQ(Entry.AdditionalFile, "/before.avi");  // nothing applied yet
  delete Dialog;
}
