#include "platform/gst/GstFrameMixer.h"

#include <gst/video/video.h>

#include <QImage>
#include <QPaintEngine>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "platform/gst/GstFrameMix.h"

namespace {
// The converter's code is SSE. Run on a thread whose earlier AVX code left the upper halves of
// the vector registers in use (the user-interface thread, after Qt's drawing), SSE code pays
// for every instruction on some processors: 2.5 times the time, measured here. Clearing them
// first costs one instruction.
void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool Avx = __builtin_cpu_supports("avx");
  if (Avx) asm volatile("vzeroupper");
#endif
}

// The image Painter writes into and where the painter's origin lies in it, when it draws
// there without scaling into pixels that are B, G, R, A bytes in memory; null otherwise.
QImage* WritableImage(QPainter& Painter, QPoint* Origin) {
  QPaintEngine* Engine = Painter.paintEngine();
  QPaintDevice* Device = Engine && Engine->type() == QPaintEngine::Raster ? Engine->paintDevice() : nullptr;
  if (!Device || Device->devType() != QInternal::Image) return nullptr;
  auto* Image = static_cast<QImage*>(Device);
  const QImage::Format Format = Image->format();
  if (Format != QImage::Format_RGB32 && Format != QImage::Format_ARGB32 && Format != QImage::Format_ARGB32_Premultiplied)
    return nullptr;
  const QTransform Transform = Painter.deviceTransform();
  if (Image->devicePixelRatio() != 1.0 || Transform.type() > QTransform::TxTranslate) return nullptr;
  *Origin = QPoint(qRound(Transform.dx()), qRound(Transform.dy()));
  return Image;
}

// The part of a Width x Height frame that Box shows within Visible.
QRect SourceOf(int Width, int Height, const QRect& Box, const QRect& Visible) {
  const double Sx = double(Width) / Box.width(), Sy = double(Height) / Box.height();
  const int X = int(std::lround((Visible.x() - Box.x()) * Sx)), Y = int(std::lround((Visible.y() - Box.y()) * Sy));
  const int W = std::max(1, int(std::lround(Visible.width() * Sx))), H = std::max(1, int(std::lround(Visible.height() * Sy)));
  return QRect(X, Y, std::min(W, Width - X), std::min(H, Height - Y));
}

// The Part of Image, whose pixels are B, G, R, A bytes, as a video frame; false if it cannot be
// mapped. The frame is unmapped with gst_video_frame_unmap.
bool MapImage(QImage& Image, const QRect& Part, GstMapFlags Flags, GstVideoInfo* Info, GstVideoFrame* Frame) {
  gst_video_info_set_format(Info, GST_VIDEO_FORMAT_BGRA, guint(Part.width()), guint(Part.height()));
  Info->stride[0] = gint(Image.bytesPerLine());
  Info->size = gsize(Info->stride[0]) * gsize(Part.height() - 1) + gsize(Part.width()) * 4;
  uchar* Corner = Image.bits() + std::ptrdiff_t(Part.y()) * Image.bytesPerLine() + std::ptrdiff_t(Part.x()) * 4;
  GstBuffer* Bits = gst_buffer_new_wrapped_full(GstMemoryFlags(0), Corner, Info->size, 0, Info->size, nullptr, nullptr);
  const bool Mapped = gst_video_frame_map(Frame, Info, Bits, Flags);
  gst_buffer_unref(Bits);  // the mapped frame holds it
  return Mapped;
}

// A black pixel as a frame, for the bars of a picture whose layers are blended by another.
GstSample* BlackSample() {
  static GstSample* const Black = [] {
    GstVideoInfo Info;
    gst_video_info_set_format(&Info, GST_VIDEO_FORMAT_BGRx, 1, 1);
    GstBuffer* Buffer = gst_buffer_new_allocate(nullptr, Info.size, nullptr);
    gst_buffer_memset(Buffer, 0, 0, Info.size);
    GstCaps* Caps = gst_video_info_to_caps(&Info);
    GstSample* Sample = gst_sample_new(Buffer, Caps, nullptr, nullptr);
    gst_caps_unref(Caps);
    gst_buffer_unref(Buffer);
    return Sample;
  }();
  return Black;
}

