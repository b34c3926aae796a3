// Drawing decoded frames into a painter's device: into an image the painter writes directly,
// and through the painter where it cannot (a pixmap, an image of another pixel format).
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

#include "platform/gst/GstFrameMixer.h"

namespace {
struct TYuv {
  guint8 Y, U, V;
};
// BT.601, studio range.
constexpr TYuv Red{81, 90, 240}, Blue{41, 240, 110};

// A 32 x 24 I420 frame, Left on the left half and Right on the right half.
GstSample* Frame(TYuv Left, TYuv Right) {
  GstVideoInfo Info;
  gst_video_info_set_format(&Info, GST_VIDEO_FORMAT_I420, 32, 24);
  GstBuffer* Buffer = gst_buffer_new_allocate(nullptr, Info.size, nullptr);
  GstVideoFrame Map;
  gst_video_frame_map(&Map, &Info, Buffer, GST_MAP_WRITE);
  for (guint Plane = 0; Plane < 3; ++Plane) {
    auto* Bits = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&Map, Plane));
    const int Stride = GST_VIDEO_FRAME_PLANE_STRIDE(&Map, Plane);
    const int Width = GST_VIDEO_FRAME_COMP_WIDTH(&Map, Plane), Height = GST_VIDEO_FRAME_COMP_HEIGHT(&Map, Plane);
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X) {
        const TYuv& C = X < Width / 2 ? Left : Right;
        Bits[Y * Stride + X] = Plane == 0 ? C.Y : Plane == 1 ? C.U : C.V;
      }
  }
  gst_video_frame_unmap(&Map);
  GstCaps* Caps = gst_video_info_to_caps(&Info);
  GstSample* Sample = gst_sample_new(Buffer, Caps, nullptr, nullptr);
  gst_caps_unref(Caps);
  gst_buffer_unref(Buffer);
  return Sample;
}

bool Near(QRgb Seen, int R, int G, int B) {
  return std::abs(qRed(Seen) - R) < 40 && std::abs(qGreen(Seen) - G) < 40 && std::abs(qBlue(Seen) - B) < 40;
}

// Draws Layers into a 100 x 60 green device of each kind and hands the result to Check.
void OnEachDevice(const std::vector<TGstLayer>& Layers, const std::function<void(const QImage&, const char*)>& Check) {
  TGstFrameMixer Mixer;  // one mixer for all: its converters are set up again for each device
  const QRect Clip(0, 0, 100, 60);
  for (const QImage::Format Format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32, QImage::Format_RGB16}) {
    QImage Image(Clip.size(), Format);
    Image.fill(Qt::green);
    QPainter Painter(&Image);
    Mixer.Draw(Painter, Clip, Layers);
    Painter.end();
    Check(Image.convertToFormat(QImage::Format_RGB32), Format == QImage::Format_RGB16 ? "16-bit image" : "image");
  }
  QPixmap Pixmap(Clip.size());
  Pixmap.fill(Qt::green);
  QPainter Painter(&Pixmap);
  Mixer.Draw(Painter, Clip, Layers);
  Painter.end();
  Check(Pixmap.toImage().convertToFormat(QImage::Format_RGB32), "pixmap");
}
}  // namespace

TEST(FrameMixer, AFrameCoversItsBoxAndLeavesEverythingAroundIt) {
  GstSample* Red2 = Frame(Red, Red);
  OnEachDevice({{Red2, QRect(20, 10, 40, 30), 1.0f}}, [](const QImage& I, const char* On) {
    for (const QPoint P : {QPoint(20, 10), QPoint(59, 39), QPoint(40, 25)})
      EXPECT_TRUE(Near(I.pixel(P), 255, 0, 0)) << On << " inside at " << P.x() << "," << P.y();
    // Just outside on every side, and on the same lines as the box.
    for (const QPoint P : {QPoint(19, 25), QPoint(60, 25), QPoint(40, 9), QPoint(40, 40), QPoint(0, 25), QPoint(99, 25)})
      EXPECT_TRUE(Near(I.pixel(P), 0, 255, 0)) << On << " outside at " << P.x() << "," << P.y();
  });
  gst_sample_unref(Red2);
}

