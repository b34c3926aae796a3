#pragma once
// The pieces our renderers build their insides from, and rebuild them with.
#include <gst/gst.h>

#include <initializer_list>

// Whether Caps are those of a video stream.
bool IsVideoCaps(GstCaps* Caps);
// Raw video caps of a format ("BGRA", "I420"); a size of 0 leaves the size open.
GstCaps* RawVideoCaps(const char* Format, int Width, int Height);
// A capsfilter holding RawVideoCaps(Format, Width, Height).
GstElement* RawVideoFilter(const char* Format, int Width, int Height);
// The format a renderer's sink takes: BGRA when its frames are painted, else the decoders' own
// I420, which costs no conversion for frames no one looks at.
const char* SinkFormat(bool Painted);
// Adds Elements to Bin, links them in order and brings them to Bin's state, the last first.
void StartChain(GstElement* Bin, std::initializer_list<GstElement*> Elements);
// Stops Element, takes it out of Bin and forgets it; nothing when Element is null.
void DiscardElement(GstElement* Bin, GstElement*& Element);
