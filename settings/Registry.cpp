#include "settings/Registry.h"

#include <vector>

#include "framework/ExceptionReport.h"

namespace {
class TKeyCloser {
public:
  explicit TKeyCloser(HKEY Key) : FKey(Key) {}
  ~TKeyCloser() { RegCloseKey(FKey); }
  TKeyCloser(const TKeyCloser&) = delete;
  TKeyCloser& operator=(const TKeyCloser&) = delete;

private:
  HKEY FKey;
};
}  // namespace

TRegistry::TRegistry(const std::string& RegPath) {
  // A registry file that had to be reset is reported to the user like any other failure.
  static const bool Routed = (SetRegistryDamageReport(ShowException), true);
  (void)Routed;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, RegPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &FKey, nullptr) != ERROR_SUCCESS)
    FKey = nullptr;
}

TRegistry::~TRegistry() {
  if (FKey) RegCloseKey(FKey);
}

std::string TRegistry::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  HKEY Sub = nullptr;
  if (!FKey || RegOpenKeyExA(FKey, Section.c_str(), 0, KEY_ALL_ACCESS, &Sub) != ERROR_SUCCESS) return Default;
  TKeyCloser Closer(Sub);
  DWORD Type = 0, Size = 0;
  std::vector<BYTE> Data;
  LSTATUS Status;
  // Asked again when the value grew between the two queries (another process wrote it).
  do {
    if (RegQueryValueExA(Sub, Ident.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS) return Default;
    Data.resize(Size);
    Status = RegQueryValueExA(Sub, Ident.c_str(), nullptr, &Type, Data.data(), &Size);
  } while (Status == ERROR_MORE_DATA);
  if (Status != ERROR_SUCCESS) return Default;
  Data.resize(Size);
  if (Type != REG_SZ && Type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + Ident + "'");
  std::string Text(Data.begin(), Data.end());
  return Text.substr(0, Text.find('\0'));
}

void TRegistry::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  HKEY Sub = nullptr;
  if (!FKey || RegCreateKeyExA(FKey, Section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                               &Sub, nullptr) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Ident + "'");
  TKeyCloser Closer(Sub);
  if (RegSetValueExA(Sub, Ident.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                     static_cast<DWORD>(Value.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Ident + "'");
}

double TRegistry::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
  return StrToFloat(ReadString(Section, Ident, FloatToStr(Default)));
}
