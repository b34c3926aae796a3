// The mixing renderer drawing with GL (forced where the display has no GPU, so a software
// rasteriser stands in): what the screen shows in the window, mixed, letter-boxed, fitted again
// at once, and kept on screen while one renderer follows another.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <functional>

#include "support/GstTestSupport.h"
#include "media/TestMedia.h"
#include "media/VideoWindow.h"
#include "platform/dshow/Video.h"
#include "platform/gst/GstGlOutput.h"
#include "platform/win/Messages.h"
#include "support/WaitUntil.h"

namespace {
bool Near(QRgb Seen, int R, int G, int B) {
  return std::abs(qRed(Seen) - R) < 60 && std::abs(qGreen(Seen) - G) < 60 && std::abs(qBlue(Seen) - B) < 60;
}

class GlOutputTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!UseGlOutput()) GTEST_SKIP() << "no GL on this display";
    ASSERT_FALSE(TestMediaPath(TTestMedia::RedClip).empty());
    ASSERT_FALSE(TestMediaPath(TTestMedia::BlueClip).empty());
    Window.setAttribute(Qt::WA_NativeWindow);
    Window.setAutoFillBackground(true);
    Window.resize(320, 240);
    Window.show();
  }
  void TearDown() override {
    if (Graph) As<IMediaControl>(Graph)->Stop();
    if (Graph)
      for (const auto& F : FiltersOf(Graph)) Graph->RemoveFilter(F.Get());
  }
  // A new graph with a new windowless mixing renderer painting into Window.
  void NewRenderer() {
    if (Graph) TearDown();
    Graph = NewGraph();
    const ComPtr<IBaseFilter> Mixer = AddWindowlessMixer(Graph, u"VW", HandleOf(&Window));
    ASSERT_TRUE(Mixer);
    ASSERT_TRUE(Window.windowHandle()->findChild<QWindow*>()) << "no GL window over the video window";
    ASSERT_EQ(S_OK, Mixer.As(Windowless));
    ASSERT_EQ(S_OK, Mixer.As(MixerControl));
    ASSERT_EQ(S_OK, Mixer.As(Aspect));
    Position();
  }
  void Position() {
    const RECT Destination{0, 0, Window.width(), Window.height()};
    ASSERT_EQ(S_OK, Windowless->SetVideoPosition(nullptr, &Destination));
  }
  // What the screen shows in the window once Check accepts it, within a generous time.
  QImage Shown(const std::function<bool(const QImage&)>& Check) {
    QImage Image;
    RunUntil([&] {
      Image = QGuiApplication::primaryScreen()->grabWindow(Window.winId()).toImage();
      return Image.width() == Window.width() && Check(Image);
    });
    return Image;
  }

  TVideoWindow Window;  // the surface the program's renderer draws into
  ComPtr<IGraphBuilder> Graph;
  ComPtr<IVMRWindowlessControl9> Windowless;
  ComPtr<IVMRMixerControl9> MixerControl;
  ComPtr<IVMRAspectRatioControl9> Aspect;
};
}  // namespace

TEST_F(GlOutputTest, TheScreenShowsTheMixedPictureFittedToTheWindowAndKeepsItForTheNextRenderer) {
  NewRenderer();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  const VMR9NormalizedRect Corner{0.5f, 0.5f, 1, 1};
  ASSERT_EQ(S_OK, MixerControl->SetOutputRect(1, &Corner));
  ASSERT_EQ(S_OK, MixerControl->SetZOrder(1, 0));
  ASSERT_EQ(S_OK, MixerControl->SetAlpha(1, 0.5f));
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  QImage I = Shown([](const QImage& I) { return Near(I.pixel(240, 180), 128, 0, 128); });
  EXPECT_TRUE(Near(I.pixel(80, 60), 255, 0, 0));
  EXPECT_TRUE(Near(I.pixel(240, 180), 128, 0, 128));

  // Letter-boxed into a new shape at once: a 4:3 picture in 400 x 150 covers x 100..300.
  ASSERT_EQ(S_OK, Aspect->SetAspectRatioMode(VMR9ARMode_LetterBox));
  Window.resize(400, 150);
  Position();
  // The window's new strip on the right shows only once the picture is drawn at the new size.
  I = Shown([](const QImage& I) {
    return Near(I.pixel(50, 75), 0, 0, 0) && Near(I.pixel(350, 75), 0, 0, 0) && Near(I.pixel(150, 40), 255, 0, 0);
  });
  EXPECT_TRUE(Near(I.pixel(50, 75), 0, 0, 0));
  EXPECT_TRUE(Near(I.pixel(350, 75), 0, 0, 0));
  EXPECT_TRUE(Near(I.pixel(150, 40), 255, 0, 0));

  // A renderer that follows, before it has a frame, leaves the last picture on screen.
  NewRenderer();
  I = Shown([](const QImage& I) { return Near(I.pixel(150, 40), 255, 0, 0); });
  EXPECT_TRUE(Near(I.pixel(150, 40), 255, 0, 0));
}
