// The mixing renderer on real GStreamer in a real window: streams mixed at their rectangles,
// alphas and z-orders, letter-boxed or stretched, painted into the clipping window, and made
// anew for streams that come after others ended.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "support/GstTestSupport.h"
#include "media/TestMedia.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"
#include "platform/dshow/Video.h"
#include "platform/gst/GstMixerLayout.h"
#include "platform/gst/GstRenderers.h"
#include "platform/win/Messages.h"

namespace {
struct TColour {
  int R, G, B;
};
constexpr TColour Red{255, 0, 0}, Blue{0, 0, 255}, Green{0, 255, 0}, Black{0, 0, 0}, Purple{128, 0, 128};

// Within what MJPEG and colour conversion leave of a pure colour.
bool Near(TColour Seen, TColour Wanted) {
  return std::abs(Seen.R - Wanted.R) < 60 && std::abs(Seen.G - Wanted.G) < 60 && std::abs(Seen.B - Wanted.B) < 60;
}

struct TFrame {
  QImage Image;
  TColour At(int X, int Y) const {
    if (!Image.valid(X, Y)) return {-999, -999, -999};
    const QRgb P = Image.pixel(X, Y);
    return {qRed(P), qGreen(P), qBlue(P)};
  }
  // At a place given in fractions of the frame, whatever its size.
  TColour AtPart(double X, double Y) const { return At(int(X * Image.width()), int(Y * Image.height())); }
};

std::string Describe(TColour C) { return std::to_string(C.R) + "," + std::to_string(C.G) + "," + std::to_string(C.B); }

int Entries(const char* Folder) {
  int N = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Folder)) ++N;
  return N;
}

class MixingRendererTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (auto Kind : {TTestMedia::RedClip, TTestMedia::BlueClip, TTestMedia::GreenJpeg})
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
    Window.setAttribute(Qt::WA_NativeWindow);
    Window.setAutoFillBackground(true);
    Window.resize(320, 240);
    Window.show();
    MakeGraph();
  }
  void TearDown() override { FreeGraph(); }

  void MakeGraph() {
    Graph = NewGraph();
    Mixer = AddWindowlessMixer(Graph, u"Video Mixing Renderer 9", HandleOf(&Window));
    ASSERT_TRUE(Mixer);
    ASSERT_EQ(S_OK, Mixer.As(Config));
    ASSERT_EQ(S_OK, Mixer.As(Windowless));
    ASSERT_EQ(S_OK, Mixer.As(MixerControl));
    ASSERT_EQ(S_OK, Mixer.As(Aspect));
    Position(Window.width(), Window.height());
  }
  void FreeGraph() {
    if (!Graph) return;
    As<IMediaControl>(Graph)->Stop();
    for (const auto& F : FiltersOf(Graph)) Graph->RemoveFilter(F.Get());
    Windowless.Reset();
    MixerControl.Reset();
    Aspect.Reset();
    Config.Reset();
    Mixer.Reset();
    Graph.Reset();
  }
  void Position(int Width, int Height) {
    const RECT Destination{0, 0, Width, Height};
    ASSERT_EQ(S_OK, Windowless->SetVideoPosition(nullptr, &Destination));
  }
  void Run() {
    ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
    WaitForState(Graph);
  }
  TFrame Current() {
    std::uint8_t* Bits = nullptr;
    LONG Width = 0, Height = 0;
    if (Windowless->GetCurrentImage(&Bits, &Width, &Height) != S_OK) return {};
    TFrame Frame{QImage(Bits, Width, Height, Width * 4, QImage::Format_ARGB32).copy()};
    delete[] Bits;
    return Frame;
  }
  // The latest frame once Check accepts it, within a generous time; the last one seen if not.
  TFrame WaitForFrame(const std::function<bool(const TFrame&)>& Check) {
    TFrame Frame;
    static_cast<void>(QTest::qWaitFor([&] {
      Frame = Current();
      return !Frame.Image.isNull() && Check(Frame);
    }, 15000));  // the caller checks the frame
    return Frame;
  }
  // Clears the graph as the program does between entries: everything but the renderer goes.
  void ClearAllButTheRenderer() {
    As<IMediaControl>(Graph)->Stop();
    for (const auto& F : FiltersOf(Graph))
      for (const auto& Pin : PinsOf(F)) Pin->Disconnect();
    for (const auto& F : FiltersOf(Graph))
      if (F.Get() != Mixer.Get()) Graph->RemoveFilter(F.Get());
  }

  QWidget Window;
  ComPtr<IGraphBuilder> Graph;
  ComPtr<IBaseFilter> Mixer;
  ComPtr<IVMRFilterConfig9> Config;
  ComPtr<IVMRWindowlessControl9> Windowless;
  ComPtr<IVMRMixerControl9> MixerControl;
  ComPtr<IVMRAspectRatioControl9> Aspect;
};
}  // namespace

