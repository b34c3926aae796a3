#include "platform/gst/GstGlWindow.h"

#include <gst/video/video.h>

#include <QEvent>
#include <QImage>
#include <QPainter>

namespace {
constexpr GLuint PositionAt = 0, TextureAt = 1;

const char* const VertexShader = R"(
attribute vec2 Position;
attribute vec2 Texture;
varying vec2 Coord;
void main() {
  gl_Position = vec4(Position, 0.0, 1.0);
  Coord = Texture;
})";

// Y, Cb and Cr from planes of their own, each texture as wide as its plane's stride.
const char* const YuvShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec2 Coord;
uniform sampler2D Plane0, Plane1, Plane2;
uniform vec2 Scale0, Scale1, Scale2;
uniform vec3 Offset, Range;
uniform mat3 ToRgb;
uniform float Alpha;
void main() {
  vec3 Yuv = vec3(texture2D(Plane0, Coord * Scale0).r, texture2D(Plane1, Coord * Scale1).r,
                  texture2D(Plane2, Coord * Scale2).r);
  gl_FragColor = vec4(clamp(ToRgb * ((Yuv - Offset) * Range), 0.0, 1.0), Alpha);
})";

// B, G, R, A bytes uploaded as R, G, B, A.
const char* const RgbShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec2 Coord;
uniform sampler2D Plane0;
uniform vec2 Scale0;
uniform float Alpha;
void main() {
  gl_FragColor = vec4(texture2D(Plane0, Coord * Scale0).bgr, Alpha);
})";

// Whether the frame's components lie in three 8-bit planes of their own (I420, YV12, Y444, ...).
bool ThreePlanes(const GstVideoInfo& Info) {
  return GST_VIDEO_INFO_IS_YUV(&Info) && GST_VIDEO_INFO_N_PLANES(&Info) == 3 && GST_VIDEO_INFO_COMP_DEPTH(&Info, 0) == 8;
}
}  // namespace

struct TGstGlWindow::TLayerTextures {
  ~TLayerTextures() {
    if (Uploaded) gst_sample_unref(Uploaded);
  }

  GLuint Planes[3] = {0, 0, 0};
  QSize Sizes[3];
  std::pair<GLfloat, GLfloat> Scales[3]{};  // of the picture's part of each plane's texture
  QImage Rgb;                  // a frame of another format, converted
  GstSample* Uploaded = nullptr;  // the frame in the textures, held
};

TGstGlWindow* TGstGlWindow::Over(QWindow* Below) {
  for (QObject* Child : Below->children())
    if (auto* Gl = dynamic_cast<TGstGlWindow*>(Child)) return Gl;
  return new TGstGlWindow(Below);
}

TGstGlWindow::TGstGlWindow(QWindow* Below) : QWindow(Below), FBelow(Below) {
  setSurfaceType(QSurface::OpenGLSurface);
  QSurfaceFormat Format = requestedFormat();
  Format.setSwapInterval(0);  // the user-interface thread draws; it must not wait for the screen
  setFormat(Format);
  setFlags(Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
  FBelow->installEventFilter(this);
  setGeometry(QRect(QPoint(), FBelow->size()));
  show();
}

TGstGlWindow::~TGstGlWindow() {
  if (!FPrepared || !FContext->makeCurrent(this)) return;
  for (const auto& Textures : FTextures) glDeleteTextures(3, Textures->Planes);
  glDeleteProgram(FYuvProgram);
  glDeleteProgram(FRgbProgram);
  FContext->doneCurrent();
}

void TGstGlWindow::Place(const QRect& Destination) {
  FFollow = Destination.isEmpty();
  setGeometry(FFollow ? QRect(QPoint(), FBelow->size()) : Destination);
}

void TGstGlWindow::Show(TGstPicture Picture) {
  Picture.Flatten();  // a transition's two pictures blended layer by layer
  // A picture without frames (a renderer that has none yet) leaves the last one on screen.
  if (!Picture.Layers.empty() || FPicture.Layers.empty()) FPicture = std::move(Picture);
  Render();
}

void TGstGlWindow::exposeEvent(QExposeEvent*) { Render(); }

bool TGstGlWindow::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FBelow && Event->type() == QEvent::Resize && FFollow) setGeometry(QRect(QPoint(), FBelow->size()));
  return false;
}

