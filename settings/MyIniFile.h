#pragma once
// The ini-file store over the profile-file calls on one file; plain ini-file behaviour.
#include <string>

#include "settings/SettingsStore.h"

// Raised when the ini file refuses a write.
class EIniFileException : public Exception {
public:
  using Exception::Exception;
};

class TMyIniFile : public TSettingsStore {
public:
  explicit TMyIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
  // Flushes the profile cache to the file.
  ~TMyIniFile() override;

  const std::string& FileName() const { return FFileName; }

  // At most 2047 characters.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // "Unable to write to %s" with the file name when refused.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  // Text longer than 2 characters starting with "0x" or "0X" is hexadecimal.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) override;
  // Empty or invalid text: the default.
  double ReadFloat(const std::string& Section, const std::string& Ident, double Default) override;

private:
  std::string FFileName;
};
