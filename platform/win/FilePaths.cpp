#include "platform/win/FilePaths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::string FolderOf(const std::string& Path) {
  const std::size_t Slash = Path.find_last_of('/');
  if (Slash == std::string::npos) return ".";
  if (Slash == 0) return "/";
  return Path.substr(0, Slash);
}

int ForceDirectories(const std::string& Folder) {
  if (Folder.empty()) return 0;
  struct stat Info {};
  if (::stat(Folder.c_str(), &Info) == 0) return S_ISDIR(Info.st_mode) ? 0 : ENOTDIR;
  const std::string Parent = FolderOf(Folder);
  if (Parent != Folder && Parent != ".") {
    if (const int Error = ForceDirectories(Parent)) return Error;
  }
  if (::mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
  return 0;
}

int ResolveLinks(const std::string& Path, std::string& Resolved) {
  Resolved = Path;
  // The kernel's own bound on links followed in one lookup.
  constexpr int MaxLinks = 40;
  for (int Followed = 0; Followed <= MaxLinks; ++Followed) {
    struct stat Info {};
    if (::lstat(Resolved.c_str(), &Info) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(Info.st_mode)) return 0;
    char Target[PATH_MAX];
    const ssize_t N = ::readlink(Resolved.c_str(), Target, sizeof Target);
    if (N < 0) return errno;
    if (N == 0) return ENOENT;
    if (N == sizeof Target) return ENAMETOOLONG;
    const std::string Link(Target, static_cast<std::size_t>(N));
    if (Link.front() == '/' || Resolved.find('/') == std::string::npos) {
      Resolved = Link;
    } else {
      const std::string Folder = FolderOf(Resolved);
      Resolved = (Folder == "/" ? "" : Folder) + "/" + Link;
    }
  }
  return ELOOP;
}
