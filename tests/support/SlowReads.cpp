// Preloaded into a test program (LD_PRELOAD), this makes every read of a file whose path holds
// "slow-reads" wait VIZMORA_SLOW_READ_MS milliseconds (200 by default) first: a slow share, for
// tests and benchmarks of opening files off the user-interface thread.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int MostDescriptors = 65536;
std::array<std::atomic<bool>, MostDescriptors> Slow{};

template <typename F>
F Next(const char* Name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, Name));
}

int DelayUs() {
  static const int Us = [] {
    const char* Ms = std::getenv("VIZMORA_SLOW_READ_MS");
    return (Ms ? std::atoi(Ms) : 200) * 1000;
  }();
  return Us;
}

int Opened(int Fd, const char* Path) {
  if (Fd >= 0 && Fd < MostDescriptors) Slow[Fd] = Path && std::strstr(Path, "slow-reads");
  return Fd;
}

void Wait(int Fd) {
  if (Fd >= 0 && Fd < MostDescriptors && Slow[Fd]) usleep(useconds_t(DelayUs()));
}

mode_t ModeOf(int Flags, va_list Args) { return (Flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(Args, int)) : 0; }
}  // namespace

extern "C" {
// On this 64-bit system the 64-bit forms take the same arguments.
int open(const char* Path, int Flags, ...) {
  va_list Args;
  va_start(Args, Flags);
  const mode_t Mode = ModeOf(Flags, Args);
  va_end(Args);
  return Opened(Next<int (*)(int, const char*, int, ...)>("openat")(AT_FDCWD, Path, Flags, Mode), Path);
}
int open64(const char* Path, int Flags, ...) __attribute__((alias("open")));

int openat(int Dir, const char* Path, int Flags, ...) {
  va_list Args;
  va_start(Args, Flags);
  const mode_t Mode = ModeOf(Flags, Args);
  va_end(Args);
  return Opened(Next<int (*)(int, const char*, int, ...)>("openat")(Dir, Path, Flags, Mode), Path);
}
int openat64(int Dir, const char* Path, int Flags, ...) __attribute__((alias("openat")));

int close(int Fd) {
  if (Fd >= 0 && Fd < MostDescriptors) Slow[Fd] = false;
  return Next<int (*)(int)>("close")(Fd);
}

ssize_t read(int Fd, void* Buffer, size_t Size) {
  Wait(Fd);
  return Next<ssize_t (*)(int, void*, size_t)>("read")(Fd, Buffer, Size);
}

ssize_t pread(int Fd, void* Buffer, size_t Size, off_t Offset) {
  Wait(Fd);
  return Next<ssize_t (*)(int, void*, size_t, off_t)>("pread")(Fd, Buffer, Size, Offset);
}
ssize_t pread64(int Fd, void* Buffer, size_t Size, off64_t Offset) __attribute__((alias("pread")));

ssize_t readv(int Fd, const struct iovec* Vectors, int Count) {
  Wait(Fd);
  return Next<ssize_t (*)(int, const struct iovec*, int)>("readv")(Fd, Vectors, Count);
}
}
