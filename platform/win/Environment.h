#pragma once
// The process environment and the program's own file, as the Windows calls give them. Any thread.
#include "platform/win/WinTypes.h"

using HMODULE = void*;

// The variable's value in lpBuffer when it fits (answer: its length); else the size needed,
// NUL included. 0 when the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
// The full path of the running program (hModule nil); truncated to nSize - 1 characters and a
// NUL when longer, answering nSize. 0 on failure.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
