#pragma once
// The registry store: values below HKEY_CURRENT_USER\<RegPath>, a section being a subkey and an
// identifier a value name. The RegPath key is opened (created when missing) with full access for
// the accessor's life; each value opens its section subkey for one query or set.
#include <string>

#include "platform/win/Registry.h"
#include "settings/SettingsStore.h"

// Raised for a value of the wrong type or a refused write.
class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

class TRegistry : public TSettingsStore {
public:
  explicit TRegistry(const std::string& RegPath);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // REG_SZ or REG_EXPAND_SZ text up to its first NUL; "Invalid data type for '%s'" otherwise.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // As REG_SZ with its NUL, creating the section; "Failed to set data for '%s'" when refused.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  // "'%s' is not a valid floating point value" when the stored text is not a number.
  double ReadFloat(const std::string& Section, const std::string& Ident, double Default) override;

private:
  HKEY FKey = nullptr;  // nil when RegPath could not be opened: reads give defaults, writes fail
};