bool TGstGlWindow::Prepare() {
  if (FPrepared) return FContext->makeCurrent(this);
  FContext = std::make_unique<QOpenGLContext>();
  FContext->setFormat(format());
  if (!FContext->create() || !FContext->makeCurrent(this)) return false;
  initializeOpenGLFunctions();
  const auto Link = [this](const char* Fragment) {
    const GLuint Program = glCreateProgram();
    for (const auto& [Kind, Source] : {std::pair{GLenum(GL_VERTEX_SHADER), VertexShader}, {GL_FRAGMENT_SHADER, Fragment}}) {
      const GLuint Shader = glCreateShader(Kind);
      const char* Text = Source;
      glShaderSource(Shader, 1, &Text, nullptr);
      glCompileShader(Shader);
      glAttachShader(Program, Shader);
      glDeleteShader(Shader);  // freed with the program
    }
    glBindAttribLocation(Program, PositionAt, "Position");
    glBindAttribLocation(Program, TextureAt, "Texture");
    glLinkProgram(Program);
    GLint Linked = 0;
    glGetProgramiv(Program, GL_LINK_STATUS, &Linked);
    return Linked ? Program : 0;
  };
  FYuvProgram = Link(YuvShader);
  FRgbProgram = Link(RgbShader);
  FPrepared = FYuvProgram && FRgbProgram;
  return FPrepared;
}

void TGstGlWindow::Render() {
  if (!isExposed() || !Prepare()) return;
  const qreal Ratio = devicePixelRatio();
  glViewport(0, 0, GLsizei(width() * Ratio), GLsizei(height() * Ratio));
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  // The picture was composed for an output of its own size; this window may have another now.
  const QSize Output = FPicture.Output.isEmpty() ? size() : FPicture.Output;
  const double ScaleX = double(width()) / Output.width(), ScaleY = double(height()) / Output.height();
  while (FTextures.size() < FPicture.Layers.size()) FTextures.push_back(std::make_unique<TLayerTextures>());
  for (std::size_t I = 0; I < FPicture.Layers.size(); ++I) DrawLayer(FPicture.Layers[I], *FTextures[I], ScaleX, ScaleY);
  FContext->swapBuffers(this);
}

