#pragma once
// Where the mixing renderer puts each stream: the picture area within the output (letter-boxed
// to the reference stream's shape, or the whole output when stretched), each stream's normalised
// rectangle within that area, and the order the streams are painted in for their z-orders.
#include <cstdint>

#include "platform/dshow/Video.h"

struct TMixerBox {
  int X = 0, Y = 0, Width = 0, Height = 0;
  friend bool operator==(const TMixerBox&, const TMixerBox&) = default;
};

// The area of an Output-sized frame the picture covers: the largest box of the reference's
// shape, centred, when LetterBox; all of it otherwise (and when the reference has no size).
TMixerBox PictureArea(int OutputWidth, int OutputHeight, int ReferenceWidth, int ReferenceHeight, bool LetterBox);

// A stream's box: Rect's fractions of the picture area (fractions beyond 0..1 lie outside it).
TMixerBox StreamBox(const TMixerBox& Area, const VMR9NormalizedRect& Rect);

// Streams are painted in rising order of this rank. Z 0 is the front; among equal Zs the later
// stream is painted over the earlier one.
std::uint32_t PaintOrder(std::uint32_t Stream, std::uint32_t Z);
