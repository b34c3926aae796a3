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

// One screen of a video wall: tile Index, counted from 0 left to right and top to bottom, of Cols
// by Rows screens with Bezel pixels (of one screen) hidden between two. The default: no wall.
struct TWallTile {
  int Cols = 1, Rows = 1, Index = 0, Bezel = 0;
};

// PictureArea of the whole wall, each screen Output-sized and the bezels counted in, placed so
// that this tile's part of it falls on the output: each frame is cut to the tile, scaled to fill.
TMixerBox WallPictureArea(const TWallTile& Wall, int OutputWidth, int OutputHeight, int ReferenceWidth,
                          int ReferenceHeight, bool LetterBox);

// The wall the mixing renderers of this process show a tile of; set at start, before any renders.
void SetWallTile(const TWallTile& Wall);
const TWallTile& WallTile();

// Streams are painted in rising order of this rank. Z 0 is the front; among equal Zs the later
// stream is painted over the earlier one.
std::uint32_t PaintOrder(std::uint32_t Stream, std::uint32_t Z);