// One conversion step into an image whose pixels are B, G, R, A bytes, set up again only when
// what it converts from or to changes.
class TConverter {
public:
  TConverter() = default;
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;
  ~TConverter() {
    if (FConverter) gst_video_converter_free(FConverter);
  }

  // Converts the Source part of Frame (described by In) into the Dest part of Target. Only Dest
  // is written: the converter writes whole lines of its output, so its output is that part alone.
  void Run(const GstVideoInfo& In, GstVideoFrame* Frame, const QRect& Source, QImage& Target, const QRect& Dest) {
    GstVideoInfo Out;
    GstVideoFrame Written;
    if (!MapImage(Target, Dest, GST_MAP_WRITE, &Out, &Written)) return;
    Out.fps_n = In.fps_n;  // the converter converts pictures, not rates
    Out.fps_d = In.fps_d;
    if (!FConverter || !gst_video_info_is_equal(&In, &FIn) || !gst_video_info_is_equal(&Out, &FOut) || Source != FSource)
      Prepare(In, Out, Source);
    ClearUpperVectorState();
    gst_video_converter_frame(FConverter, Frame, &Written);
    gst_video_frame_unmap(&Written);
  }

private:
  void Prepare(const GstVideoInfo& In, const GstVideoInfo& Out, const QRect& Source) {
    if (FConverter) gst_video_converter_free(FConverter);
    // Bilinear from the two nearest pixels, as a video scaler does by default (the resampler
    // would otherwise widen its filter by the scale). Chroma is taken as it is sited instead of
    // filtered first, which halves the cost; the scaling filters it anyway. No dithering into
    // 8-bit colours. Alpha is set opaque: the picture is drawn over black, not blended in by it.
    GstStructure* Options = gst_structure_new(
        "GstVideoConverter", GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
        GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_RESAMPLER_OPT_MAX_TAPS, G_TYPE_INT, 2,
        GST_VIDEO_CONVERTER_OPT_CHROMA_MODE, GST_TYPE_VIDEO_CHROMA_MODE, GST_VIDEO_CHROMA_MODE_NONE,
        GST_VIDEO_CONVERTER_OPT_ALPHA_MODE, GST_TYPE_VIDEO_ALPHA_MODE, GST_VIDEO_ALPHA_MODE_SET,
        GST_VIDEO_CONVERTER_OPT_DITHER_METHOD,
        GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_NONE,
        GST_VIDEO_CONVERTER_OPT_SRC_X, G_TYPE_INT, Source.x(), GST_VIDEO_CONVERTER_OPT_SRC_Y, G_TYPE_INT, Source.y(),
        GST_VIDEO_CONVERTER_OPT_SRC_WIDTH, G_TYPE_INT, Source.width(), GST_VIDEO_CONVERTER_OPT_SRC_HEIGHT, G_TYPE_INT,
        Source.height(), nullptr);
    FConverter = gst_video_converter_new(const_cast<GstVideoInfo*>(&In), const_cast<GstVideoInfo*>(&Out), Options);
    FIn = In;
    FOut = Out;
    FSource = Source;
  }

  GstVideoConverter* FConverter = nullptr;
  GstVideoInfo FIn{}, FOut{};
  QRect FSource;
};
}  // namespace

// One layer's conversion: colours and scale, and the images it keeps from one frame to the next.
class TGstFrameMixer::TConversion {
public:
  ~TConversion() { Forget(); }

