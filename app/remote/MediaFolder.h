#pragma once
// The media folder the remote API confines its files to: client-given names are checked and
// resolved against it here, and nowhere else. Any thread; it holds no state but its root.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TMediaFolder {
public:
  explicit TMediaFolder(std::filesystem::path ARoot);

  // Creates the folder (mode 0700) when it is missing; false, with Why, when it cannot be or
  // is no folder. Fixes the canonical root every later check compares with.
  bool Prepare(std::string& Why);
  const std::filesystem::path& Root() const { return FReal; }  // its real path, once prepared

  // A client's relative path as a path inside the folder; nullopt with Why for an empty, absolute
  // or ".." path, a backslash or control character, or one whose real location (symbolic links
  // followed, the last part possibly not there yet) lies outside the folder.
  std::optional<std::filesystem::path> Resolve(const std::string& Relative, std::string& Why) const;
  // The relative names of the regular files below the folder whose names Wanted accepts,
  // sorted; hidden files and folders (a leading dot: unfinished uploads) are left out.
  std::vector<std::string> List(const std::function<bool(const std::string&)>& Wanted) const;
  // A path's name relative to the folder's real root.
  std::string RelativeName(const std::filesystem::path& Path) const;

private:
  std::filesystem::path FRoot;
  std::filesystem::path FReal;  // canonical root
};

// A file name a client sent made safe to save under: nullopt for one with a folder part ("/"
// or "\"), "." or "..", or nothing left; otherwise characters that shells and other systems
// treat specially become "_", leading dots and spaces go, and it is cut to 200 bytes at a
// character boundary (the extension kept).
std::optional<std::string> SanitiseFileName(const std::string& Name);
