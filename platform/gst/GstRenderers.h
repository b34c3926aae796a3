#pragma once
// The renderers RenderFile creates for decoded streams, and the sinks behind them: a window of
// their own and the sound device when there are such, clock-synchronised null sinks when not.
#include "platform/gst/GstFilter.h"

// Video to a sink with a window of its own; to a synchronised fakesink with no display (no
// DISPLAY/WAYLAND_DISPLAY, or Qt running on its offscreen or minimal platform).
ComPtr<TGstFilter> CreateVideoRenderer();
// Audio through a volume element (linear Volume) to the sound device, or to a synchronised
// fakesink when no device answers.
ComPtr<TGstFilter> CreateAudioRenderer(double Volume);
// Holds a still picture on screen as a stream that does not end.
ComPtr<TGstFilter> CreateStillFrame();
// The volume element of an audio renderer; null for other filters.
GstElement* VolumeOf(GstElement* Renderer);
// Linear volume for hundredths of a decibel: 0 is 1.0, -10000 exactly 0.
double LinearVolume(LONG Volume);

bool HasDisplay();