  // Converts the Source part of Frame (described by In, its caps) into the Dest part of
  // Target, whose pixels are B, G, R, A bytes.
  void Run(const GstVideoInfo& In, GstVideoFrame* Frame, const QRect& Source, QImage& Target, const QRect& Dest) {
    if (qint64(Dest.width()) * Dest.height() <= qint64(Source.width()) * Source.height())
      return FColours.Run(In, Frame, Source, Target, Dest);
    // Enlarged, colours are converted at the frame's size and the converted picture scaled: the
    // conversion then runs over the fewer pixels (a quarter less time from 720 to 1080 lines).
    if (FStage.size() != Source.size()) FStage = QImage(Source.size(), QImage::Format_RGB32);
    FColours.Run(In, Frame, Source, FStage, FStage.rect());
    GstVideoInfo Staged;
    GstVideoFrame StagedFrame;
    if (!MapImage(FStage, FStage.rect(), GST_MAP_READ, &Staged, &StagedFrame)) return;
    FScale.Run(Staged, &StagedFrame, FStage.rect(), Target, Dest);
    gst_video_frame_unmap(&StagedFrame);
  }

  // The Source part of Sample converted into an image of Size, kept from one call to the next:
  // converted again only when the frame, the part or the size changed. Null when the frame
  // cannot be read.
  const QImage* Converted(GstSample* Sample, const GstVideoInfo& In, const QRect& Source, const QSize& Size) {
    if (FImage.size() == Size && Source == FImageSource && SameFrame(Sample, FImageSample)) return &FImage;
    Forget();
    GstVideoFrame Frame;
    if (!gst_video_frame_map(&Frame, &In, gst_sample_get_buffer(Sample), GST_MAP_READ)) return nullptr;
    // Opaque, so the painter blends it in without converting it first.
    if (FImage.size() != Size) FImage = QImage(Size, QImage::Format_RGB32);
    Run(In, &Frame, Source, FImage, FImage.rect());
    gst_video_frame_unmap(&Frame);
    FImageSample = gst_sample_ref(Sample);
    FImageSource = Source;
    return &FImage;
  }

private:
  void Forget() {
    if (FImageSample) gst_sample_unref(FImageSample);
    FImageSample = nullptr;
  }

  TConverter FColours, FScale;
  QImage FStage;  // the frame's part at its own size, for enlarging
  QImage FImage;  // the frame FImageSample's part FImageSource, converted
  GstSample* FImageSample = nullptr;
  QRect FImageSource;
};

TGstPicture::TGstPicture(TGstPicture&& Other) noexcept
    : Output(Other.Output),
      Area(Other.Area),
      Layers(std::move(Other.Layers)),
      Outgoing(std::move(Other.Outgoing)),
      Level(Other.Level),
      ThroughBlack(Other.ThroughBlack) {
  Other.Layers.clear();
}

TGstPicture& TGstPicture::operator=(TGstPicture&& Other) noexcept {
  std::swap(Output, Other.Output);
  std::swap(Area, Other.Area);
  std::swap(Layers, Other.Layers);
  std::swap(Outgoing, Other.Outgoing);
  std::swap(Level, Other.Level);
  std::swap(ThroughBlack, Other.ThroughBlack);
  return *this;
}

float TGstPicture::OutgoingOpacity() const { return ThroughBlack ? std::max(0.0f, 1 - 2 * Level) : 1.0f; }

float TGstPicture::Opacity() const {
  if (!Outgoing) return 1.0f;
  return ThroughBlack ? std::max(0.0f, 2 * Level - 1) : Level;
}

void TGstPicture::Flatten() {
  if (!Outgoing) return;
  std::vector<TGstLayer> All = std::move(Outgoing->Layers);
  Outgoing->Layers.clear();
  for (TGstLayer& Layer : All) Layer.Alpha *= OutgoingOpacity();
  // This picture's black bars come over the outgoing one as its frames do.
  const QRect Shown = Layers.empty() ? QRect() : Area;
  for (const QRect& Bar : QRegion(QRect(QPoint(), Output)).subtracted(Shown))
    All.push_back({gst_sample_ref(BlackSample()), Bar, Opacity()});
  for (TGstLayer Layer : Layers) {
    Layer.Alpha *= Opacity();
    All.push_back(Layer);
  }
  Layers = std::move(All);
  Outgoing.reset();
}

