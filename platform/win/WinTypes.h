#pragma once
// The plain Windows types the registry, profile-file, environment and window calls take.
#include <cstdint>

#include "platform/com/ComTypes.h"

using UINT = std::uint32_t;
using BYTE = std::uint8_t;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using BOOL = int;
using LPSTR = char*;
using LPCSTR = const char*;
using LSTATUS = LONG;

#ifndef TRUE
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
#endif

// A rectangle, right and bottom exclusive.
struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};
