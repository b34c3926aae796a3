#include "engine/FileUri.h"

#include <cctype>

namespace {
int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool IsUnreserved(unsigned char C) { return std::isalnum(C) || C == '-' || C == '.' || C == '_' || C == '~'; }

bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  if (Text.size() < Prefix.size()) return false;
  for (size_t I = 0; I < Prefix.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(Text[I])) != Prefix[I]) return false;
  return true;
}
}  // namespace

std::string FileUriFromPath(std::string_view Path) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Uri = "file://";
  for (const char C : Path) {
    const auto B = static_cast<unsigned char>(C);
    if (IsUnreserved(B) || B == '/') {
      Uri += C;
    } else {
      Uri += '%';
      Uri += Hex[B >> 4];
      Uri += Hex[B & 15];
    }
  }
  return Uri;
}

bool HasUriScheme(std::string_view Text) {
  if (Text.empty() || !std::isalpha(static_cast<unsigned char>(Text[0]))) return false;
  size_t I = 1;
  while (I < Text.size() && (std::isalnum(static_cast<unsigned char>(Text[I])) || Text[I] == '+' || Text[I] == '-' ||
                             Text[I] == '.'))
    ++I;
  return I >= 2 && I < Text.size() && Text[I] == ':';
}

std::string PercentDecode(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '%' && I + 2 < Text.size() && HexValue(Text[I + 1]) >= 0 && HexValue(Text[I + 2]) >= 0) {
      Out += static_cast<char>(HexValue(Text[I + 1]) * 16 + HexValue(Text[I + 2]));
      I += 2;
    } else {
      Out += Text[I];
    }
  }
  return Out;
}

bool PathFromFileUri(std::string_view Uri, std::string& Path) {
  if (!StartsWithNoCase(Uri, "file:")) return false;
  std::string_view Rest = Uri.substr(5);
  if (Rest.starts_with("//")) {
    Rest.remove_prefix(2);
    const size_t Slash = Rest.find('/');
    if (Slash == std::string_view::npos) return false;
    const std::string_view Host = Rest.substr(0, Slash);
    if (!Host.empty() && !StartsWithNoCase(Host, "localhost")) return false;
    if (Host.size() > 9) return false;
    Rest.remove_prefix(Slash);
  }
  if (!Rest.starts_with("/")) return false;
  // A query or fragment is no part of a local file's name.
  Rest = Rest.substr(0, Rest.find_first_of("?#"));
  Path = PercentDecode(Rest);
  return Path.find('\0') == std::string::npos;
}