TGstPicture::~TGstPicture() {
  for (const TGstLayer& Layer : Layers) gst_sample_unref(Layer.Sample);
}

TGstFrameMixer::TGstFrameMixer() = default;

TGstFrameMixer::~TGstFrameMixer() {
  if (FMixed) gst_buffer_unref(FMixed);
}

void TGstFrameMixer::Draw(QPainter& Painter, const QRect& Clip, const std::vector<TGstLayer>& Layers,
                          std::size_t First, bool Back) {
  QPoint Origin;
  QImage* Direct = WritableImage(Painter, &Origin);
  QRect Allowed = Clip;
  // Written directly, the image is only written where the painter may paint.
  if (const QRegion System = Direct ? Painter.paintEngine()->systemClip() : QRegion(); !System.isEmpty())
    Allowed &= System.boundingRect().translated(-Origin);
  while (FConversions.size() < First + Layers.size()) FConversions.push_back(std::make_unique<TConversion>());
  // While nothing is drawn yet, a frame may be written straight into the image.
  for (std::size_t I = 0; I < Layers.size(); ++I) {
    const TGstLayer& Layer = Layers[I];
    const QRect Visible = Layer.Box & Allowed;
    GstCaps* Caps = Layer.Sample ? gst_sample_get_caps(Layer.Sample) : nullptr;
    GstBuffer* Buffer = Layer.Sample ? gst_sample_get_buffer(Layer.Sample) : nullptr;
    GstVideoInfo In;
    if (Visible.isEmpty() || Layer.Alpha <= 0.0f || !Caps || !Buffer || !gst_video_info_from_caps(&In, Caps)) continue;
    const QRect Source = SourceOf(int(In.width), int(In.height), Layer.Box, Visible);
    TConversion& Conversion = *FConversions[First + I];
    if (Direct && Back && Layer.Alpha >= 1.0f) {
      GstVideoFrame Frame;
      if (!gst_video_frame_map(&Frame, &In, Buffer, GST_MAP_READ)) continue;
      Conversion.Run(In, &Frame, Source, *Direct, Visible.translated(Origin));
      gst_video_frame_unmap(&Frame);
    } else if (const QImage* Image = Conversion.Converted(Layer.Sample, In, Source, Visible.size())) {
      Painter.setOpacity(Layer.Alpha);
      Painter.drawImage(Visible.topLeft(), *Image);
      Painter.setOpacity(1.0);
    } else {
      continue;
    }
    Back = false;
  }
}

void TGstFrameMixer::Draw(QPainter& Painter, const QRect& Target, const TGstPicture& Picture) {
  if (!Picture.Outgoing) return DrawOne(Painter, Target, Picture, 1.0f, 0, true);
  if (!Picture.ThroughBlack && DrawMixed(Painter, Target, Picture)) return;
  // The picture going out, then this one over it at its opacity; converters kept apart.
  if (Picture.ThroughBlack) Painter.fillRect(Target, Qt::black);
  if (const float Out = Picture.OutgoingOpacity(); Out > 0)
    DrawOne(Painter, Target, *Picture.Outgoing, Out, 0, !Picture.ThroughBlack);
  if (const float In = Picture.Opacity(); In > 0)
    DrawOne(Painter, Target, Picture, In, Picture.Outgoing->Layers.size(), false);
}