TEST(FrameMixer, ABoxReachingBeyondTheClipShowsThePartOfTheFrameThatFallsWithin) {
  GstSample* RedBlue = Frame(Red, Blue);
  // Twice the clip's width, starting half of it to the left: only the frame's right half shows.
  OnEachDevice({{RedBlue, QRect(-100, 0, 200, 60), 1.0f}}, [](const QImage& I, const char* On) {
    EXPECT_TRUE(Near(I.pixel(5, 30), 0, 0, 255)) << On;
    EXPECT_TRUE(Near(I.pixel(95, 30), 0, 0, 255)) << On;
  });
  gst_sample_unref(RedBlue);
}

TEST(FrameMixer, LayersAreDrawnBackToFrontAtTheirOpacity) {
  GstSample* Red2 = Frame(Red, Red);
  GstSample* Blue2 = Frame(Blue, Blue);
  const std::vector<TGstLayer> Layers{{Red2, QRect(0, 0, 100, 60), 1.0f}, {Blue2, QRect(50, 30, 50, 30), 0.5f}};
  OnEachDevice(Layers, [](const QImage& I, const char* On) {
    EXPECT_TRUE(Near(I.pixel(25, 15), 255, 0, 0)) << On;
    EXPECT_TRUE(Near(I.pixel(75, 45), 128, 0, 128)) << On;
  });
  // An opaque layer in front hides the one behind it.
  OnEachDevice({{Blue2, QRect(0, 0, 100, 60), 1.0f}, {Red2, QRect(0, 0, 100, 60), 1.0f}},
               [](const QImage& I, const char* On) { EXPECT_TRUE(Near(I.pixel(50, 30), 255, 0, 0)) << On; });
  gst_sample_unref(Red2);
  gst_sample_unref(Blue2);
}

// One mixer drawing a layer enlarged, reduced and enlarged again keeps each half of the frame
// in its place, drawn straight into the image and blended in through the painter alike.
TEST(FrameMixer, EnlargingAndReducingInTurnPlaceThePictureAlike) {
  GstSample* RedBlue = Frame(Red, Blue);
  TGstFrameMixer Mixer;
  for (const float Alpha : {1.0f, 0.99f})
    for (const QRect& Box : {QRect(0, 0, 100, 60), QRect(10, 10, 16, 12), QRect(0, 0, 100, 60)}) {
      QImage Image(100, 60, QImage::Format_RGB32);
      Image.fill(Qt::green);
      QPainter Painter(&Image);
      Mixer.Draw(Painter, Image.rect(), {{RedBlue, Box, Alpha}});
      Painter.end();
      const int Y = Box.center().y(), Quarter = Box.width() / 4;
      EXPECT_TRUE(Near(Image.pixel(Box.left() + Quarter, Y), 255, 0, 0)) << Box.width() << " at " << Alpha;
      EXPECT_TRUE(Near(Image.pixel(Box.right() - Quarter, Y), 0, 0, 255)) << Box.width() << " at " << Alpha;
    }
  gst_sample_unref(RedBlue);
}

