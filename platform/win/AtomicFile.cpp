#include "platform/win/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/FilePaths.h"
#include "platform/win/FileText.h"

namespace {
// Temporary files are named ".<file name>.vizmora-XXXXXX" in the target's folder: hidden,
// recognisable, and found again by the next save of the same file.
constexpr const char* Mark = ".vizmora-";
constexpr std::size_t RandomLength = 6;

std::string BaseName(const std::string& Path) { return Path.substr(Path.find_last_of('/') + 1); }

// The name every temporary of Target starts with; a long file name is cut so the whole fits.
std::string TemporaryPrefix(const std::string& Target) {
  std::string Name = BaseName(Target);
  const std::size_t Room = NAME_MAX - 1 - std::char_traits<char>::length(Mark) - RandomLength;
  if (Name.size() > Room) Name.resize(Room);
  return "." + Name + Mark;
}

std::string RandomSuffix() {
  static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char Bytes[RandomLength] = {};
  if (::getrandom(Bytes, sizeof Bytes, 0) != static_cast<ssize_t>(sizeof Bytes))
    for (std::size_t I = 0; I < RandomLength; ++I) Bytes[I] = static_cast<unsigned char>(::random());
  std::string Suffix;
  for (unsigned char B : Bytes) Suffix += Letters[B % (sizeof Letters - 1)];
  return Suffix;
}

// Removes the temporaries of Target that no save holds locked any longer.
void RemoveStaleTemporaries(const std::string& Folder, const std::string& Prefix) {
  DIR* Dir = ::opendir(Folder.c_str());
  if (!Dir) return;
  const int DirHandle = ::dirfd(Dir);
  while (const dirent* Entry = ::readdir(Dir)) {
    const std::string Name = Entry->d_name;
    if (Name.size() != Prefix.size() + RandomLength || Name.compare(0, Prefix.size(), Prefix) != 0) continue;
    const int Handle = ::openat(DirHandle, Name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (Handle < 0) continue;
    struct stat Info {};
    if (::fstat(Handle, &Info) == 0 && S_ISREG(Info.st_mode) && ::flock(Handle, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(DirHandle, Name.c_str(), 0);
    ::close(Handle);
  }
  ::closedir(Dir);
}

int SyncFolder(const std::string& Folder) {
  const int Handle = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Handle < 0) return 0;
  // Only a failed write-back matters; a file system that cannot sync folders has nothing to do.
  const int Error = ::fsync(Handle) != 0 && errno == EIO ? EIO : 0;
  ::close(Handle);
  return Error;
}
}  // namespace

TAtomicFile::~TAtomicFile() { Discard(); }

void TAtomicFile::Discard() {
  if (FHandle < 0) return;
  ::unlink(FTemporary.c_str());
  ::close(FHandle);
  FHandle = -1;
}

int TAtomicFile::Open(const std::string& Path, mode_t NewFileMode) {
  Discard();
  if (const int Error = ResolveLinks(Path, FTarget)) return Error;
  struct stat Old {};
  FExisted = ::stat(FTarget.c_str(), &Old) == 0;
  if (!FExisted && errno != ENOENT) return errno;
  if (FExisted) {
    if (S_ISDIR(Old.st_mode)) return EISDIR;
    if (!S_ISREG(Old.st_mode)) return EFILETYPE;
    // Replacing the file needs only the folder's permission; saving it needs the file's own. A
    // file without any write bit is read-only to everyone, as the read-only attribute makes it.
    if ((Old.st_mode & 0222) == 0) return EACCES;
    if (::access(FTarget.c_str(), W_OK) != 0) return errno;
    FMode = Old.st_mode & 07777;
    FOwner = Old.st_uid;
    FGroup = Old.st_gid;
  }
  const std::string Folder = FolderOf(FTarget);
  const std::string Prefix = TemporaryPrefix(FTarget);
  RemoveStaleTemporaries(Folder, Prefix);
  for (int Try = 0; Try < 100; ++Try) {
    FTemporary = Folder + "/" + Prefix + RandomSuffix();
    const int Handle = ::open(FTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, FExisted ? 0600 : NewFileMode);
    if (Handle < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    // Held until the rename, so no other save takes it for stale. A save that removed it
    // between its creation and the lock leaves it without a name: make another.
    struct stat Info {};
    if (::flock(Handle, LOCK_EX | LOCK_NB) == 0 && ::fstat(Handle, &Info) == 0 && Info.st_nlink > 0) {
      FHandle = Handle;
      return 0;
    }
    ::close(Handle);
  }
  return EEXIST;
}

int TAtomicFile::Write(const void* Data, std::size_t Size) {
  const auto* From = static_cast<const char*>(Data);
  while (Size > 0) {
    const ssize_t N = ::write(FHandle, From, Size);
    if (N < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    From += N;
    Size -= static_cast<std::size_t>(N);
  }
  return 0;
}

int TAtomicFile::Commit() {
  if (FHandle < 0) return EBADF;
  int Error = ::fsync(FHandle) != 0 ? errno : 0;
  if (!Error && FExisted) {
    // The owner and group are kept where this user may keep them; the mode is kept always.
    struct stat Now {};
    if (::fstat(FHandle, &Now) == 0 && (Now.st_uid != FOwner || Now.st_gid != FGroup)) {
      [[maybe_unused]] const int Refused = ::fchown(FHandle, FOwner, FGroup);
    }
    if (::fchmod(FHandle, FMode) != 0) Error = errno;
  }
  if (!Error && ::rename(FTemporary.c_str(), FTarget.c_str()) != 0) Error = errno;
  if (Error) {
    Discard();
    return Error;
  }
  ::close(FHandle);
  FHandle = -1;
  return SyncFolder(FolderOf(FTarget));
}

int WriteFileAtomically(const std::string& Path, const std::string& Text, mode_t NewFileMode) {
  TAtomicFile File;
  if (const int Error = File.Open(Path, NewFileMode)) return Error;
  if (const int Error = File.Write(Text.data(), Text.size())) return Error;
  return File.Commit();
}
