#pragma once
// The profile-file calls over ini files, with the Windows semantics: section names and key
// names compare without letter case, values lose surrounding blanks and one pair of quotes.
// A file is read afresh on every call (only a regular file of at most 16 MB; anything else
// reads as empty and refuses writes) and replaced through the durable writer on every change;
// there is no cache to flush. Any thread.
#include "platform/win/WinTypes.h"

// The value of lpKeyName in section lpAppName, or lpDefault (trailing blanks removed) when
// absent; at most nSize - 1 characters and a NUL. A nil lpKeyName lists the section's keys, a nil
// lpAppName the file's sections, each followed by a NUL, the list by one more. Answers the
// number of characters stored, not counting the final NUL.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);
// Sets lpKeyName to lpString in section lpAppName, creating the file and the section as needed.
// A nil lpString deletes the key, a nil lpKeyName the whole section; all three nil flushes (a
// no-op here). FALSE when the file cannot be written.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
