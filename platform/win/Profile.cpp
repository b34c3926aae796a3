#include "platform/win/Profile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/AtomicFile.h"
#include "platform/win/FileText.h"
#include "platform/win/ProfileText.h"

namespace {
// Larger files are not read, so a huge file or a device at the path cannot fill the memory.
constexpr std::size_t MaxFileBytes = 16u << 20;

// Reads the file; false when it exists but cannot be read. A missing file is empty.
bool Load(const char* FileName, TProfileText& Profile) {
  std::string Text;
  const int Error = ReadFileText(FileName, Text, MaxFileBytes);
  if (Error) return Error == ENOENT;
  Profile.Parse(Text);
  return true;
}

BOOL Save(const char* FileName, const TProfileText& Profile) {
  return WriteFileAtomically(FileName, Profile.Format(), 0644) == 0 ? TRUE : FALSE;
}

// Copies text into the caller's buffer the way the call answers: truncated to fit with its NUL.
DWORD CopyOut(const std::string& Text, LPSTR Buffer, DWORD Size) {
  if (!Buffer || Size == 0) return 0;
  const DWORD N = std::min<DWORD>(static_cast<DWORD>(Text.size()), Size - 1);
  std::memcpy(Buffer, Text.data(), N);
  Buffer[N] = '\0';
  return N;
}

// A list of names, each ended by a NUL, the list by another; truncated lists end in two NULs too.
DWORD CopyList(const std::vector<std::string>& Names, LPSTR Buffer, DWORD Size) {
  if (!Buffer || Size == 0) return 0;
  if (Size == 1) {
    Buffer[0] = '\0';
    return 0;
  }
  std::string Text;
  for (const std::string& Name : Names) Text += Name + '\0';
  if (Text.size() + 1 <= Size) {
    std::memcpy(Buffer, Text.data(), Text.size());
    Buffer[Text.size()] = '\0';
    return static_cast<DWORD>(Text.size());
  }
  std::memcpy(Buffer, Text.data(), Size - 2);
  Buffer[Size - 2] = '\0';
  Buffer[Size - 1] = '\0';
  return Size - 2;
}
}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
  TProfileText Profile;
  if (lpFileName) Load(lpFileName, Profile);
  if (!lpAppName) return CopyList(Profile.Sections(), lpReturnedString, nSize);
  if (!lpKeyName) return CopyList(Profile.Keys(lpAppName), lpReturnedString, nSize);
  if (const std::optional<std::string> Value = Profile.Value(lpAppName, lpKeyName))
    return CopyOut(*Value, lpReturnedString, nSize);
  std::string Default = lpDefault ? lpDefault : "";
  Default.erase(Default.find_last_not_of(' ') + 1);
  return CopyOut(Default, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpAppName) return !lpKeyName && !lpString ? TRUE : FALSE;
  if (!lpFileName) return FALSE;
  TProfileText Profile;
  if (!Load(lpFileName, Profile)) return FALSE;
  if (!lpKeyName) return Profile.DeleteSection(lpAppName) ? Save(lpFileName, Profile) : TRUE;
  if (!lpString) return Profile.DeleteKey(lpAppName, lpKeyName) ? Save(lpFileName, Profile) : TRUE;
  Profile.SetValue(lpAppName, lpKeyName, lpString);
  return Save(lpFileName, Profile);
}
