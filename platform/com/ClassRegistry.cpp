#include "platform/com/ClassRegistry.h"

#include <map>

namespace {
std::map<GUID, TClassFactory>& Registry() {
  static std::map<GUID, TClassFactory> R;
  return R;
}
}  // namespace

HRESULT CoInitialize(void*) { return S_OK; }

HRESULT CoCreateInstance(REFCLSID Clsid, IUnknown* Outer, DWORD, REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  *Object = nullptr;
  if (Outer) return E_NOINTERFACE;  // aggregation is not offered
  const auto It = Registry().find(Clsid);
  if (It == Registry().end()) return REGDB_E_CLASSNOTREG;
  return It->second(Iid, Object);
}

void CoRegisterClass(REFCLSID Clsid, TClassFactory Factory) {
  if (Factory)
    Registry()[Clsid] = std::move(Factory);
  else
    Registry().erase(Clsid);
}

TClassFactory CoRegisteredClass(REFCLSID Clsid) {
  const auto It = Registry().find(Clsid);
  return It == Registry().end() ? TClassFactory{} : It->second;
}
