#include <gtest/gtest.h>

#include <QImage>

#include "platform/gst/GstWindowPainter.h"

namespace {
// An image as a window on a dense screen is to a painter: sized in logical units, with Ratio
// times as many pixels.
class TDenseImage : public QImage {
public:
  TDenseImage(const QSize& Logical, qreal Ratio) : QImage(Logical * Ratio, QImage::Format_RGB32) {
    setDevicePixelRatio(Ratio);
  }

protected:
  int metric(PaintDeviceMetric Metric) const override {
    if (Metric == PdmWidth) return qRound(QImage::width() / devicePixelRatio());
    if (Metric == PdmHeight) return qRound(QImage::height() / devicePixelRatio());
    return QImage::metric(Metric);
  }
};
}  // namespace

// On a dense screen the renderer's picture is composed in the device's pixels, to be drawn
// pixel for pixel rather than enlarged from the logical size.
TEST(WindowPainter, ComposesThePictureInTheDevicesPixels) {
  QSize Asked;
  TGstWindowPainter Painter([&Asked](const QSize& Size) {
    Asked = Size;
    TGstPicture Picture;
    Picture.Output = Size;
    Picture.Area = QRect(QPoint(), Size);
    return Picture;
  });
  for (const qreal Ratio : {1.0, 1.5, 2.0}) {
    TDenseImage Device(QSize(300, 240), Ratio);
    Painter.Paint(&Device);
    EXPECT_EQ(Asked, QSize(300, 240) * Ratio) << "at " << Ratio;
    Painter.SetDestination(QRect(10, 20, 100, 60));
    Painter.Paint(&Device);
    EXPECT_EQ(Asked, QSize(100, 60) * Ratio) << "at " << Ratio;
    Painter.SetDestination(QRect());
  }
}
