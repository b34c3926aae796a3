#pragma once
// The pieces our renderers build their insides from, and rebuild them with.
#include <gst/gst.h>

#include <initializer_list>

// Whether Caps are those of a video stream.
bool IsVideoCaps(GstCaps* Caps);
// Adds Elements to Bin, links them in order and brings them to Bin's state, the last first.
void StartChain(GstElement* Bin, std::initializer_list<GstElement*> Elements);
// Stops Element, takes it out of Bin and forgets it; nothing when Element is null.
void DiscardElement(GstElement* Bin, GstElement*& Element);
