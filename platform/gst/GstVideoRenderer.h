#pragma once
// The classic video renderer: one input, shown in a window of its own (IVideoWindow). Its
// converter and sink are made anew each time a stream connects, so a stream that ended before
// leaves nothing behind that would refuse the next.
#include <memory>

#include "platform/gst/GstFilter.h"
#include "platform/gst/GstRendererWindow.h"
#include "platform/gst/GstWindowSink.h"

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

  GstPad* FInput;  // the pin: the bin's ghost pad
  std::unique_ptr<TGstWindowSink> FWindowSink;
  std::unique_ptr<TGstRendererWindow> FWindow;
  GstElement* FConvert = nullptr;
  GstElement* FFormat = nullptr;
  GstElement* FSink = nullptr;
};
