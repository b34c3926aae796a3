#pragma once
// The text of an ini file as the profile calls see it: section names and key names compare
// without letter case, values lose surrounding blanks and one pair of quotes. Lines are kept as
// they are, so changes touch only the lines they must; the file's line ends are kept.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TProfileText {
public:
  void Parse(std::string_view Text);
  std::string Format() const;

  // Section names in file order.
  std::vector<std::string> Sections() const;
  // Key names of the first section of that name, in file order; empty when it is missing.
  std::vector<std::string> Keys(const std::string& Section) const;
  std::optional<std::string> Value(const std::string& Section, const std::string& Key) const;

  // Sets the key, adding the section at the end when it is missing.
  void SetValue(const std::string& Section, const std::string& Key, const std::string& Value);
  // Each answers whether anything was removed.
  bool DeleteKey(const std::string& Section, const std::string& Key);
  bool DeleteSection(const std::string& Section);

private:
  // The first section of that name: [Begin, End) are its lines after the section line.
  bool FindSection(const std::string& Section, std::size_t& Begin, std::size_t& End) const;
  std::size_t FindEntry(std::size_t Begin, std::size_t End, const std::string& Key) const;

  std::vector<std::string> FLines;
  std::string FLineEnd = "\n";
};
