#include "platform/gst/GstMixerLayout.h"

#include <algorithm>
#include <cmath>

TMixerBox PictureArea(int OutputWidth, int OutputHeight, int ReferenceWidth, int ReferenceHeight, bool LetterBox) {
  if (!LetterBox || ReferenceWidth <= 0 || ReferenceHeight <= 0) return {0, 0, OutputWidth, OutputHeight};
  const double Scale = std::min(double(OutputWidth) / ReferenceWidth, double(OutputHeight) / ReferenceHeight);
  const int Width = int(std::lround(ReferenceWidth * Scale));
  const int Height = int(std::lround(ReferenceHeight * Scale));
  return {(OutputWidth - Width) / 2, (OutputHeight - Height) / 2, Width, Height};
}

TMixerBox StreamBox(const TMixerBox& Area, const VMR9NormalizedRect& Rect) {
  const auto At = [](int Origin, int Extent, float Fraction) { return Origin + int(std::lround(double(Fraction) * Extent)); };
  const int Left = At(Area.X, Area.Width, Rect.left), Right = At(Area.X, Area.Width, Rect.right);
  const int Top = At(Area.Y, Area.Height, Rect.top), Bottom = At(Area.Y, Area.Height, Rect.bottom);
  return {Left, Top, Right - Left, Bottom - Top};
}

namespace {
TWallTile Wall;
}

TMixerBox WallPictureArea(const TWallTile& Wall, int OutputWidth, int OutputHeight, int ReferenceWidth,
                          int ReferenceHeight, bool LetterBox) {
  TMixerBox Area = PictureArea(Wall.Cols * OutputWidth + (Wall.Cols - 1) * Wall.Bezel,
                               Wall.Rows * OutputHeight + (Wall.Rows - 1) * Wall.Bezel, ReferenceWidth, ReferenceHeight,
                               LetterBox);
  Area.X -= Wall.Index % Wall.Cols * (OutputWidth + Wall.Bezel);
  Area.Y -= Wall.Index / Wall.Cols * (OutputHeight + Wall.Bezel);
  return Area;
}

void SetWallTile(const TWallTile& Tile) { Wall = Tile; }

const TWallTile& WallTile() { return Wall; }

std::uint32_t PaintOrder(std::uint32_t Stream, std::uint32_t Z) {
  constexpr std::uint32_t Deepest = 0xFFFF;
  return (Deepest - std::min(Z, Deepest)) * 16 + std::min<std::uint32_t>(Stream, 15);
}
