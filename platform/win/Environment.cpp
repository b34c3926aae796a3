#include "platform/win/Environment.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  const char* Value = lpName ? std::getenv(lpName) : nullptr;
  if (!Value) return 0;
  const auto Length = static_cast<DWORD>(std::strlen(Value));
  if (!lpBuffer || Length >= nSize) return Length + 1;
  std::memcpy(lpBuffer, Value, Length + 1);
  return Length;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (hModule || !lpFilename || nSize == 0) return 0;
  char Path[4096];
  const ssize_t Length = ::readlink("/proc/self/exe", Path, sizeof Path - 1);
  if (Length <= 0) return 0;
  const auto N = static_cast<DWORD>(Length);
  if (N >= nSize) {
    std::memcpy(lpFilename, Path, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    return nSize;
  }
  std::memcpy(lpFilename, Path, N);
  lpFilename[N] = '\0';
  return N;
}
