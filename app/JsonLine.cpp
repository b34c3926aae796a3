#include "app/JsonLine.h"

#include <QJsonDocument>
#include <charconv>
#include <cmath>

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

template <typename T>
std::string Compact(const T& Json) {
  return QJsonDocument(Json).toJson(QJsonDocument::Compact).toStdString();
}
}  // namespace

std::string JsonLine(const QJsonObject& Object) { return Compact(Object); }

std::string JsonLine(const QJsonArray& Array) { return Compact(Array); }

QJsonValue JsonText(const std::string& Text) {
  QString Out;
  size_t Run = 0;  // where the valid text not yet taken over begins
  for (size_t I = 0; I < Text.size();) {
    const auto B = static_cast<unsigned char>(Text[I]);
    if (const size_t N = B < 0x80 ? 1 : Utf8Length(Text, I); N > 0) {
      I += N;
      continue;
    }
    Out += QString::fromUtf8(Text.data() + Run, static_cast<qsizetype>(I - Run));
    Out += QChar(B);
    Run = ++I;
  }
  return Out + QString::fromUtf8(Text.data() + Run, static_cast<qsizetype>(Text.size() - Run));
}

QJsonValue JsonFloat(float Value) {
  if (!std::isfinite(Value)) return QJsonValue::Null;
  char Buffer[32];
  const auto [End, Error] = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  double Shortest = Value;
  std::from_chars(Buffer, End, Shortest);
  return Error == std::errc() ? Shortest : static_cast<double>(Value);
}
