#pragma once
// The COM basics the design is written against: result codes, GUIDs, IUnknown.
#include <compare>
#include <cstdint>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using REFERENCE_TIME = std::int64_t;  // 100-ns units
using LONG_PTR = std::intptr_t;       // event parameters may refer to data
using OAHWND = std::uintptr_t;        // a window: the address of the QObject that stands for it
using LCID = std::uint32_t;
using WCHAR = char16_t;
using LPCWSTR = const char16_t*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;
constexpr DWORD ERROR_DIRECTORY_NOT_SUPPORTED = 336;

constexpr HRESULT HRESULT_FROM_WIN32(DWORD Code) {
  return Code == 0 ? S_OK : static_cast<HRESULT>((Code & 0xFFFFu) | (7u << 16) | 0x80000000u);
}
constexpr bool SUCCEEDED(HRESULT Hr) { return Hr >= 0; }
constexpr bool FAILED(HRESULT Hr) { return Hr < 0; }

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
  friend constexpr bool operator==(const GUID&, const GUID&) = default;
  friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;

namespace com_detail {
constexpr std::uint32_t Hex(const char* S, int N) {
  std::uint32_t V = 0;
  for (int I = 0; I < N; ++I) {
    const char C = S[I];
    V = V * 16 + static_cast<std::uint32_t>(C >= '0' && C <= '9'   ? C - '0'
                                            : C >= 'a' && C <= 'f' ? C - 'a' + 10
                                            : C >= 'A' && C <= 'F' ? C - 'A' + 10
                                                                   : throw "not a hexadecimal digit");
  }
  return V;
}
}  // namespace com_detail

// A GUID from its registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", at compile time.
constexpr GUID MakeGuid(const char (&S)[39]) {
  using com_detail::Hex;
  GUID G;
  G.Data1 = Hex(S + 1, 8);
  G.Data2 = static_cast<std::uint16_t>(Hex(S + 10, 4));
  G.Data3 = static_cast<std::uint16_t>(Hex(S + 15, 4));
  G.Data4[0] = static_cast<std::uint8_t>(Hex(S + 20, 2));
  G.Data4[1] = static_cast<std::uint8_t>(Hex(S + 22, 2));
  for (int I = 0; I < 6; ++I) G.Data4[2 + I] = static_cast<std::uint8_t>(Hex(S + 25 + 2 * I, 2));
  return G;
}

// Each interface names its id as a static member `IID`, so queries can be typed.
struct IUnknown {
  static constexpr GUID IID = MakeGuid("{00000000-0000-0000-C000-000000000046}");
  virtual HRESULT QueryInterface(REFIID Iid, void** Object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  ~IUnknown() = default;  // objects are freed by Release
};
