#pragma once
// The contents of the registry file: keys below HKEY_CURRENT_USER with their typed values, and
// their .reg text ("Windows Registry Editor Version 5.00"). Key paths and value names compare
// without letter case and keep the case they were created with. Not shared between threads.
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

struct TRegValue {
  std::string Name;  // empty: the key's default value, "@" in the text
  DWORD Type = 0;
  std::vector<BYTE> Data;
};

struct TRegKey {
  std::string Path;  // below HKEY_CURRENT_USER, segments joined by "\"; empty for the root
  std::vector<TRegValue> Values;

  TRegValue* FindValue(const std::string& Name);
};

class TRegFile {
public:
  // False when the text is not a registry file this reader understands.
  bool Parse(const std::string& Text);
  std::string Format() const;

  TRegKey* FindKey(const std::string& Path);
  // Creates the key with every missing parent; answers whether anything was created.
  bool CreateKey(const std::string& Path);

  std::vector<TRegKey> Keys;  // in file order, a parent before its children
};

// The path with empty segments dropped: "\a\\b\" is "a\b".
std::string NormalizeKeyPath(const std::string& Path);
// Key path or value name equality, letter case ignored.
bool SameRegName(const std::string& A, const std::string& B);
