#include "platform/gst/GstWindowSink.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QEvent>
#include <QPaintDevice>
#include <QPainter>
#include <cstring>

#include "platform/gst/GstRenderers.h"

// Shared with the sinks' streaming threads.
struct TGstWindowSink::TStore {
  std::mutex Lock;
  GstSample* Latest = nullptr;
  TGstWindowSink* Owner = nullptr;      // cleared by the owner before it goes; null when nothing is painted
  std::atomic<bool> RepaintAsked{false};  // one repaint request in flight at most

  ~TStore() {
    if (Latest) gst_sample_unref(Latest);
  }

  void Keep(GstSample* Sample) {
    std::lock_guard Guard(Lock);
    if (Latest) gst_sample_unref(Latest);
    Latest = Sample;
    if (Owner && !RepaintAsked.exchange(true)) {
      TGstWindowSink* Target = Owner;
      QMetaObject::invokeMethod(Target, [Target] {
        Target->FStore->RepaintAsked = false;
        if (Target->FWindow) QMetaObject::invokeMethod(Target->FWindow, "update");
      }, Qt::QueuedConnection);
    }
  }
};

namespace {
// Converts Frame into Image, which has its size, in BGRA.
void Convert(GstVideoFrame* Frame, QImage& Image) {
  GstVideoInfo Out;
  gst_video_info_set_format(&Out, GST_VIDEO_FORMAT_BGRA, guint(Image.width()), guint(Image.height()));
  Out.fps_n = Frame->info.fps_n;  // the converter converts pictures, not rates
  Out.fps_d = Frame->info.fps_d;
  Out.stride[0] = gint(Image.bytesPerLine());
  Out.size = gsize(Image.sizeInBytes());
  GstBuffer* Bits = gst_buffer_new_wrapped_full(GstMemoryFlags(0), Image.bits(), Out.size, 0, Out.size, nullptr, nullptr);
  GstVideoFrame Target;
  if (gst_video_frame_map(&Target, &Out, Bits, GST_MAP_WRITE)) {
    GstVideoConverter* Converter = gst_video_converter_new(&Frame->info, &Out, nullptr);
    gst_video_converter_frame(Converter, Frame, &Target);
    gst_video_converter_free(Converter);
    gst_video_frame_unmap(&Target);
  }
  gst_buffer_unref(Bits);
}

// The frame in a sample as a BGRA image of its own; null when the sample holds no video.
QImage ImageOf(GstSample* Sample) {
  GstVideoInfo Info;
  if (!gst_video_info_from_caps(&Info, gst_sample_get_caps(Sample))) return {};
  GstVideoFrame Frame;
  if (!gst_video_frame_map(&Frame, &Info, gst_sample_get_buffer(Sample), GST_MAP_READ)) return {};
  // Format_ARGB32 is B, G, R, A in memory on this little-endian platform.
  QImage Image(GST_VIDEO_FRAME_WIDTH(&Frame), GST_VIDEO_FRAME_HEIGHT(&Frame), QImage::Format_ARGB32);
  if (GST_VIDEO_FRAME_FORMAT(&Frame) == GST_VIDEO_FORMAT_BGRA) {
    const auto* Plane = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&Frame, 0));
    const gint Stride = GST_VIDEO_FRAME_PLANE_STRIDE(&Frame, 0);
    for (int Y = 0; Y < Image.height(); ++Y)
      std::memcpy(Image.scanLine(Y), Plane + std::ptrdiff_t(Y) * Stride, std::size_t(Image.width()) * 4);
  } else {
    Convert(&Frame, Image);
  }
  gst_video_frame_unmap(&Frame);
  return Image;
}

GstFlowReturn OnSample(GstAppSink* Sink, gpointer Data) {
  if (GstSample* Sample = gst_app_sink_pull_sample(Sink)) (*static_cast<std::shared_ptr<TGstWindowSink::TStore>*>(Data))->Keep(Sample);
  return GST_FLOW_OK;
}

GstFlowReturn OnPreroll(GstAppSink* Sink, gpointer Data) {
  if (GstSample* Sample = gst_app_sink_pull_preroll(Sink)) (*static_cast<std::shared_ptr<TGstWindowSink::TStore>*>(Data))->Keep(Sample);
  return GST_FLOW_OK;
}
}  // namespace

TGstWindowSink::TGstWindowSink() : FPainting(HasDisplay()), FStore(std::make_shared<TStore>()) {
  // With no display the frames are only kept, and no window is asked to repaint for them.
  if (FPainting) FStore->Owner = this;
}

TGstWindowSink::~TGstWindowSink() {
  SetWindow(nullptr);
  std::lock_guard Guard(FStore->Lock);
  FStore->Owner = nullptr;
}

GstElement* TGstWindowSink::CreateSink() {
  GstElement* Sink = gst_element_factory_make("appsink", nullptr);
  // Late frames are dropped as a video sink drops them, and say so upstream.
  g_object_set(Sink, "sync", TRUE, "max-lateness", gint64(20 * GST_MSECOND), "qos", TRUE, "enable-last-sample", FALSE,
               "max-buffers", guint(1), "drop", TRUE, nullptr);
  GstAppSinkCallbacks Callbacks{};
  Callbacks.new_sample = &OnSample;
  Callbacks.new_preroll = &OnPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(Sink), &Callbacks, new std::shared_ptr<TStore>(FStore),
                             [](gpointer Data) { delete static_cast<std::shared_ptr<TStore>*>(Data); });
  return Sink;
}

void TGstWindowSink::SetWindow(QObject* Window) {
  if (Window == FWindow) return;
  if (FWindow) {
    FWindow->removeEventFilter(this);
    QMetaObject::invokeMethod(FWindow, "update");
  }
  FWindow = Window;
  if (FWindow) FWindow->installEventFilter(this);
}

void TGstWindowSink::SetDestination(const QRect& Destination) {
  FDestination = Destination;
  if (FWindow) QMetaObject::invokeMethod(FWindow, "update");
}

GstSample* TGstWindowSink::LatestSample() const {
  std::lock_guard Guard(FStore->Lock);
  return FStore->Latest ? gst_sample_ref(FStore->Latest) : nullptr;
}

QImage TGstWindowSink::CurrentFrame() const {
  GstSample* Sample = LatestSample();
  if (!Sample) return {};
  QImage Image = ImageOf(Sample);
  gst_sample_unref(Sample);
  return Image;
}

bool TGstWindowSink::eventFilter(QObject* Watched, QEvent* Event) {
  // The window's background is painted before its paint event reaches the filter; the frame
  // goes over it, and the window's own painting after it. A window of our own paints itself.
  if (Watched == FWindow && Event->type() == QEvent::Paint && !Watched->isWindowType() && FPainting)
    if (auto* Device = dynamic_cast<QPaintDevice*>(Watched)) Paint(Device);
  return false;
}

void TGstWindowSink::Paint(QPaintDevice* Device) {
  const QImage Image = CurrentFrame();
  if (!Image.isNull()) {
    const QRect Target = FDestination.isEmpty() ? QRect(0, 0, Device->width(), Device->height()) : FDestination;
    QPainter Painter(Device);
    // A frame of another size (the window was just resized) is scaled until the next one fits.
    if (Image.size() == Target.size())
      Painter.drawImage(Target.topLeft(), Image);
    else
      Painter.drawImage(Target, Image);
  }
}
