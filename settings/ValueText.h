#pragma once
// The text forms of stored values: integers in decimal, floating point in general format with
// at most 15 significant digits and the user's decimal separator.
#include <string>

#include "framework/Exception.h"

// Raised when text that must be a number is not one.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

std::string IntToStr(int Value);
// Leading blanks, an optional sign and decimal digits, within 32 bits.
bool TryStrToInt(const std::string& Text, int& Value);
int StrToIntDef(const std::string& Text, int Default);

// The decimal separator of the user's locale.
std::string UserDecimalSeparator();
std::string FloatToStr(double Value, const std::string& DecimalSeparator = UserDecimalSeparator());
// Blanks around, an optional sign, digits with at most one decimal separator, an optional
// exponent.
bool TryStrToFloat(const std::string& Text, double& Value,
                   const std::string& DecimalSeparator = UserDecimalSeparator());
double StrToFloatDef(const std::string& Text, double Default);
// EConvertError "'<text>' is not a valid floating point value" when the text is not a number.
double StrToFloat(const std::string& Text);
