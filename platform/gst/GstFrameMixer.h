#pragma once
// Draws video frames into a painter's device, back to front, each scaled into a box of its own
// at an opacity of its own. Colour conversion and scaling happen in one pass at the final size:
// for the opaque frame at the back straight into the device, where that is an image the
// painter writes without scaling (a raster window's backing store, an image); for the others
// into an image of the box's size, kept while their frame does not change, which the painter
// then blends in. User-interface thread.
#include <gst/gst.h>

#include <QPainter>
#include <QRect>
#include <QSize>
#include <memory>
#include <vector>

struct TGstLayer {
  GstSample* Sample = nullptr;  // borrowed
  QRect Box;                    // in the painter's coordinates; may reach beyond the clip
  float Alpha = 1.0f;
};

// A picture to show: layers, back to front, in an output of a size, and the part of the
// output they cover (black around it). It holds a reference to each layer's frame.
struct TGstPicture {
  QSize Output;
  QRect Area;
  std::vector<TGstLayer> Layers;

  TGstPicture() = default;
  TGstPicture(TGstPicture&& Other) noexcept;
  TGstPicture& operator=(TGstPicture&& Other) noexcept;
  TGstPicture(const TGstPicture&) = delete;
  TGstPicture& operator=(const TGstPicture&) = delete;
  ~TGstPicture();
};

class TGstFrameMixer {
public:
  TGstFrameMixer();
  ~TGstFrameMixer();
  TGstFrameMixer(const TGstFrameMixer&) = delete;
  TGstFrameMixer& operator=(const TGstFrameMixer&) = delete;

  // Draws Layers, the first at the back, within Clip. Each layer keeps its converter from one
  // call to the next, so successive frames of the same size are converted without setting up.
  void Draw(QPainter& Painter, const QRect& Clip, const std::vector<TGstLayer>& Layers);
  // Draws Picture into Target (the picture's output laid there), black where it has no layers.
  void Draw(QPainter& Painter, const QRect& Target, const TGstPicture& Picture);

private:
  class TConversion;
  std::vector<std::unique_ptr<TConversion>> FConversions;  // by layer
};

// The picture size of a video frame in square pixels; empty when the caps do not say.
QSize PictureSizeOf(GstCaps* Caps);

// Whether two samples show the same picture: the same sample, or buffers over the same memory
// in the same format (a still picture repeated). Held, a sample's memory is not reused.
bool SameFrame(GstSample* A, GstSample* B);