TEST_F(MixingRendererTest, ASecondFileIsMixedAtItsRectangleAlphaAndZOrder) {
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  const auto Pins = PinsOf(Mixer);
  ASSERT_EQ(4u, Pins.size());
  EXPECT_TRUE(IsConnected(Pins[0]));
  EXPECT_TRUE(IsConnected(Pins[1]));  // the second file became stream 1
  EXPECT_FALSE(IsConnected(Pins[2]));
  EXPECT_TRUE(FiltersNamed(Graph, "Video Renderer").empty());

  const VMR9NormalizedRect Corner{0.5f, 0.5f, 1, 1};
  ASSERT_EQ(S_OK, MixerControl->SetOutputRect(1, &Corner));
  Run();
  // Stream 1 starts behind stream 0, which covers the whole output.
  TFrame F = WaitForFrame([](const TFrame& F) { return Near(F.AtPart(0.25, 0.25), Red); });
  EXPECT_TRUE(Near(F.AtPart(0.25, 0.25), Red)) << Describe(F.AtPart(0.25, 0.25));
  EXPECT_TRUE(Near(F.AtPart(0.75, 0.75), Red)) << Describe(F.AtPart(0.75, 0.75));

  ASSERT_EQ(S_OK, MixerControl->SetZOrder(1, 0));
  F = WaitForFrame([](const TFrame& F) { return Near(F.AtPart(0.75, 0.75), Blue); });
  EXPECT_TRUE(Near(F.AtPart(0.75, 0.75), Blue)) << Describe(F.AtPart(0.75, 0.75));
  EXPECT_TRUE(Near(F.AtPart(0.25, 0.25), Red)) << Describe(F.AtPart(0.25, 0.25));
  EXPECT_TRUE(Near(F.AtPart(0.47, 0.71), Red)) << Describe(F.AtPart(0.47, 0.71));  // just left of the corner

  ASSERT_EQ(S_OK, MixerControl->SetAlpha(1, 0.5f));
  F = WaitForFrame([](const TFrame& F) { return Near(F.AtPart(0.75, 0.75), Purple); });
  EXPECT_TRUE(Near(F.AtPart(0.75, 0.75), Purple)) << Describe(F.AtPart(0.75, 0.75));

  if (!HasDisplay()) return;  // nothing is painted
  // What the window shows is the same frame.
  TFrame Shown;
  static_cast<void>(QTest::qWaitFor([&] {
    Shown.Image = Window.grab().toImage();
    return Near(Shown.At(240, 180), Purple);
  }, 15000));
  EXPECT_TRUE(Near(Shown.At(80, 60), Red)) << Describe(Shown.At(80, 60));
  EXPECT_TRUE(Near(Shown.At(240, 180), Purple)) << Describe(Shown.At(240, 180));
}

TEST_F(MixingRendererTest, LetterBoxingLeavesBlackBarsAndStretchingNone) {
  if (!HasDisplay()) GTEST_SKIP() << "without a display the output is the picture's own size";
  Window.resize(400, 150);
  Position(400, 150);
  ASSERT_EQ(S_OK, Aspect->SetAspectRatioMode(VMR9ARMode_LetterBox));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  Run();
  // A 4:3 picture in a 400 x 150 output covers x 100..300.
  TFrame F = WaitForFrame([](const TFrame& F) { return Near(F.At(200, 75), Red); });
  ASSERT_EQ(QSize(400, 150), F.Image.size());
  EXPECT_TRUE(Near(F.At(50, 75), Black)) << Describe(F.At(50, 75));
  EXPECT_TRUE(Near(F.At(110, 75), Red)) << Describe(F.At(110, 75));
  EXPECT_TRUE(Near(F.At(350, 75), Black)) << Describe(F.At(350, 75));

  ASSERT_EQ(S_OK, Aspect->SetAspectRatioMode(VMR9ARMode_None));
  // The compositor may show one frame with the new position and the old size.
  F = WaitForFrame([](const TFrame& F) { return Near(F.At(50, 75), Red) && Near(F.At(350, 75), Red); });
  EXPECT_TRUE(Near(F.At(50, 75), Red)) << Describe(F.At(50, 75));
  EXPECT_TRUE(Near(F.At(350, 75), Red)) << Describe(F.At(350, 75));

  // A new destination re-fits the output.
  Position(200, 100);
  F = WaitForFrame([](const TFrame& F) { return F.Image.size() == QSize(200, 100); });
  EXPECT_EQ(QSize(200, 100), F.Image.size());
}

