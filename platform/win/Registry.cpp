#include "platform/win/Registry.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>

#include "platform/win/AtomicFile.h"
#include "platform/win/RegFile.h"

struct HKEY__ {
  std::string Path;
  REGSAM Access;
};

namespace {
struct THandles {
  std::mutex Lock;
  std::set<HKEY> Open;
  TRegistryDamageReport Report;
};

THandles& Handles() {
  static THandles H;
  return H;
}

void Report(const std::string& Message) {
  TRegistryDamageReport R;
  {
    std::lock_guard<std::mutex> Guard(Handles().Lock);
    R = Handles().Report;
  }
  if (R)
    R(Message);
  else
    std::cerr << "vizmora: " << Message << std::endl;
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

// One call's view of the registry file: locked, read afresh, written back when changed.
// A file that cannot be parsed is moved aside and the call goes on with an empty registry;
// the user is told after the lock is released.
class TSession {
public:
  TSession() : FPath(RegistryFileName()), FLockPrepared(ForceDirectories(FolderOf(FPath)) == 0),
               FLock(FPath + ".lock") {
    std::string Text;
    const int Error = ReadFileText(FPath, Text);
    if (Error == ENOENT) return;
    if (Error) {
      FStatus = StatusOf(Error);
      return;
    }
    if (FFile.Parse(Text)) return;
    FFile.Keys.clear();
    const std::string Aside = DamagedName(FPath);
    if (::rename(FPath.c_str(), Aside.c_str()) != 0) {
      FStatus = ERROR_ACCESS_DENIED;
      return;
    }
    FDamageMessage = "The settings file \"" + FPath + "\" could not be read. The settings have been reset to "
                     "their defaults; the old file was kept as \"" + Aside + "\".";
  }
  ~TSession() {
    FLock.Unlock();
    if (!FDamageMessage.empty()) Report(FDamageMessage);
  }

  // ERROR_SUCCESS when the file could be read (or did not exist).
  LSTATUS Status() const { return FStatus; }
  TRegFile& File() { return FFile; }
  LSTATUS Save() {
    if (!FLockPrepared || !FLock.Locked()) return ERROR_ACCESS_DENIED;
    return StatusOf(WriteFileAtomically(FPath, FFile.Format(), 0600));
  }

private:
  std::string FPath;
  bool FLockPrepared;
  TFileLock FLock;
  TRegFile FFile;
  LSTATUS FStatus = ERROR_SUCCESS;
  std::string FDamageMessage;
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
  if (!Base.Path.empty() && !Session.File().FindKey(Base.Path)) return ERROR_KEY_DELETED;
  const bool Created = Session.File().CreateKey(Path);
  if (Created)
    if (const LSTATUS S = Session.Save()) return S;
  if (lpdwDisposition) *lpdwDisposition = Created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
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
  if (!Path.empty() && !Session.File().FindKey(Path)) return ERROR_FILE_NOT_FOUND;
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
  TRegKey* Found = Session.File().FindKey(Key.Path);
  if (!Found) return Key.Path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
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
  if (Key.Path.empty()) Session.File().CreateKey("");
  TRegKey* Found = Session.File().FindKey(Key.Path);
  if (!Found) return ERROR_KEY_DELETED;
  TRegValue Value{lpValueName ? lpValueName : "", dwType, std::vector<BYTE>(lpData, lpData + cbData)};
  if (TRegValue* Old = Found->FindValue(Value.Name)) {
    Old->Type = Value.Type;
    Old->Data = std::move(Value.Data);
  } else {
    Found->Values.push_back(std::move(Value));
  }
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
