#include "platform/win/RegName.h"

#include <QChar>

namespace {
// The code point of the UTF-8 sequence at Text[At], or -1 when the bytes there are no UTF-8
// (overlong, a surrogate, past U+10FFFF, or cut short).
int DecodeUtf8(std::string_view Text, std::size_t At, std::size_t& Length) {
  const auto Lead = static_cast<unsigned char>(Text[At]);
  char32_t Code = 0;
  char32_t Least = 0;
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2, Code = Lead & 0x1F, Least = 0x80;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3, Code = Lead & 0x0F, Least = 0x800;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4, Code = Lead & 0x07, Least = 0x10000;
  } else {
    return -1;
  }
  if (At + Length > Text.size()) return -1;
  for (std::size_t I = 1; I < Length; ++I) {
    const auto Next = static_cast<unsigned char>(Text[At + I]);
    if ((Next & 0xC0) != 0x80) return -1;
    Code = Code << 6 | (Next & 0x3F);
  }
  if (Code < Least || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return -1;
  return static_cast<int>(Code);
}

void AppendUtf8(std::string& Out, char32_t Code) {
  if (Code < 0x80) {
    Out += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Out += static_cast<char>(0xC0 | Code >> 6);
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Out += static_cast<char>(0xE0 | Code >> 12);
    Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | Code >> 18);
    Out += static_cast<char>(0x80 | (Code >> 12 & 0x3F));
    Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  }
}
}  // namespace

std::string FoldRegName(std::string_view Name) {
  std::string Out(Name);
  std::size_t I = 0;
  for (; I < Out.size() && static_cast<unsigned char>(Out[I]) < 0x80; ++I)
    if (Out[I] >= 'A' && Out[I] <= 'Z') Out[I] = static_cast<char>(Out[I] - 'A' + 'a');
  if (I == Out.size()) return Out;
  // Past the first byte that is not ASCII, one character at a time.
  Out.resize(I);
  while (I < Name.size()) {
    const char C = Name[I];
    if (static_cast<unsigned char>(C) < 0x80) {
      Out += C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
      ++I;
      continue;
    }
    std::size_t Length = 1;
    const int Code = DecodeUtf8(Name, I, Length);
    if (Code < 0) {
      // 0xFF never occurs in UTF-8: it marks a stray byte.
      Out += '\xFF';
      Out += C;
      ++I;
      continue;
    }
    AppendUtf8(Out, QChar::toCaseFolded(static_cast<char32_t>(Code)));
    I += Length;
  }
  return Out;
}
