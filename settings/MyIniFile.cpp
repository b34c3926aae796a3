#include "settings/MyIniFile.h"

#include <charconv>
#include <cstdint>

#include "platform/win/Profile.h"

TMyIniFile::~TMyIniFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str()); }

std::string TMyIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  char Buffer[2048];
  GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), Buffer, sizeof Buffer, FFileName.c_str());
  return Buffer;
}

void TMyIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    throw EIniFileException("Unable to write to " + FFileName);
}

int TMyIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
  const std::string Text = ReadString(Section, Ident, "");
  if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
    std::uint32_t Value = 0;
    const char* End = Text.data() + Text.size();
    const auto [Ptr, Error] = std::from_chars(Text.data() + 2, End, Value, 16);
    return Error == std::errc() && Ptr == End ? static_cast<int>(Value) : Default;
  }
  return StrToIntDef(Text, Default);
}

double TMyIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
  const std::string Text = ReadString(Section, Ident, "");
  return Text.empty() ? Default : StrToFloatDef(Text, Default);
}
