#include "platform/win/Registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>

#include "platform/win/AtomicFile.h"
#include "platform/win/FileLock.h"
#include "platform/win/FilePaths.h"
#include "platform/win/FileText.h"
#include "platform/win/RegFile.h"

struct HKEY__ {
  std::string Path;
  REGSAM Access;
};

namespace {
// A larger settings file is not read: the program's own holds a dozen values, and a file this
// size would already take a few hundred megabytes once parsed.
constexpr std::size_t MaxFileBytes = 16u << 20;
const char* const MaxFileText = "16 MB";

struct THandles {
  std::mutex Lock;
  std::set<HKEY> Open;
  TRegistryDamageReport Report;
  std::set<std::string> Reported;
};

THandles& Handles() {
  static THandles H;
  return H;
}

// Each message once per run: a file that stays unusable is met by every call.
void Report(const std::string& Message) {
  TRegistryDamageReport R;
  {
    std::lock_guard<std::mutex> Guard(Handles().Lock);
    if (!Handles().Reported.insert(Message).second) return;
    R = Handles().Report;
  }
  if (R)
    R(Message);
  else
    std::cerr << "vizmora: " << Message << std::endl;
}

// The registry file as last read or written by this process, so a call that finds the same
// file need not read and parse it again. The file is kept open: while it is, no other file can
// take its inode, and every save (ours or another process's) makes a new one. Calls take the
// cache's lock for their whole length, one at a time.
struct TCache {
  std::mutex Lock;
  std::string Target;
  int Handle = -1;
  struct stat Info {};
  TRegFile File;

  bool Holds(const std::string& Path, const struct stat& Now) const {
    return Handle >= 0 && Path == Target && Now.st_dev == Info.st_dev && Now.st_ino == Info.st_ino &&
           Now.st_size == Info.st_size && Now.st_mtim.tv_sec == Info.st_mtim.tv_sec &&
           Now.st_mtim.tv_nsec == Info.st_mtim.tv_nsec && Now.st_ctim.tv_sec == Info.st_ctim.tv_sec &&
           Now.st_ctim.tv_nsec == Info.st_ctim.tv_nsec;
  }
  // File now stands for the file open at NewHandle (-1: for nothing on disk).
  void Keep(const std::string& Path, int NewHandle, const struct stat& NewInfo) {
    if (Handle >= 0) ::close(Handle);
    Target = Path;
    Handle = NewHandle;
    Info = NewInfo;
  }
};

// Never destroyed: a large file's keys need not be freed one by one at exit.
TCache& Cache() {
  static TCache& C = *new TCache;
  return C;
}

// The key a handle stands for, copied so the call works on it without holding the table.
bool Resolve(HKEY Key, HKEY__& Out) {
  if (Key == HKEY_CURRENT_USER) {
    Out = HKEY__{"", KEY_ALL_ACCESS};
    return true;
  }
  std::lock_guard<std::mutex> Guard(Handles().Lock);
  if (!Handles().Open.count(Key)) return false;
  Out = *Key;
  return true;
}

HKEY NewHandle(const std::string& Path, REGSAM Access) {
  HKEY Key = new HKEY__{Path, Access};
  std::lock_guard<std::mutex> Guard(Handles().Lock);
  Handles().Open.insert(Key);
  return Key;
}

LSTATUS StatusOf(int Error) {
  if (Error == 0) return ERROR_SUCCESS;
  if (Error == EACCES || Error == EPERM || Error == EROFS) return ERROR_ACCESS_DENIED;
  return ERROR_WRITE_FAULT;
}

// A first free name beside the file for a copy that could not be read; nothing is overwritten.
std::string DamagedName(const std::string& Path) {
  std::string Name = Path + ".damaged";
  for (int N = 2; ::access(Name.c_str(), F_OK) == 0; ++N) Name = Path + ".damaged." + std::to_string(N);
  return Name;
}

std::string Unusable(const std::string& Path, int Error) {
  const std::string Why = Error == EFBIG                        ? std::string("is larger than ") + MaxFileText
                          : Error == EFILETYPE || Error == EISDIR ? std::string("is not a regular file")
                                                                  : "cannot be read: " + FileErrorText(Error);
  return "The settings file \"" + Path + "\" " + Why +
         ". The settings have their defaults and are not saved; the file is left as it is.";
}

// One call's view of the registry file: locked, read afresh (unless it is still the file the
// cache holds), written back when changed. The file a link at the path points to is the one read
// and written. A file that cannot be parsed is moved aside and the call goes on with an empty
// registry; one that cannot be read (too large, not a regular file, refused) is left alone and
// the call fails. The user is told after the locks are released.
class TSession {
public:
  TSession() : FGuard(Cache().Lock) {
    const std::string Path = RegistryFileName();
    TCache& C = Cache();
    int Handle = -1;
    struct stat Info {};
    if (const int Error = Open(Path, Handle, Info)) {
      C.Keep(FTarget, -1, Info);
      C.File.Clear();
      if (Error != ENOENT) {
        FStatus = StatusOf(Error);
        FMessage = Unusable(Path, Error);
      }
      return;
    }
    if (C.Holds(FTarget, Info)) {
      ::close(Handle);
      return;
    }
    std::string Text;
    const int Error = ReadOpenFile(Handle, Text, MaxFileBytes);
    if (!Error && C.File.Parse(Text)) {
      C.Keep(FTarget, Handle, Info);
      return;
    }
    ::close(Handle);
    C.Keep(FTarget, -1, Info);
    C.File.Clear();
    if (Error) {
      FStatus = StatusOf(Error);
      FMessage = Unusable(Path, Error);
      return;
    }
    const std::string Aside = DamagedName(FTarget);
    if (::rename(FTarget.c_str(), Aside.c_str()) != 0) {
      FStatus = ERROR_ACCESS_DENIED;
      return;
    }
    FMessage = "The settings file \"" + Path + "\" could not be read. The settings have been reset to their "
               "defaults; the old file was kept as \"" + Aside + "\".";
  }
  ~TSession() {
    if (FLock) FLock->Unlock();
    FGuard.unlock();
    if (!FMessage.empty()) Report(FMessage);
  }

