#include "platform/gst/GstFileCheck.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string FolderOf(const std::string& Path) {
  const auto Slash = Path.find_last_of('/');
  return Slash == std::string::npos ? "." : Slash == 0 ? "/" : Path.substr(0, Slash);
}
}  // namespace

HRESULT CheckMediaFile(const std::string& Path) {
  struct stat Info{};
  if (::stat(Path.c_str(), &Info) != 0) {
    struct stat Folder{};
    return HRESULT_FROM_WIN32(::stat(FolderOf(Path).c_str(), &Folder) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  }
  if (S_ISDIR(Info.st_mode)) return HRESULT_FROM_WIN32(ERROR_DIRECTORY_NOT_SUPPORTED);
  if (!S_ISREG(Info.st_mode)) return HRESULT_FROM_WIN32(ERROR_BAD_FILE_TYPE);
  if (::access(Path.c_str(), R_OK) != 0) return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  return S_OK;
}
