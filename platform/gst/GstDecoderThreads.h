#pragma once
// Picks how many threads a video decoder uses by the size of its pictures: a small picture
// decodes on its streaming thread alone, where handing each frame between worker threads
// costs more than decoding it; larger pictures keep the decoder's own choice.
#include <gst/gst.h>

// Watches the decoders Decodebin adds from now on.
void LimitDecoderThreads(GstElement* Decodebin);
