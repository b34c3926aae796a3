#pragma once
// Lowers this process's file size limit while the object lives: a write that would grow a file
// past it fails with EFBIG partway, as on a full disk, without a file system of its own.
#include <signal.h>
#include <sys/resource.h>

class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit New = FOld;
    New.rlim_cur = Bytes;
    setrlimit(RLIMIT_FSIZE, &New);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    signal(SIGXFSZ, FOldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
  rlimit FOld{};
  sighandler_t FOldHandler = SIG_DFL;
};
