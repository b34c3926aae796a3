#pragma once
// The source of an animated picture (GIF): its frames, decoded by Qt, as a raw video stream
// that loops for ever and never ends. libav's GIF demuxer neither loops nor ends cleanly.
#include <string>

#include "platform/gst/GstFilter.h"

// Null when Qt cannot read the file as an animation. The filter's "src" pad carries BGRA frames.
ComPtr<TGstFilter> CreateAnimationSource(const std::string& Path);
