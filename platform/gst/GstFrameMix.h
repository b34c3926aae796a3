#pragma once
// Mixes two video frames of one format and size, byte by byte, into a third: a cross-fade's two
// pictures mixed before the one colour conversion that then serves both. Exact for any format
// whose components are whole bytes, since the conversion to RGB is linear.
#include <gst/video/video.h>

// Whether frames described by A and B can be mixed by MixFrames.
bool Mixable(const GstVideoInfo& A, const GstVideoInfo& B);

// Writes Out * (1 - Level) + In * Level into Mixed (0 <= Level <= 1), rounded: three mapped
// frames of one format and size, whatever their strides.
void MixFrames(const GstVideoFrame& Out, const GstVideoFrame& In, float Level, GstVideoFrame& Mixed);
