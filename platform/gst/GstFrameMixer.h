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
// output they cover (black around it). It holds a reference to each layer's frame. During a
// transition it holds the picture going out too, and how far the transition has come.
struct TGstPicture {
  QSize Output;
  QRect Area;
  std::vector<TGstLayer> Layers;
  std::unique_ptr<TGstPicture> Outgoing;
  float Level = 1.0f;         // 0: only Outgoing shows, 1: only this
  bool ThroughBlack = false;  // Outgoing fades to black, then this from black

  // The opacity of Outgoing and of this picture at Level.
  float OutgoingOpacity() const;
  float Opacity() const;
  // Outgoing's layers, then this picture's black bars and its layers, each at its picture's
  // opacity, as one list of layers.
  void Flatten();

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
  // call to the next, so successive frames of the same size are converted without setting up;
  // the layers use the converters from First on. Back: nothing was drawn before them.
  void Draw(QPainter& Painter, const QRect& Clip, const std::vector<TGstLayer>& Layers, std::size_t First = 0,
            bool Back = true);
  // Draws Picture into Target (the picture's output laid there), black where it has no layers;
  // during a transition, mixed with the picture going out.
  void Draw(QPainter& Painter, const QRect& Target, const TGstPicture& Picture);

private:
  class TConversion;
  // A cross-fade between two single frames of one format and size in one box, drawn straight
  // into the painter's image: the frames are mixed first, then converted once. False, drawing
  // nothing, for any other.
  bool DrawMixed(QPainter& Painter, const QRect& Target, const TGstPicture& Picture);
  void DrawOne(QPainter& Painter, const QRect& Target, const TGstPicture& Picture, float Opacity, std::size_t First,
               bool Back);
  std::vector<std::unique_ptr<TConversion>> FConversions;  // by layer
  GstBuffer* FMixed = nullptr;  // DrawMixed's frame, kept for the next
};

// The picture size of a video frame in square pixels; empty when the caps do not say.
QSize PictureSizeOf(GstCaps* Caps);

// Whether two samples show the same picture: the same sample, or buffers over the same memory
// in the same format (a still picture repeated). Held, a sample's memory is not reused.
bool SameFrame(GstSample* A, GstSample* B);
