#include "platform/dshow/RunningObjectTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

namespace {
class TItemMoniker : public TComObject<IMoniker> {
public:
  explicit TItemMoniker(std::string AName) : FName(std::move(AName)) {}
  std::string DisplayName() override { return FName; }

private:
  std::string FName;
};

// COM identity: the IUnknown an object answers, whichever interface it was reached through.
ComPtr<IUnknown> Identity(IUnknown* Object) {
  ComPtr<IUnknown> Unknown;
  if (Object) Object->QueryInterface(IUnknown::IID, Unknown.ReleaseAndGetVoidAddress());
  return Unknown;
}

struct TRegistration {
  ComPtr<IUnknown> Object;
  std::string File;
};

// Registrations of this process; touched from the user-interface thread, guarded all the same.
struct TTable {
  std::mutex Lock;
  std::map<DWORD, TRegistration> Entries;
  DWORD NextCookie = 1;
};

TTable& Table() {
  static TTable T;
  return T;
}

// Item names may hold characters a file name cannot.
std::string FileNameFor(const std::string& Item) {
  std::string Name;
  for (char C : Item) Name += (C == '/' || C == '\0') ? '_' : C;
  return Name;
}

void WriteRegistration(const TRegistration& R) {
  std::string Description;
  ComPtr<IObjectDescription> Describer;
  if (R.Object && SUCCEEDED(R.Object.As(Describer))) Description = Describer->Describe();
  const std::string Temporary = R.File + ".tmp";
  {
    std::ofstream Out(Temporary, std::ios::trunc);
    Out << "pid " << ::getpid() << "\n" << Description;
  }
  std::rename(Temporary.c_str(), R.File.c_str());
}

class TRunningObjectTable : public TComObject<IRunningObjectTable> {
public:
  HRESULT Register(DWORD, IUnknown* Object, IMoniker* Name, DWORD* Cookie) override {
    if (!Object || !Name || !Cookie) return E_POINTER;
    const std::string Folder = RunningObjectTableFolder();
    std::error_code Error;
    std::filesystem::create_directories(Folder, Error);
    if (Error) return E_FAIL;
    TRegistration R{Identity(Object), Folder + "/" + FileNameFor(Name->DisplayName().substr(1))};
    WriteRegistration(R);
    std::lock_guard Guard(Table().Lock);
    *Cookie = Table().NextCookie++;
    Table().Entries[*Cookie] = std::move(R);
    return S_OK;
  }

  HRESULT Revoke(DWORD Cookie) override {
    TRegistration R;
    {
      std::lock_guard Guard(Table().Lock);
      const auto It = Table().Entries.find(Cookie);
      if (It == Table().Entries.end()) return E_INVALIDARG;
      R = std::move(It->second);
      Table().Entries.erase(It);
    }
    std::remove(R.File.c_str());
    return S_OK;  // R releases the object outside the lock
  }
};

std::string Narrow(LPCWSTR Text) { return Text ? QString::fromUtf16(Text).toStdString() : std::string(); }
}  // namespace

std::string RunningObjectTableFolder() {
  if (const char* Runtime = std::getenv("XDG_RUNTIME_DIR"); Runtime && *Runtime)
    return std::string(Runtime) + "/vizmora/rot";
  return "/tmp/vizmora-" + std::to_string(::getuid()) + "/rot";
}

HRESULT GetRunningObjectTable(DWORD, IRunningObjectTable** Result) {
  if (!Result) return E_POINTER;
  static TRunningObjectTable* Shared = [] {
    auto* T = new TRunningObjectTable;
    T->AddRef();  // lives for the whole run
    return T;
  }();
  Shared->AddRef();
  *Result = Shared;
  return S_OK;
}

HRESULT CreateItemMoniker(LPCWSTR Delimiter, LPCWSTR Item, IMoniker** Moniker) {
  if (!Moniker) return E_POINTER;
  auto* M = new TItemMoniker(Narrow(Delimiter) + Narrow(Item));
  M->AddRef();
  *Moniker = M;
  return S_OK;
}

void RefreshRunningObject(IUnknown* Object) {
  const ComPtr<IUnknown> Unknown = Identity(Object);
  std::lock_guard Guard(Table().Lock);
  for (const auto& [Cookie, R] : Table().Entries)
    if (R.Object == Unknown) WriteRegistration(R);
}
