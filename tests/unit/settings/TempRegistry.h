#pragma once
// A registry file of the test's own: VIZMORA_REGISTRY points into a temporary folder while the
// object lives. Helpers read and write typed values through the registry calls.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/Registry.h"

class TTempRegistry {
public:
  TTempRegistry() {
    const char* Old = std::getenv("VIZMORA_REGISTRY");
    FHadOld = Old != nullptr;
    if (Old) FOld = Old;
    setenv("VIZMORA_REGISTRY", FileName().c_str(), 1);
  }
  ~TTempRegistry() {
    if (FHadOld)
      setenv("VIZMORA_REGISTRY", FOld.c_str(), 1);
    else
      unsetenv("VIZMORA_REGISTRY");
  }

  std::string Folder() const { return FDir.path().toStdString(); }
  std::string FileName() const { return Folder() + "/registry.reg"; }
  std::string Text() const {
    std::ifstream In(FileName(), std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  void SetText(const std::string& Text) const { std::ofstream(FileName(), std::ios::binary) << Text; }

  // Key lines of the file that lie below the path.
  std::vector<std::string> KeysBelow(const std::string& Path) const {
    std::vector<std::string> Keys;
    std::istringstream In(Text());
    const std::string Prefix = "[HKEY_CURRENT_USER\\" + Path + "\\";
    for (std::string Line; std::getline(In, Line);)
      if (Line.rfind(Prefix, 0) == 0) Keys.push_back(Line);
    return Keys;
  }

private:
  QTemporaryDir FDir;
  std::string FOld;
  bool FHadOld = false;
};

inline bool KeyExists(const std::string& Path) {
  HKEY Key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Path.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS) return false;
  RegCloseKey(Key);
  return true;
}

inline void SetValue(const std::string& Path, const std::string& Name, DWORD Type, const std::vector<BYTE>& Data) {
  HKEY Key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(Key, Name.c_str(), 0, Type, Data.data(), static_cast<DWORD>(Data.size())), ERROR_SUCCESS);
  RegCloseKey(Key);
}

inline void SetText(const std::string& Path, const std::string& Name, const std::string& Text) {
  std::vector<BYTE> Data(Text.begin(), Text.end());
  Data.push_back(0);
  SetValue(Path, Name, REG_SZ, Data);
}

inline void SetDword(const std::string& Path, const std::string& Name, DWORD Value) {
  SetValue(Path, Name, REG_DWORD,
           {static_cast<BYTE>(Value), static_cast<BYTE>(Value >> 8), static_cast<BYTE>(Value >> 16),
            static_cast<BYTE>(Value >> 24)});
}

struct TStoredValue {
  DWORD Type = REG_NONE;
  std::vector<BYTE> Data;
  bool Found = false;
  // REG_SZ text without its NUL.
  std::string Text() const { return Data.empty() ? "" : std::string(Data.begin(), Data.end() - 1); }
};

inline TStoredValue QueryValue(const std::string& Path, const std::string& Name) {
  TStoredValue V;
  HKEY Key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Path.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS) return V;
  DWORD Size = 0;
  if (RegQueryValueExA(Key, Name.c_str(), nullptr, &V.Type, nullptr, &Size) == ERROR_SUCCESS) {
    V.Data.resize(Size);
    V.Found = RegQueryValueExA(Key, Name.c_str(), nullptr, &V.Type, V.Data.data(), &Size) == ERROR_SUCCESS;
  }
  RegCloseKey(Key);
  return V;
}