// A layer blended in through the painter keeps its converted picture while its frame stays the
// same (also a still picture handed on in new buffers), and follows every new frame.
TEST(FrameMixer, AKeptLayerFollowsItsFrameAndAStillPictureStaysTheSame) {
  GstSample* Red2 = Frame(Red, Red);
  GstSample* Blue2 = Frame(Blue, Blue);
  GstBuffer* Again = gst_buffer_copy(gst_sample_get_buffer(Blue2));  // the same memory in a new buffer
  GstSample* BlueAgain = gst_sample_new(Again, gst_sample_get_caps(Blue2), nullptr, nullptr);
  gst_buffer_unref(Again);
  EXPECT_TRUE(SameFrame(Blue2, BlueAgain));
  EXPECT_FALSE(SameFrame(Blue2, Red2));
  TGstFrameMixer Mixer;
  for (const auto& [Sample, R, B] : {std::tuple{Red2, 255, 0}, {Blue2, 0, 255}, {BlueAgain, 0, 255}, {Red2, 255, 0}}) {
    QImage Image(100, 60, QImage::Format_RGB32);
    Image.fill(Qt::black);
    QPainter Painter(&Image);
    Mixer.Draw(Painter, Image.rect(), {{Sample, QRect(20, 10, 40, 30), 0.99f}});
    Painter.end();
    EXPECT_TRUE(Near(Image.pixel(40, 25), R, 0, B)) << "red " << R;
  }
  gst_sample_unref(BlueAgain);
  gst_sample_unref(Red2);
  gst_sample_unref(Blue2);
}

// A cross-fade of two frames of one format and size, mixed before converting where the painter
// writes an image directly, shows the same as the two drawn one over the other elsewhere.
TEST(FrameMixer, ACrossFadeMixesTheTwoPicturesByItsLevelOnEveryDevice) {
  GstSample* RedBlue = Frame(Red, Blue);
  GstSample* BlueRed = Frame(Blue, Red);
  const QRect Whole(0, 0, 100, 60);
  TGstPicture Picture;
  Picture.Output = Whole.size();
  Picture.Area = Whole;
  Picture.Layers = {{gst_sample_ref(BlueRed), Whole, 1.0f}};
  Picture.Outgoing = std::make_unique<TGstPicture>();
  Picture.Outgoing->Output = Whole.size();
  Picture.Outgoing->Area = Whole;
  Picture.Outgoing->Layers = {{gst_sample_ref(RedBlue), Whole, 1.0f}};
  TGstFrameMixer Mixer;
  for (const float Level : {0.0f, 0.25f, 1.0f})
    for (const QImage::Format Format : {QImage::Format_RGB32, QImage::Format_RGB16}) {
      Picture.Level = Level;
      QImage Image(Whole.size(), Format);
      Image.fill(Qt::green);
      QPainter Painter(&Image);
      Mixer.Draw(Painter, Whole, Picture);
      Painter.end();
      const QImage Seen = Image.convertToFormat(QImage::Format_RGB32);
      const int Red = int(std::lround(255 * (1 - Level))), Blue = 255 - Red;
      EXPECT_TRUE(Near(Seen.pixel(20, 30), Red, 0, Blue)) << Level << " left, format " << Format;
      EXPECT_TRUE(Near(Seen.pixel(80, 30), Blue, 0, Red)) << Level << " right, format " << Format;
    }
  gst_sample_unref(RedBlue);
  gst_sample_unref(BlueRed);
}

// Flattened for a window that blends layer by layer, a letter-boxed picture coming in brings its
// black bars over the picture going out as it brings its frame.
TEST(FrameMixer, AFlattenedCrossFadeFadesTheIncomingBarsIn) {
  const QRect Whole(0, 0, 100, 60), Middle(25, 0, 50, 60);
  TGstPicture Picture;
  Picture.Output = Whole.size();
  Picture.Area = Middle;
  Picture.Layers = {{Frame(Blue, Blue), Middle, 1.0f}};
  Picture.Outgoing = std::make_unique<TGstPicture>();
  Picture.Outgoing->Area = Whole;
  Picture.Outgoing->Layers = {{Frame(Red, Red), Whole, 1.0f}};
  Picture.Level = 0.5f;
  Picture.Flatten();
  QImage Image(Whole.size(), QImage::Format_RGB32);
  Image.fill(Qt::black);
  QPainter Painter(&Image);
  TGstFrameMixer().Draw(Painter, Whole, Picture.Layers);
  Painter.end();
  for (const int X : {10, 90}) EXPECT_TRUE(Near(Image.pixel(X, 30), 128, 0, 0)) << "bar at " << X;
  EXPECT_TRUE(Near(Image.pixel(50, 30), 128, 0, 128));
}
