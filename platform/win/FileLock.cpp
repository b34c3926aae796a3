#include "platform/win/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

TFileLock::TFileLock(const std::string& LockPath) {
  FHandle = ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (FHandle < 0) return;
  while (::flock(FHandle, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(FHandle);
      FHandle = -1;
      return;
    }
  }
}

TFileLock::~TFileLock() { Unlock(); }

void TFileLock::Unlock() {
  if (FHandle < 0) return;
  ::flock(FHandle, LOCK_UN);
  ::close(FHandle);
  FHandle = -1;
}
