#include "framework/FileNames.h"

namespace {
std::string::size_type NameStart(const std::string& Path) {
  const auto Sep = Path.find_last_of("/\\");
  return Sep == std::string::npos ? 0 : Sep + 1;
}
}  // namespace

std::string ExtractFileName(const std::string& Path) { return Path.substr(NameStart(Path)); }

std::string ExtractFileExt(const std::string& Path) {
  const auto Start = NameStart(Path);
  const auto Dot = Path.rfind('.');
  if (Dot == std::string::npos || Dot < Start) return {};
  return Path.substr(Dot);
}

std::string ExtractFilePath(const std::string& Path) { return Path.substr(0, NameStart(Path)); }

std::string AnsiUpperCaseAscii(std::string Text) {
  for (char& C : Text)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Text;
}
