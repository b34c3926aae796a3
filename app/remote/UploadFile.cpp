#include "app/remote/UploadFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

TUploadFile::~TUploadFile() {
  if (FHandle >= 0) close(FHandle);
  if (!FTemporary.empty()) unlink(FTemporary.c_str());
}

bool TUploadFile::Create(std::string& Why) {
  std::string Template = (FFolder / ".upload-XXXXXX").string();
  FHandle = mkostemp(Template.data(), O_CLOEXEC);
  if (FHandle < 0) {
    Why = std::string("cannot save an upload in the media folder: ") + std::strerror(errno);
    return false;
  }
  FTemporary = Template;
  return true;
}

int TUploadFile::Write(const char* Data, std::size_t Size) {
  while (Size > 0) {
    const ssize_t Done = write(FHandle, Data, Size);
    if (Done < 0 && errno == EINTR) continue;
    if (Done <= 0) return Done < 0 ? errno : ENOSPC;
    Data += Done;
    Size -= static_cast<std::size_t>(Done);
  }
  return 0;
}

int TUploadFile::Finish(const std::string& Name, std::string& Saved) {
  if (fsync(FHandle) != 0 || close(FHandle) != 0) {
    FHandle = -1;
    return errno;
  }
  FHandle = -1;
  const std::size_t Dot = Name.rfind('.');
  const std::string Stem = Name.substr(0, Dot), Ext = Dot == std::string::npos ? "" : Name.substr(Dot);
  for (int N = 1; N < 1000; ++N) {
    const std::string Path = (FFolder / (N == 1 ? Name : Stem + " (" + std::to_string(N) + ")" + Ext)).string();
    if (renameat2(AT_FDCWD, FTemporary.c_str(), AT_FDCWD, Path.c_str(), RENAME_NOREPLACE) == 0) {
      FTemporary.clear();
      Saved = Path;
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}
