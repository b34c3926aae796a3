#include "app/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
// Length of the valid UTF-8 sequence starting at I, or 0.
size_t Utf8Length(const std::string& S, size_t I) {
  const auto B = static_cast<unsigned char>(S[I]);
  size_t N = 0;
  unsigned Min = 0;
  if (B >= 0xC2 && B <= 0xDF) N = 2, Min = 0x80;
  else if (B >= 0xE0 && B <= 0xEF) N = 3, Min = 0x800;
  else if (B >= 0xF0 && B <= 0xF4) N = 4, Min = 0x10000;
  else return 0;
  if (I + N > S.size()) return 0;
  unsigned Code = B & (0x7F >> N);
  for (size_t K = 1; K < N; ++K) {
    const auto C = static_cast<unsigned char>(S[I + K]);
    if ((C & 0xC0) != 0x80) return 0;
    Code = (Code << 6) | (C & 0x3F);
  }
  if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return 0;
  return N;
}
}  // namespace

std::string JsonString(const std::string& Text) {
  std::string Out = "\"";
  for (size_t I = 0; I < Text.size();) {
    const auto B = static_cast<unsigned char>(Text[I]);
    if (B == '"' || B == '\\') {
      Out += '\\';
      Out += static_cast<char>(B);
    } else if (B == '\n') {
      Out += "\\n";
    } else if (B == '\t') {
      Out += "\\t";
    } else if (B == '\r') {
      Out += "\\r";
    } else if (B >= 0x20 && B < 0x80) {
      Out += static_cast<char>(B);
    } else if (const size_t N = B >= 0x80 ? Utf8Length(Text, I) : 0; N > 0) {
      Out.append(Text, I, N);
      I += N;
      continue;
    } else {
      char Escape[8];
      std::snprintf(Escape, sizeof Escape, "\\u%04x", B);
      Out += Escape;
    }
    ++I;
  }
  return Out + "\"";
}

namespace {
template <typename T>
std::string ShortestNumber(T Value) {
  if (!std::isfinite(Value)) return "null";
  char Buffer[32];
  const auto [End, Error] = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  return Error == std::errc() ? std::string(Buffer, End) : "null";
}
}  // namespace

std::string JsonNumber(double Value) { return ShortestNumber(Value); }

std::string JsonNumber(float Value) { return ShortestNumber(Value); }