TEST_F(MixingRendererTest, StreamsAfterOthersEndedAreShownAgain) {
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  Run();
  ASSERT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000));
  ClearAllButTheRenderer();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::GreenJpeg)));
  Run();
  const TFrame F = WaitForFrame([](const TFrame& F) { return Near(F.AtPart(0.5, 0.5), Green); });
  EXPECT_TRUE(Near(F.AtPart(0.5, 0.5), Green)) << Describe(F.AtPart(0.5, 0.5));
  // And a video after the picture, played to its end.
  ClearAllButTheRenderer();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  Run();
  std::vector<LONG> Seen;
  EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000, &Seen));
  EXPECT_EQ(0, std::count(Seen.begin(), Seen.end(), EC_ERRORABORT));
}

TEST_F(MixingRendererTest, ConfigurationIsCheckedAndFixedOnceStreamsConnect) {
  EXPECT_EQ(E_INVALIDARG, Config->SetNumberOfStreams(0));
  EXPECT_EQ(E_INVALIDARG, Config->SetNumberOfStreams(17));
  ASSERT_EQ(S_OK, Config->SetNumberOfStreams(2));
  DWORD Streams = 0;
  EXPECT_EQ(S_OK, Config->GetNumberOfStreams(&Streams));
  EXPECT_EQ(2u, Streams);
  EXPECT_EQ(2u, PinsOf(Mixer).size());
  EXPECT_EQ(E_INVALIDARG, MixerControl->SetAlpha(2, 1.0f));
  EXPECT_EQ(E_INVALIDARG, MixerControl->SetAlpha(0, 1.5f));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  EXPECT_EQ(VFW_E_WRONG_STATE, Config->SetNumberOfStreams(4));
  EXPECT_EQ(VFW_E_WRONG_STATE, Config->SetRenderingMode(VMR9Mode_Windowed));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  // Played, each stream plays into a sink of its own, with or without a display.
  Run();
  int Sinks = 0;
  GstIterator* It = gst_bin_iterate_recurse(GST_BIN(ElementOf(Mixer)));
  GValue Item = G_VALUE_INIT;
  while (gst_iterator_next(It, &Item) == GST_ITERATOR_OK) {
    Sinks += g_str_equal(GST_OBJECT_NAME(gst_element_get_factory(GST_ELEMENT(g_value_get_object(&Item)))), "appsink");
    g_value_reset(&Item);
  }
  g_value_unset(&Item);
  gst_iterator_free(It);
  EXPECT_EQ(2, Sinks);
  As<IMediaControl>(Graph)->Stop();
  // Both inputs taken: a third file's video goes to a renderer of its own.
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::BlueClip)));
  EXPECT_EQ(1u, FiltersNamed(Graph, "Video Renderer").size());
}

TEST_F(MixingRendererTest, RenewedGraphsAndRenderersLeaveNoDescriptorsOrThreadsBehind) {
  const auto Cycle = [&] {
    FreeGraph();
    MakeGraph();
    ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
    Run();
    WaitForFrame([](const TFrame& F) { return Near(F.AtPart(0.25, 0.25), Red); });
  };
  for (int I = 0; I < 5; ++I) Cycle();  // what is made once (plugins, pools) is made by now
  const int Descriptors = Entries("/proc/self/fd"), Threads = Entries("/proc/self/task");
  for (int I = 0; I < 25; ++I) Cycle();
  FreeGraph();
  // Streaming threads end, and let go of what they hold, a little after the graph is freed.
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return Entries("/proc/self/fd") <= Descriptors + 2 && Entries("/proc/self/task") <= Threads + 2;
  }, 15000)) << Entries("/proc/self/fd") << " descriptors, " << Entries("/proc/self/task") << " threads; before: "
             << Descriptors << ", " << Threads;
}