  // ERROR_SUCCESS when the file could be read (or did not exist).
  LSTATUS Status() const { return FStatus; }
  TRegFile& File() { return Cache().File; }
  LSTATUS Save() {
    TCache& C = Cache();
    const int Error = FLock && FLock->Locked() ? WriteFileAtomically(FTarget, C.File.Format(), 0600) : EACCES;
    // The file written is the one the cache stands for from now on; after a failure, none is.
    int Handle = -1;
    struct stat Info {};
    if (Error || OpenFileToRead(FTarget, Handle, Info) != 0) Handle = -1;
    C.Keep(FTarget, Handle, Info);
    return StatusOf(Error);
  }

private:
  // Finds the file the path leads to, locks it and opens it.
  int Open(const std::string& Path, int& Handle, struct stat& Info) {
    if (const int Error = ResolveLinks(Path, FTarget)) return Error;
    // Nothing is made beside a device or a FIFO, not even the lock file.
    struct stat Seen {};
    if (::stat(FTarget.c_str(), &Seen) == 0 && !S_ISREG(Seen.st_mode)) return S_ISDIR(Seen.st_mode) ? EISDIR : EFILETYPE;
    if (ForceDirectories(FolderOf(FTarget)) == 0) FLock.emplace(FTarget + ".lock");
    if (const int Error = OpenFileToRead(FTarget, Handle, Info)) return Error;
    if (static_cast<std::size_t>(Info.st_size) <= MaxFileBytes) return 0;
    ::close(Handle);
    return EFBIG;
  }

  std::unique_lock<std::mutex> FGuard;
  std::string FTarget;
  std::optional<TFileLock> FLock;
  LSTATUS FStatus = ERROR_SUCCESS;
  std::string FMessage;
};

std::string Join(const std::string& Base, LPCSTR Sub) {
  return NormalizeKeyPath(Base + "\\" + (Sub ? Sub : ""));
}
}  // namespace

