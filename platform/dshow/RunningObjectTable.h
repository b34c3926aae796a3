#pragma once
// The running object table: where a graph is published for outside inspection tools.
#include <string>

#include "platform/com/ComTypes.h"

struct IMoniker : IUnknown {
  static constexpr GUID IID = MakeGuid("{0000000F-0000-0000-C000-000000000046}");
  virtual std::string DisplayName() = 0;  // "!" + the item name
};

struct IRunningObjectTable : IUnknown {
  static constexpr GUID IID = MakeGuid("{00000010-0000-0000-C000-000000000046}");
  // Publishes Object under the moniker's name; *Register receives a non-zero cookie.
  virtual HRESULT Register(DWORD Flags, IUnknown* Object, IMoniker* Name, DWORD* Register) = 0;
  virtual HRESULT Revoke(DWORD Register) = 0;
};

HRESULT GetRunningObjectTable(DWORD Reserved, IRunningObjectTable** Table);
HRESULT CreateItemMoniker(LPCWSTR Delimiter, LPCWSTR Item, IMoniker** Moniker);