bool TGstFrameMixer::DrawMixed(QPainter& Painter, const QRect& Target, const TGstPicture& Picture) {
  const TGstPicture& Outgoing = *Picture.Outgoing;
  QPoint Origin;
  if (Picture.Layers.size() != 1 || Outgoing.Layers.size() != 1 || Picture.Area != Outgoing.Area ||
      !WritableImage(Painter, &Origin))
    return false;
  const TGstLayer &Out = Outgoing.Layers[0], &In = Picture.Layers[0];
  GstVideoInfo OutInfo, InInfo;
  if (Out.Box != In.Box || Out.Alpha < 1.0f || In.Alpha < 1.0f || !gst_video_info_from_caps(&OutInfo, gst_sample_get_caps(Out.Sample)) ||
      !gst_video_info_from_caps(&InInfo, gst_sample_get_caps(In.Sample)) || !Mixable(OutInfo, InInfo))
    return false;
  if (!FMixed || gst_buffer_get_size(FMixed) != OutInfo.size) {
    if (FMixed) gst_buffer_unref(FMixed);
    FMixed = gst_buffer_new_allocate(nullptr, OutInfo.size, nullptr);
  }
  GstVideoFrame OutFrame, InFrame, Mixed;
  if (!gst_video_frame_map(&OutFrame, &OutInfo, gst_sample_get_buffer(Out.Sample), GST_MAP_READ)) return false;
  bool Done = false;
  if (gst_video_frame_map(&InFrame, &InInfo, gst_sample_get_buffer(In.Sample), GST_MAP_READ)) {
    if (gst_video_frame_map(&Mixed, &OutInfo, FMixed, GST_MAP_WRITE)) {
      MixFrames(OutFrame, InFrame, Picture.Level, Mixed);
      gst_video_frame_unmap(&Mixed);
      Done = true;
    }
    gst_video_frame_unmap(&InFrame);
  }
  gst_video_frame_unmap(&OutFrame);
  if (!Done) return false;
  // Drawn as the outgoing frame was, with its converter.
  TGstPicture Both;
  Both.Output = Picture.Output;
  Both.Area = Picture.Area;
  Both.Layers.push_back({gst_sample_new(FMixed, gst_sample_get_caps(Out.Sample), nullptr, nullptr), In.Box, 1.0f});
  DrawOne(Painter, Target, Both, 1.0f, 0, true);
  return true;
}

void TGstFrameMixer::DrawOne(QPainter& Painter, const QRect& Target, const TGstPicture& Picture, float Opacity,
                             std::size_t First, bool Back) {
  // Black where no picture is: the bars, or all of it before the first frame.
  const QRect Area = Picture.Layers.empty() ? QRect() : Picture.Area.translated(Target.topLeft());
  Painter.setOpacity(Opacity);
  for (const QRect& Bar : QRegion(Target).subtracted(Area)) Painter.fillRect(Bar, Qt::black);
  Painter.setOpacity(1.0);
  std::vector<TGstLayer> Layers = Picture.Layers;
  for (TGstLayer& Layer : Layers) {
    Layer.Box.translate(Target.topLeft());
    Layer.Alpha *= Opacity;
  }
  Draw(Painter, Target, Layers, First, Back);
}

QSize PictureSizeOf(GstCaps* Caps) {
  GstVideoInfo Info;
  if (!Caps || !gst_video_info_from_caps(&Info, Caps)) return {};
  const int Width = GST_VIDEO_INFO_PAR_D(&Info) > 0 ? int(gint64(Info.width) * Info.par_n / Info.par_d) : Info.width;
  return QSize(Width, Info.height);
}

bool SameFrame(GstSample* A, GstSample* B) {
  if (A == B) return true;
  GstBuffer* X = A ? gst_sample_get_buffer(A) : nullptr;
  GstBuffer* Y = B ? gst_sample_get_buffer(B) : nullptr;
  if (!X || !Y) return false;
  if (X == Y) return true;
  const guint Memories = gst_buffer_n_memory(X);
  if (Memories == 0 || Memories != gst_buffer_n_memory(Y) || !gst_caps_is_equal(gst_sample_get_caps(A), gst_sample_get_caps(B)))
    return false;
  for (guint M = 0; M < Memories; ++M)
    if (gst_buffer_peek_memory(X, M) != gst_buffer_peek_memory(Y, M)) return false;
  return true;
}
