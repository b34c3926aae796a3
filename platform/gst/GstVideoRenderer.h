#pragma once
// The classic video renderer: one input, shown stretched over a window of its own
// (IVideoWindow). Its sink is made anew each time a stream connects, so a stream that ended
// before leaves nothing behind that would refuse the next.
#include <memory>

#include "platform/gst/GstFilter.h"
#include "platform/gst/GstFrameMixer.h"
#include "platform/gst/GstFrameSink.h"
#include "platform/gst/GstRendererWindow.h"
#include "platform/gst/GstWindowPainter.h"

class TGstVideoRenderer : public TGstFilter {
public:
  static ComPtr<TGstVideoRenderer> Create();

  GstPad* FreeStreamInput(GstCaps* Caps) override;

protected:
  void* QueryExtraInterface(REFIID Iid) override;

private:
  explicit TGstVideoRenderer(GstElement* Bin);
  ~TGstVideoRenderer() override;
  void Rebuild();
  // The latest frame over all of an output of Size.
  TGstPicture Compose(const QSize& Size);

  GstPad* FInput;  // the pin: the bin's ghost pad
  TGstFrameSink FFrames;
  std::unique_ptr<TGstWindowPainter> FPainter;
  std::unique_ptr<TGstRendererWindow> FWindow;
  GstElement* FSink = nullptr;
};
