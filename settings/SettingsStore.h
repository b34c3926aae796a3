#pragma once
// The six operations every store of the settings component offers: values addressed by a
// section and an identifier, held as text.
#include <string>

#include "settings/ValueText.h"

class TSettingsStore {
public:
  virtual ~TSettingsStore() = default;

  virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  // The stored text as a decimal integer; the default when absent or not a number.
  virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    return StrToIntDef(ReadString(Section, Ident, IntToStr(Default)), Default);
  }
  virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default) = 0;

  void WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
  }
  void WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
  }
};
