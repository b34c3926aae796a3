#include "app/remote/MediaFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace fs = std::filesystem;

TMediaFolder::TMediaFolder(fs::path ARoot) : FRoot(std::move(ARoot)) {}

bool TMediaFolder::Prepare(std::string& Why) {
  std::error_code Error;
  if (!fs::exists(FRoot, Error)) {
    fs::create_directories(FRoot.parent_path(), Error);
    if (mkdir(FRoot.c_str(), 0700) != 0 && errno != EEXIST) {
      Why = "cannot create the media folder " + FRoot.string() + ": " + std::strerror(errno);
      return false;
    }
  }
  if (!fs::is_directory(FRoot, Error)) {
    Why = "the media folder " + FRoot.string() + " is not a folder";
    return false;
  }
  FReal = fs::canonical(FRoot, Error);
  if (Error) Why = "cannot read the media folder " + FRoot.string() + ": " + Error.message();
  return !Error;
}

std::optional<fs::path> TMediaFolder::Resolve(const std::string& Relative, std::string& Why) const {
  if (Relative.empty()) return Why = "is empty", std::nullopt;
  if (Relative.front() == '/') return Why = "must be relative to the media folder", std::nullopt;
  if (std::any_of(Relative.begin(), Relative.end(), [](char C) { return C == '\\' || static_cast<unsigned char>(C) < 0x20; }))
    return Why = "holds a backslash or a control character", std::nullopt;
  const fs::path Path(Relative);
  for (const fs::path& Part : Path)
    if (Part == "..") return Why = "may not go up a folder (\"..\")", std::nullopt;
  // The real location: links followed as far as the path exists.
  std::error_code Error;
  const fs::path Real = fs::weakly_canonical(FReal / Path, Error);
  const auto [RootEnd, RealAt] = std::mismatch(FReal.begin(), FReal.end(), Real.begin(), Real.end());
  if (Error || RootEnd != FReal.end() || Real == FReal) return Why = "leads out of the media folder", std::nullopt;
  return Real;
}

std::vector<std::string> TMediaFolder::List(const std::function<bool(const std::string&)>& Wanted) const {
  std::vector<std::string> Names;
  std::error_code Error;
  for (auto It = fs::recursive_directory_iterator(FReal, Error); !Error && It != fs::recursive_directory_iterator();
       It.increment(Error)) {
    const std::string Name = It->path().filename().string();
    if (Name.front() == '.') {
      if (It->is_directory(Error)) It.disable_recursion_pending();
      continue;
    }
    std::string Why;
    if (It->is_regular_file(Error) && Wanted(Name) && Resolve(RelativeName(It->path()), Why))
      Names.push_back(RelativeName(It->path()));
  }
  std::sort(Names.begin(), Names.end());
  return Names;
}

std::string TMediaFolder::RelativeName(const fs::path& Path) const { return Path.lexically_relative(FReal).string(); }

std::optional<std::string> SanitiseFileName(const std::string& Name) {
  if (Name.find_first_of("/\\") != std::string::npos || Name == "." || Name == "..") return std::nullopt;
  std::string Safe;
  for (const char C : Name) {
    const auto B = static_cast<unsigned char>(C);
    const bool Plain = B >= 0x80 || std::isalnum(B) || std::string_view(" ._-+,()[]").find(C) != std::string_view::npos;
    Safe += Plain ? C : '_';
  }
  Safe.erase(0, Safe.find_first_not_of(". "));
  constexpr std::size_t Longest = 200;
  if (Safe.size() > Longest) {
    const std::size_t Dot = Safe.rfind('.');
    const std::string Ext = Dot != std::string::npos && Safe.size() - Dot <= 16 ? Safe.substr(Dot) : "";
    std::size_t Cut = Longest - Ext.size();
    while (Cut > 0 && (static_cast<unsigned char>(Safe[Cut]) & 0xC0) == 0x80) --Cut;  // not inside a character
    Safe = Safe.substr(0, Cut) + Ext;
  }
  if (Safe.empty()) return std::nullopt;
  return Safe;
}
