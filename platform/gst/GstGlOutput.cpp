#include "platform/gst/GstGlOutput.h"

#include <glob.h>
#include <unistd.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "platform/gst/GstRenderers.h"

namespace {
// A GPU's render node this process may use.
bool HasRenderNode() {
  glob_t Nodes{};
  bool Found = false;
  if (glob("/dev/dri/renderD*", 0, nullptr, &Nodes) == 0)
    for (std::size_t I = 0; I < Nodes.gl_pathc && !Found; ++I) Found = access(Nodes.gl_pathv[I], R_OK | W_OK) == 0;
  globfree(&Nodes);
  return Found;
}

// Whether a GL context can be made here, and what renders it.
bool GlRenders(bool AnyRenderer) {
  QOffscreenSurface Surface;
  Surface.create();
  QOpenGLContext Context;
  if (!Surface.isValid() || !Context.create() || !Context.makeCurrent(&Surface)) return false;
  const auto* Name = reinterpret_cast<const char*>(Context.functions()->glGetString(GL_RENDERER));
  const QByteArray Renderer = QByteArray(Name ? Name : "").toLower();
  Context.doneCurrent();
  if (AnyRenderer) return true;
  for (const char* Software : {"llvmpipe", "softpipe", "swrast", "software"})
    if (Renderer.contains(Software)) return false;
  return !Renderer.isEmpty();
}
}  // namespace

bool UseGlOutput() {
  static const bool Use = [] {
    const QByteArray Asked = qgetenv("VIZMORA_VIDEO_OUTPUT");
    if (Asked == "software" || !HasDisplay()) return false;
    // The GL window is laid over the video window as a window of its own; a Wayland client's
    // window nested that deep is never shown (Qt 6.4), so there the processor draws.
    if (QGuiApplication::platformName().startsWith("wayland")) return false;
    // Without a GPU device the answer is known without loading a GL driver.
    if (Asked != "gl" && !HasRenderNode()) return false;
    return GlRenders(Asked == "gl");
  }();
  return Use;
}