void TGstGlWindow::DrawLayer(const TGstLayer& Layer, TLayerTextures& Textures, double ScaleX, double ScaleY) {
  GstVideoInfo Info;
  GstCaps* Caps = gst_sample_get_caps(Layer.Sample);
  GstBuffer* Buffer = gst_sample_get_buffer(Layer.Sample);
  if (!Caps || !Buffer || !gst_video_info_from_caps(&Info, Caps) || Layer.Box.isEmpty()) return;

  // Each plane goes to a texture as wide as its stride; the shader reads the picture's part.
  const auto Upload = [&](int Index, const void* Bits, int Stride, int Width, int Height, GLenum Format) {
    GLuint& Texture = Textures.Planes[Index];
    if (!Texture) glGenTextures(1, &Texture);
    glActiveTexture(GL_TEXTURE0 + GLenum(Index));
    glBindTexture(GL_TEXTURE_2D, Texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (Textures.Sizes[Index] != QSize(Stride, Height)) {
      glTexImage2D(GL_TEXTURE_2D, 0, GLint(Format), Stride, Height, 0, Format, GL_UNSIGNED_BYTE, Bits);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
      Textures.Sizes[Index] = QSize(Stride, Height);
    } else {
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, Stride, Height, Format, GL_UNSIGNED_BYTE, Bits);
    }
    return std::pair{GLfloat(Width) / GLfloat(Stride), 1.0f};
  };

  // A frame already in the textures (the other stream's turn, a still picture) is not uploaded again.
  const bool Fresh = !SameFrame(Layer.Sample, Textures.Uploaded);
  auto* Scales = Textures.Scales;
  const GLuint Program = ThreePlanes(Info) ? FYuvProgram : FRgbProgram;
  if (Fresh && Program == FYuvProgram) {
    GstVideoFrame Frame;
    if (!gst_video_frame_map(&Frame, &Info, Buffer, GST_MAP_READ)) return;
    for (int C = 0; C < 3; ++C)
      Scales[C] = Upload(C, GST_VIDEO_FRAME_COMP_DATA(&Frame, C), GST_VIDEO_FRAME_COMP_STRIDE(&Frame, C),
                         GST_VIDEO_FRAME_COMP_WIDTH(&Frame, C), GST_VIDEO_FRAME_COMP_HEIGHT(&Frame, C), GL_LUMINANCE);
    gst_video_frame_unmap(&Frame);
  } else if (Fresh) {
    const QSize Size(int(Info.width), int(Info.height));
    if (Textures.Rgb.size() != Size) Textures.Rgb = QImage(Size, QImage::Format_RGB32);
    QPainter Painter(&Textures.Rgb);
    FConverter.Draw(Painter, Textures.Rgb.rect(), {{Layer.Sample, Textures.Rgb.rect(), 1.0f}});
    Painter.end();
    Scales[0] = Upload(0, Textures.Rgb.constBits(), int(Textures.Rgb.bytesPerLine() / 4), Size.width(), Size.height(), GL_RGBA);
  }
  if (Fresh) {
    if (Textures.Uploaded) gst_sample_unref(Textures.Uploaded);
    Textures.Uploaded = gst_sample_ref(Layer.Sample);
  }
  for (int C = 0; C < (Program == FYuvProgram ? 3 : 1); ++C) {
    glActiveTexture(GL_TEXTURE0 + GLenum(C));
    glBindTexture(GL_TEXTURE_2D, Textures.Planes[C]);
  }

  glUseProgram(Program);
  for (int C = 0; C < (Program == FYuvProgram ? 3 : 1); ++C) {
    const QByteArray Index = QByteArray::number(C);
    glUniform1i(glGetUniformLocation(Program, ("Plane" + Index).constData()), C);
    glUniform2f(glGetUniformLocation(Program, ("Scale" + Index).constData()), Scales[C].first, Scales[C].second);
  }
  glUniform1f(glGetUniformLocation(Program, "Alpha"), Layer.Alpha);
  if (Program == FYuvProgram) {
    gdouble Kr = 0.299, Kb = 0.114;
    gst_video_color_matrix_get_Kr_Kb(Info.colorimetry.matrix, &Kr, &Kb);
    gint Offsets[GST_VIDEO_MAX_COMPONENTS], Ranges[GST_VIDEO_MAX_COMPONENTS];
    gst_video_color_range_offsets(Info.colorimetry.range, Info.finfo, Offsets, Ranges);
    glUniform3f(glGetUniformLocation(Program, "Offset"), Offsets[0] / 255.0f, Offsets[1] / 255.0f, Offsets[2] / 255.0f);
    glUniform3f(glGetUniformLocation(Program, "Range"), 255.0f / Ranges[0], 255.0f / Ranges[1], 255.0f / Ranges[2]);
    // Y, Pb, Pr to R, G, B; columns first.
    const double Kg = 1.0 - Kr - Kb;
    const GLfloat ToRgb[9] = {1, 1, 1, 0, GLfloat(-2 * Kb * (1 - Kb) / Kg), GLfloat(2 * (1 - Kb)),
                              GLfloat(2 * (1 - Kr)), GLfloat(-2 * Kr * (1 - Kr) / Kg), 0};
    glUniformMatrix3fv(glGetUniformLocation(Program, "ToRgb"), 1, GL_FALSE, ToRgb);
  }

  // The box in this window, to the GL's coordinates (y up).
  const GLfloat Left = GLfloat(2 * Layer.Box.x() * ScaleX / width() - 1);
  const GLfloat Right = GLfloat(2 * (Layer.Box.x() + Layer.Box.width()) * ScaleX / width() - 1);
  const GLfloat Top = GLfloat(1 - 2 * Layer.Box.y() * ScaleY / height());
  const GLfloat Bottom = GLfloat(1 - 2 * (Layer.Box.y() + Layer.Box.height()) * ScaleY / height());
  const GLfloat Positions[] = {Left, Top, Right, Top, Left, Bottom, Right, Bottom};
  const GLfloat Coords[] = {0, 0, 1, 0, 0, 1, 1, 1};
  glVertexAttribPointer(PositionAt, 2, GL_FLOAT, GL_FALSE, 0, Positions);
  glVertexAttribPointer(TextureAt, 2, GL_FLOAT, GL_FALSE, 0, Coords);
  glEnableVertexAttribArray(PositionAt);
  glEnableVertexAttribArray(TextureAt);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}
