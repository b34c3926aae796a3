#include "settings/ValueText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
std::string Trimmed(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(' ');
  if (First == std::string::npos) return "";
  return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// [sign] digits [. digits] [E [sign] digits], with a digit somewhere in the mantissa.
bool IsNumber(const std::string& T) {
  std::size_t I = 0;
  if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
  bool Digits = false;
  while (I < T.size() && IsDigit(T[I])) ++I, Digits = true;
  if (I < T.size() && T[I] == '.')
    for (++I; I < T.size() && IsDigit(T[I]);) ++I, Digits = true;
  if (!Digits) return false;
  if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
    ++I;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
    if (I == T.size() || !IsDigit(T[I])) return false;
    while (I < T.size() && IsDigit(T[I])) ++I;
  }
  return I == T.size();
}
}  // namespace

std::string IntToStr(int Value) { return std::to_string(Value); }

bool TryStrToInt(const std::string& Text, int& Value) {
  std::size_t I = Text.find_first_not_of(' ');
  if (I == std::string::npos) return false;
  if (Text[I] == '+') ++I;
  const char* End = Text.data() + Text.size();
  int Result = 0;
  const auto [Ptr, Error] = std::from_chars(Text.data() + I, End, Result);
  if (Error != std::errc() || Ptr != End) return false;
  Value = Result;
  return true;
}

int StrToIntDef(const std::string& Text, int Default) {
  int Value = Default;
  return TryStrToInt(Text, Value) ? Value : Default;
}

std::string UserDecimalSeparator() { return QLocale::system().decimalPoint().toStdString(); }

std::string FloatToStr(double Value, const std::string& DecimalSeparator) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  char Buffer[40];
  std::snprintf(Buffer, sizeof Buffer, "%.15g", Value);
  std::string Text = Buffer;
  // printf writes e+20 and e-07 where the general format writes E20 and E-7.
  if (const std::size_t E = Text.find('e'); E != std::string::npos) {
    const bool Negative = Text[E + 1] == '-';
    std::size_t Digits = E + 2;
    while (Digits + 1 < Text.size() && Text[Digits] == '0') ++Digits;
    Text = Text.substr(0, E) + "E" + (Negative ? "-" : "") + Text.substr(Digits);
  }
  if (const std::size_t Dot = Text.find('.'); Dot != std::string::npos) Text.replace(Dot, 1, DecimalSeparator);
  return Text;
}

bool TryStrToFloat(const std::string& Text, double& Value, const std::string& DecimalSeparator) {
  std::string T = Trimmed(Text);
  if (DecimalSeparator != ".") {
    if (T.find('.') != std::string::npos) return false;
    if (const std::size_t Sep = T.find(DecimalSeparator); Sep != std::string::npos) T.replace(Sep, DecimalSeparator.size(), ".");
  }
  if (!IsNumber(T)) return false;
  const std::size_t Start = T[0] == '+' ? 1 : 0;
  double Result = 0;
  const auto [Ptr, Error] = std::from_chars(T.data() + Start, T.data() + T.size(), Result);
  if (Error != std::errc() || Ptr != T.data() + T.size()) return false;
  Value = Result;
  return true;
}

double StrToFloatDef(const std::string& Text, double Default) {
  double Value = Default;
  return TryStrToFloat(Text, Value) ? Value : Default;
}

double StrToFloat(const std::string& Text) {
  double Value = 0;
  if (!TryStrToFloat(Text, Value)) throw EConvertError("'" + Text + "' is not a valid floating point value");
  return Value;
}
