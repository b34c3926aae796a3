#pragma once
// Makes a decoded animation play in a loop that never ends: at its end the decoder is sent
// back to the start, and the frames are stamped afresh so running time goes on.
#include <gst/gst.h>

// Installs the loop on Pad, a decoder's output; it lasts as long as the pad.
void LoopStream(GstPad* Pad);
