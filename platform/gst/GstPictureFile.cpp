#include "platform/gst/GstPictureFile.h"

#include <cstring>
#include <fstream>

namespace {
// Skips a run of GIF data sub-blocks; false at the end of the file.
bool SkipSubBlocks(std::istream& In) {
  for (int Length; (Length = In.get()) > 0;) In.ignore(Length);
  return bool(In);
}

void SkipColourTable(std::istream& In, int Packed) {
  if (Packed & 0x80) In.ignore(3 * (1 << ((Packed & 7) + 1)));
}

int GifImageCount(std::istream& In) {
  char Screen[7];
  if (!In.read(Screen, 7)) return 0;
  SkipColourTable(In, static_cast<unsigned char>(Screen[4]));
  int Images = 0;
  while (Images < 2 && In) {
    const int Block = In.get();
    if (Block == 0x21) {  // extension: label, then sub-blocks
      In.get();
      if (!SkipSubBlocks(In)) break;
    } else if (Block == 0x2C) {  // image: descriptor, colour table, code size, sub-blocks
      char Descriptor[9];
      if (!In.read(Descriptor, 9)) break;
      SkipColourTable(In, static_cast<unsigned char>(Descriptor[8]));
      In.get();
      ++Images;
      if (!SkipSubBlocks(In)) break;
    } else {
      break;  // trailer or damage
    }
  }
  return Images;
}
}  // namespace

TPictureKind PictureKindOf(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  unsigned char Magic[6] = {};
  if (!In.read(reinterpret_cast<char*>(Magic), 6)) return TPictureKind::None;
  if (Magic[0] == 0xFF && Magic[1] == 0xD8 && Magic[2] == 0xFF) return TPictureKind::Still;
  if (std::memcmp(Magic, "\x89PNG", 4) == 0) return TPictureKind::Still;
  if (std::memcmp(Magic, "GIF87a", 6) == 0 || std::memcmp(Magic, "GIF89a", 6) == 0)
    return GifImageCount(In) > 1 ? TPictureKind::Animated : TPictureKind::Still;
  return TPictureKind::None;
}
