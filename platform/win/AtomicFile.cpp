#include "platform/win/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {
int WriteAll(int Handle, const std::string& Text) {
  std::size_t Done = 0;
  while (Done < Text.size()) {
    const ssize_t N = ::write(Handle, Text.data() + Done, Text.size() - Done);
    if (N < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    Done += static_cast<std::size_t>(N);
  }
  return 0;
}

void SyncFolder(const std::string& Folder) {
  const int Handle = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Handle < 0) return;
  ::fsync(Handle);
  ::close(Handle);
}
}  // namespace

int ReadFileText(const std::string& Path, std::string& Text) {
  Text.clear();
  const int Handle = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Handle < 0) return errno;
  char Buffer[8192];
  int Error = 0;
  for (;;) {
    const ssize_t N = ::read(Handle, Buffer, sizeof Buffer);
    if (N < 0) {
      if (errno == EINTR) continue;
      Error = errno;
      break;
    }
    if (N == 0) break;
    Text.append(Buffer, static_cast<std::size_t>(N));
  }
  ::close(Handle);
  return Error;
}

int WriteFileAtomically(const std::string& Path, const std::string& Text, mode_t NewFileMode) {
  std::string Template = Path + ".XXXXXX";
  std::vector<char> Name(Template.begin(), Template.end());
  Name.push_back('\0');
  const int Handle = ::mkstemp(Name.data());
  if (Handle < 0) return errno;
  struct stat Old {};
  const mode_t Mode = ::stat(Path.c_str(), &Old) == 0 ? (Old.st_mode & 07777) : NewFileMode;
  int Error = ::fchmod(Handle, Mode) == 0 ? 0 : errno;
  if (!Error) Error = WriteAll(Handle, Text);
  if (!Error && ::fsync(Handle) != 0) Error = errno;
  if (::close(Handle) != 0 && !Error) Error = errno;
  if (!Error && ::rename(Name.data(), Path.c_str()) != 0) Error = errno;
  if (Error) {
    ::unlink(Name.data());
    return Error;
  }
  SyncFolder(FolderOf(Path));
  return 0;
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

std::string FolderOf(const std::string& Path) {
  const std::size_t Slash = Path.find_last_of('/');
  if (Slash == std::string::npos) return ".";
  if (Slash == 0) return "/";
  return Path.substr(0, Slash);
}

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
