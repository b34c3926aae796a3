#pragma once
// HKEY_CURRENT_USER of the registry over one file per user in the .reg text format: at
// $VIZMORA_REGISTRY, else $XDG_CONFIG_HOME/vizmora/registry.reg (~/.config by default).
// Every call reads the file afresh (parsing it again only when its text changed); every change
// rewrites it through the durable writer under an advisory lock, so processes sharing the file
// never lose each other's values. A symbolic link at the path stays and the file it points to
// is the one written. Only a regular file of at most 16 MB is read. Any thread.
#include <functional>
#include <string>

#include "platform/win/RegFile.h"
#include "platform/win/WinTypes.h"

using HKEY = struct HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
struct SECURITY_ATTRIBUTES;

// The one predefined key there is.
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_KEY_DELETED = 1018;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                        LPDWORD lpdwDisposition);
LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// With lpData nil only the type and size are answered; a buffer too small gives ERROR_MORE_DATA.
LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData);
LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                       DWORD cbData);
LSTATUS RegCloseKey(HKEY hKey);

// The file the calls work on, as the environment names it now.
std::string RegistryFileName();

// Told when the registry file cannot be used: moved aside because it could not be parsed (the
// message says where it went), or left as it is because it is too large, not a regular file or
// unreadable (the calls then fail). Each message once per run. Empty: standard error. The
// settings layer routes it to the exception report.
using TRegistryDamageReport = std::function<void(const std::string& Message)>;
void SetRegistryDamageReport(TRegistryDamageReport Report);
