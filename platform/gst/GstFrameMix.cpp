#include "platform/gst/GstFrameMix.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Sixteen bytes at a time, widened to 16 bits: Out * (256 - W) + In * W + 128 stays below 2^16.
using TBytes = guint8 __attribute__((vector_size(16)));
using TWords = guint16 __attribute__((vector_size(32)));

void MixRow(const guint8* Out, const guint8* In, guint8* Mixed, std::size_t Bytes, guint16 W) {
  const guint16 V = guint16(256 - W);
  std::size_t X = 0;
  for (; X + sizeof(TBytes) <= Bytes; X += sizeof(TBytes)) {
    TBytes A, B;
    std::memcpy(&A, Out + X, sizeof A);
    std::memcpy(&B, In + X, sizeof B);
    const TWords Sum = __builtin_convertvector(A, TWords) * V + __builtin_convertvector(B, TWords) * W + 128;
    const TBytes C = __builtin_convertvector(Sum >> 8, TBytes);
    std::memcpy(Mixed + X, &C, sizeof C);
  }
  for (; X < Bytes; ++X) Mixed[X] = guint8((Out[X] * V + In[X] * W + 128) >> 8);
}

// The bytes of a line of Plane that hold pixels.
std::size_t LineBytes(const GstVideoFrame& Frame, guint Plane) {
  std::size_t Bytes = 0;
  for (guint C = 0; C < GST_VIDEO_FRAME_N_COMPONENTS(&Frame); ++C)
    if (guint(GST_VIDEO_FRAME_COMP_PLANE(&Frame, C)) == Plane)
      Bytes = std::max(Bytes, std::size_t(GST_VIDEO_FRAME_COMP_WIDTH(&Frame, C)) * GST_VIDEO_FRAME_COMP_PSTRIDE(&Frame, C));
  return Bytes;
}

guint PlaneHeight(const GstVideoFrame& Frame, guint Plane) {
  for (guint C = 0; C < GST_VIDEO_FRAME_N_COMPONENTS(&Frame); ++C)
    if (guint(GST_VIDEO_FRAME_COMP_PLANE(&Frame, C)) == Plane) return GST_VIDEO_FRAME_COMP_HEIGHT(&Frame, C);
  return 0;
}
}  // namespace

bool Mixable(const GstVideoInfo& A, const GstVideoInfo& B) {
  const GstVideoFormatInfo* Format = A.finfo;
  if (!Format || GST_VIDEO_INFO_FORMAT(&A) == GST_VIDEO_FORMAT_UNKNOWN || GST_VIDEO_INFO_FORMAT(&A) != GST_VIDEO_INFO_FORMAT(&B) ||
      A.width != B.width || A.height != B.height || GST_VIDEO_INFO_INTERLACE_MODE(&A) != GST_VIDEO_INFO_INTERLACE_MODE(&B) ||
      !gst_video_colorimetry_is_equal(&A.colorimetry, &B.colorimetry) || A.chroma_site != B.chroma_site)
    return false;
  if (GST_VIDEO_FORMAT_INFO_HAS_PALETTE(Format) || GST_VIDEO_FORMAT_INFO_IS_TILED(Format) ||
      GST_VIDEO_FORMAT_INFO_FLAGS(Format) & GST_VIDEO_FORMAT_FLAG_COMPLEX)
    return false;
  for (guint C = 0; C < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(Format); ++C)
    if (GST_VIDEO_FORMAT_INFO_DEPTH(Format, C) != 8 || GST_VIDEO_FORMAT_INFO_SHIFT(Format, C) != 0) return false;
  return true;
}

void MixFrames(const GstVideoFrame& Out, const GstVideoFrame& In, float Level, GstVideoFrame& Mixed) {
  const auto W = guint16(std::lround(std::clamp(Level, 0.0f, 1.0f) * 256));
  for (guint Plane = 0; Plane < GST_VIDEO_FRAME_N_PLANES(&Mixed); ++Plane) {
    const std::size_t Bytes = LineBytes(Mixed, Plane);
    const auto* A = static_cast<const guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&Out, Plane));
    const auto* B = static_cast<const guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&In, Plane));
    auto* C = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&Mixed, Plane));
    for (guint Y = 0, Lines = PlaneHeight(Mixed, Plane); Y < Lines; ++Y)
      MixRow(A + std::ptrdiff_t(Y) * GST_VIDEO_FRAME_PLANE_STRIDE(&Out, Plane),
             B + std::ptrdiff_t(Y) * GST_VIDEO_FRAME_PLANE_STRIDE(&In, Plane),
             C + std::ptrdiff_t(Y) * GST_VIDEO_FRAME_PLANE_STRIDE(&Mixed, Plane), Bytes, W);
  }
}