std::string RegistryFileName() {
  if (const char* Own = std::getenv("VIZMORA_REGISTRY"); Own && *Own) return Own;
  const char* Config = std::getenv("XDG_CONFIG_HOME");
  std::string Folder;
  if (Config && Config[0] == '/') {
    Folder = Config;
  } else {
    const char* Home = std::getenv("HOME");
    Folder = std::string(Home ? Home : "") + "/.config";
  }
  return Folder + "/vizmora/registry.reg";
}

void SetRegistryDamageReport(TRegistryDamageReport R) {
  std::lock_guard<std::mutex> Guard(Handles().Lock);
  Handles().Report = std::move(R);
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/, DWORD /*dwOptions*/,
                        REGSAM samDesired, const SECURITY_ATTRIBUTES* /*lpSecurityAttributes*/, PHKEY phkResult,
                        LPDWORD lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  HKEY__ Base;
  if (!Resolve(hKey, Base)) return ERROR_INVALID_HANDLE;
  if (!(Base.Access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
  const std::string Path = Join(Base.Path, lpSubKey);
  TSession Session;
  if (const LSTATUS S = Session.Status()) return S;
  TRegFile& File = Session.File();
  if (!Base.Path.empty() && !File.KeyExists(Base.Path)) return ERROR_KEY_DELETED;
  const bool Existed = Path.empty() || File.KeyExists(Path);
  if (File.CreateKey(Path))
    if (const LSTATUS S = Session.Save()) return S;
  if (lpdwDisposition) *lpdwDisposition = Existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *phkResult = NewHandle(Path, samDesired);
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  HKEY__ Base;
  if (!Resolve(hKey, Base)) return ERROR_INVALID_HANDLE;
  const std::string Path = Join(Base.Path, lpSubKey);
  TSession Session;
  if (const LSTATUS S = Session.Status()) return S;
  if (!Path.empty() && !Session.File().KeyExists(Path)) return ERROR_FILE_NOT_FOUND;
  *phkResult = NewHandle(Path, samDesired);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  HKEY__ Key;
  if (!Resolve(hKey, Key)) return ERROR_INVALID_HANDLE;
  if (!(Key.Access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  TSession Session;
  if (const LSTATUS S = Session.Status()) return S;
  TRegFile& File = Session.File();
  const TRegKey* Found = File.FindKey(Key.Path);
  if (!Found) return Key.Path.empty() || File.KeyExists(Key.Path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
  const TRegValue* Value = Found->FindValue(lpValueName ? lpValueName : "");
  if (!Value) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = Value->Type;
  const auto Size = static_cast<DWORD>(Value->Data.size());
  LSTATUS Status = ERROR_SUCCESS;
  if (lpData) {
    if (*lpcbData < Size)
      Status = ERROR_MORE_DATA;
    else if (Size)
      std::memcpy(lpData, Value->Data.data(), Size);
  }
  if (lpcbData) *lpcbData = Size;
  return Status;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
  if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
  HKEY__ Key;
  if (!Resolve(hKey, Key)) return ERROR_INVALID_HANDLE;
  if (!(Key.Access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  TSession Session;
  if (const LSTATUS S = Session.Status()) return S;
  TRegFile& File = Session.File();
  if (!Key.Path.empty() && !File.KeyExists(Key.Path)) return ERROR_KEY_DELETED;
  // A key the file only implies (as a parent) is written out from now on.
  const bool Created = File.CreateKey(Key.Path);
  TRegKey* Target = File.FindKey(Key.Path);
  const std::string Name = lpValueName ? lpValueName : "";
  std::vector<BYTE> Data(lpData, lpData + cbData);
  // The same value again leaves the file alone: forms store their unchanged settings at every close.
  const TRegValue* Was = Target->FindValue(Name);
  if (!Created && Was && Was->Type == dwType && Was->Data == Data) return ERROR_SUCCESS;
  Target->SetValue({Name, dwType, std::move(Data)});
  return Session.Save();
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (hKey == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  {
    std::lock_guard<std::mutex> Guard(Handles().Lock);
    if (!Handles().Open.erase(hKey)) return ERROR_INVALID_HANDLE;
  }
  delete hKey;
  return ERROR_SUCCESS;
}