TEST_F(MixingRendererTest, WithNoStreamConnectedTheLastFrameStaysAndIsFittedAgainOnResize) {
  if (!HasDisplay()) GTEST_SKIP() << "nothing is painted without a display";
  ASSERT_EQ(S_OK, Aspect->SetAspectRatioMode(VMR9ARMode_LetterBox));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  Run();
  ASSERT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000));
  ClearAllButTheRenderer();  // as between two entries: the renderer's input is unlinked
  // The window is resized and paints again: the clip's last frame, letter-boxed to the new size.
  Window.resize(400, 150);
  Position(400, 150);
  const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  TFrame Shown;
  do {
    QCoreApplication::processEvents();
    Shown.Image = Window.grab().toImage();
  } while (!(Shown.Image.width() == 400 && Near(Shown.At(200, 75), Red)) && std::chrono::steady_clock::now() < End);
  EXPECT_TRUE(Near(Shown.At(200, 75), Red)) << Describe(Shown.At(200, 75));
  EXPECT_TRUE(Near(Shown.At(110, 75), Red)) << Describe(Shown.At(110, 75));
  EXPECT_TRUE(Near(Shown.At(50, 75), Black)) << Describe(Shown.At(50, 75));
}

// On the screen: the picture fills its destination and the window's own background the rest,
// and all of it again once the renderer has left the window.
TEST_F(MixingRendererTest, AroundItsDestinationTheWindowShowsItsOwnBackground) {
  if (!HasDisplay()) GTEST_SKIP() << "nothing is painted without a display";
  QPalette Colours = Window.palette();
  Colours.setColor(QPalette::Window, Qt::blue);
  Window.setPalette(Colours);
  Position(160, 120);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::RedClip)));
  Run();
  TFrame Shown;
  const auto Screen = [&] {
    QCoreApplication::processEvents();
    Shown.Image = QGuiApplication::primaryScreen()->grabWindow(Window.winId()).toImage();
  };
  static_cast<void>(QTest::qWaitFor([&] { return Screen(), Near(Shown.At(80, 60), Red); }, 15000));
  EXPECT_TRUE(Near(Shown.At(80, 60), Red)) << Describe(Shown.At(80, 60));
  EXPECT_TRUE(Near(Shown.At(240, 60), Blue)) << Describe(Shown.At(240, 60));
  EXPECT_TRUE(Near(Shown.At(80, 180), Blue)) << Describe(Shown.At(80, 180));

  FreeGraph();
  static_cast<void>(QTest::qWaitFor([&] { return Screen(), Near(Shown.At(80, 60), Blue); }, 15000));
  EXPECT_TRUE(Near(Shown.At(80, 60), Blue)) << Describe(Shown.At(80, 60));
}

// Four players as a 2x2 wall of a picture in four colours: each shows its quarter, scaled to fill.
TEST_F(MixingRendererTest, EachTileOfAWallShowsItsQuarterOfThePicture) {
  struct TNoWallAfter {
    ~TNoWallAfter() { SetWallTile({}); }
  } NoWallAfter;
  QTemporaryDir Dir;
  QImage Quarters(160, 120, QImage::Format_RGB32);
  const TColour Colours[] = {Red, Green, Blue, {255, 255, 255}};
  for (int Q = 0; Q < 4; ++Q)
    for (int Y = 0; Y < 60; ++Y)
      for (int X = 0; X < 80; ++X)
        Quarters.setPixel(Q % 2 * 80 + X, Q / 2 * 60 + Y, qRgb(Colours[Q].R, Colours[Q].G, Colours[Q].B));
  const QString File = Dir.path() + "/quarters.png";
  ASSERT_TRUE(Quarters.save(File));
  for (int Tile = 0; Tile < 4; ++Tile) {
    SetWallTile({2, 2, Tile, 0});
    FreeGraph();
    MakeGraph();
    ASSERT_EQ(S_OK, Render(Graph, File.toStdString()));
    Run();
    const auto Filled = [&](const TFrame& F) {
      return Near(F.AtPart(0.05, 0.05), Colours[Tile]) && Near(F.AtPart(0.95, 0.95), Colours[Tile]);
    };
    const TFrame F = WaitForFrame(Filled);
    EXPECT_TRUE(Filled(F)) << "tile " << Tile << ": " << Describe(F.AtPart(0.05, 0.05)) << " to "
                           << Describe(F.AtPart(0.95, 0.95));
  }
}
