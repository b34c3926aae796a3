#include "platform/win/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string FileErrorText(int Error) {
  return Error == EFILETYPE ? "Not a regular file" : std::strerror(Error);
}

int OpenFileToRead(const std::string& Path, int& Handle, struct stat& Info) {
  Handle = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (Handle < 0) return errno;
  int Error = ::fstat(Handle, &Info) != 0 ? errno : 0;
  if (!Error && S_ISDIR(Info.st_mode)) Error = EISDIR;
  if (!Error && !S_ISREG(Info.st_mode)) Error = EFILETYPE;
  if (Error) {
    ::close(Handle);
    Handle = -1;
  }
  return Error;
}

int ReadOpenFile(int Handle, std::string& Text, std::size_t MaxBytes) {
  Text.clear();
  struct stat Info {};
  if (::fstat(Handle, &Info) != 0) return errno;
  if (static_cast<std::size_t>(Info.st_size) > MaxBytes) return EFBIG;
  Text.reserve(static_cast<std::size_t>(Info.st_size));
  char Buffer[65536];
  for (;;) {
    const ssize_t N = ::read(Handle, Buffer, sizeof Buffer);
    if (N < 0) {
      if (errno == EINTR) continue;
      Text.clear();
      return errno;
    }
    if (N == 0) return 0;
    // The file may grow while it is read.
    if (Text.size() + static_cast<std::size_t>(N) > MaxBytes) {
      Text.clear();
      return EFBIG;
    }
    Text.append(Buffer, static_cast<std::size_t>(N));
  }
}

int ReadFileText(const std::string& Path, std::string& Text, std::size_t MaxBytes) {
  Text.clear();
  int Handle = -1;
  struct stat Info {};
  if (const int Error = OpenFileToRead(Path, Handle, Info)) return Error;
  const int Error = ReadOpenFile(Handle, Text, MaxBytes);
  ::close(Handle);
  return Error;
}
