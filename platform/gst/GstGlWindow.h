#pragma once
// A window drawn with OpenGL, laid over a window of the program's as a child of its native
// window (input goes through to the window below): it shows pictures with the conversion of
// the frames from YUV, the scaling and the mixing done by the GPU. There is one per window
// painted into, kept from one renderer to the next, so the last picture stays between them.
// User-interface thread only.
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QWindow>
#include <memory>
#include <vector>

#include "platform/gst/GstFrameMixer.h"

class TGstGlWindow : public QWindow, protected QOpenGLFunctions {
public:
  // The GL window over Below, made when first asked for.
  static TGstGlWindow* Over(QWindow* Below);
  ~TGstGlWindow() override;

  // Covers Destination of the window below; all of it, following its size, when empty.
  void Place(const QRect& Destination);
  // Shows Picture (its output laid over this window), and keeps it to show again when exposed;
  // one without layers leaves the last picture that had some.
  void Show(TGstPicture Picture);

protected:
  void exposeEvent(QExposeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  struct TLayerTextures;

  explicit TGstGlWindow(QWindow* Below);
  bool Prepare();
  void Render();
  void DrawLayer(const TGstLayer& Layer, TLayerTextures& Textures, double ScaleX, double ScaleY);

  QWindow* FBelow;
  bool FFollow = true;  // covering all of the window below
  std::unique_ptr<QOpenGLContext> FContext;
  bool FPrepared = false;
  unsigned FYuvProgram = 0, FRgbProgram = 0;
  std::vector<std::unique_ptr<TLayerTextures>> FTextures;  // by layer
  TGstFrameMixer FConverter;  // frames of other formats, to BGRA at their own size
  TGstPicture FPicture;
};
