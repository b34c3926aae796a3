#include "platform/gst/GstAnimationSource.h"

#include <gst/app/gstappsrc.h>

#include <QImage>
#include <QImageReader>

namespace {
constexpr int DefaultDelayMs = 100;

// The frames in a loop; the appsrc's streaming thread only.
struct TAnimation {
  explicit TAnimation(const std::string& Path) : FileName(QString::fromStdString(Path)), Reader(FileName) {}

  // The next frame, starting again after the last one; null when nothing can be read.
  QImage Next(int* DelayMs) {
    QImage Frame = Reader.read();
    if (Frame.isNull()) {
      Reader.setFileName(FileName);  // back to the first frame
      Frame = Reader.read();
    }
    const int Delay = Reader.nextImageDelay();
    *DelayMs = Delay > 0 ? Delay : DefaultDelayMs;
    // B, G, R, x in memory on this platform: a picture with no alpha, which every mixing output
    // takes (an alpha input is refused by an output without alpha).
    return Frame.convertToFormat(QImage::Format_RGB32);
  }

  const QString FileName;
  QImageReader Reader;
  GstClockTime Time = 0;
};

void OnNeedData(GstAppSrc* Source, guint, gpointer Data) {
  auto* Animation = static_cast<TAnimation*>(Data);
  int DelayMs = 0;
  const QImage Frame = Animation->Next(&DelayMs);
  if (Frame.isNull()) {
    gst_app_src_end_of_stream(Source);
    return;
  }
  const gsize Size = gsize(Frame.sizeInBytes());
  GstBuffer* Buffer = gst_buffer_new_allocate(nullptr, Size, nullptr);
  gst_buffer_fill(Buffer, 0, Frame.constBits(), Size);
  GST_BUFFER_PTS(Buffer) = Animation->Time;
  GST_BUFFER_DURATION(Buffer) = GstClockTime(DelayMs) * GST_MSECOND;
  Animation->Time += GST_BUFFER_DURATION(Buffer);
  gst_app_src_push_buffer(Source, Buffer);
}
}  // namespace

ComPtr<TGstFilter> CreateAnimationSource(const std::string& Path) {
  QImageReader Probe(QString::fromStdString(Path));
  if (!Probe.supportsAnimation() || Probe.imageCount() == 1) return {};
  const QSize Size = Probe.size();
  if (Size.isEmpty()) return {};
  GstElement* Source = gst_element_factory_make("appsrc", nullptr);
  GstCaps* Caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT, Size.width(),
                                      "height", G_TYPE_INT, Size.height(), "framerate", GST_TYPE_FRACTION, 0, 1, nullptr);
  g_object_set(Source, "format", GST_FORMAT_TIME, "caps", Caps, "max-buffers", guint64(2), nullptr);
  GstAppSrcCallbacks Callbacks{};
  Callbacks.need_data = &OnNeedData;
  gst_app_src_set_callbacks(GST_APP_SRC(Source), &Callbacks, new TAnimation(Path),
                            [](gpointer Data) { delete static_cast<TAnimation*>(Data); });
  // appsrc answers caps queries with ANY before it has pushed; the filter answers with the
  // stream's caps, so the stream can be connected before it flows.
  GstElement* Filter = gst_element_factory_make("capsfilter", nullptr);
  g_object_set(Filter, "caps", Caps, nullptr);
  gst_caps_unref(Caps);
  GstElement* Bin = gst_bin_new(nullptr);
  gst_bin_add_many(GST_BIN(Bin), Source, Filter, nullptr);
  gst_element_link(Source, Filter);
  GstPad* Pad = gst_element_get_static_pad(Filter, "src");
  gst_element_add_pad(Bin, gst_ghost_pad_new("src", Pad));
  gst_object_unref(Pad);
  return TGstFilter::Create(Bin);
}
