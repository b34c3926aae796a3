#pragma once
// Opens a properties dialog for an entry the way the playlist window does, and sends mouse
// input through the window system, so Qt routes it (grabs included) as it would a user's.
// Also a video entry of the tests' own that fills and reads its frame with the video entry's
// steps, without its media work.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QWindow>

#include "engine/PlayListEntry.h"
#include "engine/PropertiesFrames.h"
#include "platform/dshow/Video.h"
#include "ui/PLEProp.h"
#include "ui/PropertiesFrames.h"
#include "support/WaitUntil.h"

class TVideoEntry : public TPlayListEntry {
public:
  TVideoEntry() : TPlayListEntry(nullptr) {}
  IPropertiesFrame* CreatePropertiesFrame() override { return FillAVIFrame(*this); }
  void ApplyProperties(IPropertiesFrame* Frame) override { ReadAVIFrame(*this, Frame); }

  std::string AdditionalFile;
  VMR9NormalizedRect OverlayRect{0, 0, 0.1f, 0.1f};
  float OverlayAlpha = 1.0f;
};

inline QPointer<TPLEProp> ShowProperties(TPlayListEntry& Entry) {
  InstallPropertiesFrames();
  auto* Dialog = new TPLEProp;
  Dialog->SetFrame(Entry.CreatePropertiesFrame());
  Dialog->SetEntry(&Entry);
  Dialog->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(Dialog));
  return Dialog;
}

// The frame of the dialog, as the kind the entry made.
template <class TFrame>
TFrame& FrameOf(TPLEProp* Dialog) {
  auto* Frame = dynamic_cast<TFrame*>(Dialog->Frame());
  EXPECT_NE(Frame, nullptr);
  return *Frame;
}

// Presses the left button at Start (in Control's coordinates), moves by Delta in two steps and
// releases there.
inline void Drag(QWidget* Control, QPoint Start, QPoint Delta) {
  QWidget* Window = Control->window();
  QWindow* Handle = Window->windowHandle();
  const QPoint From = Control->mapTo(Window, Start);
  QTest::mousePress(Handle, Qt::LeftButton, {}, From);
  QTest::mouseMove(Handle, From + Delta / 2);
  QTest::mouseMove(Handle, From + Delta);
  QTest::mouseRelease(Handle, Qt::LeftButton, {}, From + Delta);
}

// Waits until the dialog has closed and been freed.
inline bool Freed(const QPointer<TPLEProp>& Dialog) {
  return RunUntil([&Dialog] { return Dialog.isNull(); }, 5000);
}
