#include "platform/win/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string FileErrorText(int Error) {
  return Error == EFILETYPE ? "Not a regular file" : std::strerror(Error);
}

namespace {
int ReadAll(int Handle, std::string& Text, std::size_t MaxBytes) {
  char Buffer[65536];
  for (;;) {
    const ssize_t N = ::read(Handle, Buffer, sizeof Buffer);
    if (N < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (N == 0) return 0;
    // The file may grow while it is read.
    if (Text.size() + static_cast<std::size_t>(N) > MaxBytes) return EFBIG;
    Text.append(Buffer, static_cast<std::size_t>(N));
  }
}
}  // namespace

int ReadFileText(const std::string& Path, std::string& Text, std::size_t MaxBytes) {
  Text.clear();
  // Non-blocking, so opening a FIFO does not wait for a writer.
  const int Handle = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (Handle < 0) return errno;
  struct stat Info {};
  int Error = ::fstat(Handle, &Info) != 0 ? errno : 0;
  if (!Error && S_ISDIR(Info.st_mode)) Error = EISDIR;
  if (!Error && !S_ISREG(Info.st_mode)) Error = EFILETYPE;
  if (!Error && static_cast<std::size_t>(Info.st_size) > MaxBytes) Error = EFBIG;
  if (!Error) {
    Text.reserve(static_cast<std::size_t>(Info.st_size) + 1);
    Error = ReadAll(Handle, Text, MaxBytes);
  }
  ::close(Handle);
  if (Error) Text.clear();
  return Error;
}
