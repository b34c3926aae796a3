#pragma once
// The contents of the registry file: keys below HKEY_CURRENT_USER with their typed values, and
// their .reg text ("Windows Registry Editor Version 5.00"). Key paths and value names compare
// without letter case and keep the case they were created with. Reading and writing the text
// take time linear in its length, however many keys it holds and however deep they lie. Not
// shared between threads.
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win/WinTypes.h"

// The types of values.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

struct TRegValue {
  std::string Name;  // empty: the key's default value, "@" in the text
  DWORD Type = REG_NONE;
  std::vector<BYTE> Data;
};

class TRegKey {
public:
  TRegKey(std::string APath, std::string_view AFolded) : Path(std::move(APath)), FFolded(AFolded) {}

  const std::string Path;  // below HKEY_CURRENT_USER, segments joined by "\"; empty for the root

  const std::vector<TRegValue>& Values() const { return FValues; }
  const TRegValue* FindValue(std::string_view Name) const;
  // Replaces the value of that name (which keeps the letter case it had) or appends it.
  void SetValue(TRegValue Value);
  std::string_view Folded() const { return FFolded; }

private:
  // A key holds a few values as a rule: they are searched one by one, and indexed once many.
  static constexpr std::size_t IndexFrom = 16;
  std::size_t Find(const std::string& Folded) const;

  std::string_view FFolded;  // held by TRegFile's index
  std::vector<TRegValue> FValues;
  std::vector<std::string> FFoldedNames;                // in the order of FValues
  std::unordered_map<std::string, std::size_t> FIndex;  // folded name → position, once many
};

class TRegFile {
public:
  TRegFile() = default;
  // Keys view their folded paths in the index, which a copy would not share.
  TRegFile(const TRegFile&) = delete;
  TRegFile& operator=(const TRegFile&) = delete;

  // False when the text is not a registry file this reader understands.
  bool Parse(std::string_view Text);
  std::string Format() const;
  void Clear();

  // The key itself, when it was created or listed in the text; Path as NormalizeKeyPath leaves it.
  TRegKey* FindKey(std::string_view Path);
  // Found, or the parent of a key that is: a text may list a key without its parents, which
  // exist all the same but are not written out until created.
  bool KeyExists(std::string_view Path) const;
  // Creates the key with every missing parent; answers whether anything was created.
  bool CreateKey(std::string_view Path);
  // In text order.
  const std::deque<TRegKey>& Keys() const { return FKeys; }

private:
  TRegKey& FindOrAdd(std::string_view Path);

  std::deque<TRegKey> FKeys;  // in text order
  std::unordered_map<std::string, std::size_t> FIndex;  // folded path → position in FKeys
};

// The path with empty segments dropped: "\a\\b\" is "a\b".
std::string NormalizeKeyPath(std::string_view Path);
