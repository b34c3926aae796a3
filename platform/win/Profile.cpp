#include "platform/win/Profile.h"

#include <QString>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/AtomicFile.h"

namespace {
std::string Trim(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(" \t");
  if (First == std::string::npos) return "";
  return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

bool SameName(const std::string& A, const std::string& B) {
  return QString::fromUtf8(A).compare(QString::fromUtf8(B), Qt::CaseInsensitive) == 0;
}

// An ini file as lines; sections and entries are recognised on demand.
struct TProfile {
  std::vector<std::string> Lines;
  std::string LineEnd = "\n";

  // Reads the file; false when it exists but cannot be read. A missing file is empty.
  bool Load(const char* FileName) {
    std::string Text;
    const int Error = ReadFileText(FileName, Text);
    if (Error) return Error == ENOENT;
    if (Text.find("\r\n") != std::string::npos) LineEnd = "\r\n";
    std::size_t Start = 0;
    while (Start < Text.size()) {
      std::size_t End = Text.find('\n', Start);
      if (End == std::string::npos) End = Text.size();
      std::string Line = Text.substr(Start, End - Start);
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      Lines.push_back(std::move(Line));
      Start = End + 1;
    }
    return true;
  }
  bool Save(const char* FileName) const {
    std::string Text;
    for (const std::string& Line : Lines) Text += Line + LineEnd;
    return WriteFileAtomically(FileName, Text, 0644) == 0;
  }

  // The section name when the line is a section line.
  static bool IsSection(const std::string& Line, std::string& Name) {
    const std::string T = Trim(Line);
    if (T.empty() || T[0] != '[') return false;
    const std::size_t Close = T.find(']');
    Name = Trim(T.substr(1, Close == std::string::npos ? std::string::npos : Close - 1));
    return true;
  }
  // The key name when the line is an entry line.
  static bool IsEntry(const std::string& Line, std::string& Key) {
    const std::size_t Equal = Line.find('=');
    if (Equal == std::string::npos) return false;
    Key = Trim(Line.substr(0, Equal));
    return true;
  }

  // The first section of that name: [Begin, End) are its lines after the section line.
  bool FindSection(const std::string& Section, std::size_t& Begin, std::size_t& End) const {
    std::string Name;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
      if (!IsSection(Lines[I], Name) || !SameName(Name, Section)) continue;
      Begin = I + 1;
      for (End = Begin; End < Lines.size() && !IsSection(Lines[End], Name);) ++End;
      return true;
    }
    return false;
  }
  std::size_t FindEntry(std::size_t Begin, std::size_t End, const std::string& Key) const {
    std::string Name;
    for (std::size_t I = Begin; I < End; ++I)
      if (IsEntry(Lines[I], Name) && SameName(Name, Key)) return I;
    return std::string::npos;
  }
};

std::string Unquoted(std::string Value) {
  Value = Trim(Value);
  if (Value.size() >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value.back() == Value[0])
    Value = Value.substr(1, Value.size() - 2);
  return Value;
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
  TProfile Profile;
  if (lpFileName) Profile.Load(lpFileName);
  std::string Name;
  if (!lpAppName) {
    std::vector<std::string> Sections;
    for (const std::string& Line : Profile.Lines)
      if (TProfile::IsSection(Line, Name)) Sections.push_back(Name);
    return CopyList(Sections, lpReturnedString, nSize);
  }
  std::size_t Begin = 0, End = 0;
  const bool HasSection = Profile.FindSection(lpAppName, Begin, End);
  if (!lpKeyName) {
    std::vector<std::string> Keys;
    for (std::size_t I = Begin; HasSection && I < End; ++I)
      if (TProfile::IsEntry(Profile.Lines[I], Name)) Keys.push_back(Name);
    return CopyList(Keys, lpReturnedString, nSize);
  }
  const std::size_t Entry = HasSection ? Profile.FindEntry(Begin, End, lpKeyName) : std::string::npos;
  if (Entry == std::string::npos) {
    std::string Default = lpDefault ? lpDefault : "";
    Default.erase(Default.find_last_not_of(' ') + 1);
    return CopyOut(Default, lpReturnedString, nSize);
  }
  const std::string& Line = Profile.Lines[Entry];
  return CopyOut(Unquoted(Line.substr(Line.find('=') + 1)), lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpAppName) return !lpKeyName && !lpString ? TRUE : FALSE;
  if (!lpFileName) return FALSE;
  TProfile Profile;
  if (!Profile.Load(lpFileName)) return FALSE;
  std::vector<std::string>& Lines = Profile.Lines;
  std::size_t Begin = 0, End = 0;
  const bool HasSection = Profile.FindSection(lpAppName, Begin, End);
  if (!lpKeyName) {
    if (!HasSection) return TRUE;
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(Begin - 1), Lines.begin() + static_cast<std::ptrdiff_t>(End));
    return Profile.Save(lpFileName) ? TRUE : FALSE;
  }
  const std::size_t Entry = HasSection ? Profile.FindEntry(Begin, End, lpKeyName) : std::string::npos;
  if (!lpString) {
    if (Entry == std::string::npos) return TRUE;
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(Entry));
    return Profile.Save(lpFileName) ? TRUE : FALSE;
  }
  const std::string NewLine = std::string(lpKeyName) + "=" + lpString;
  if (Entry != std::string::npos) {
    Lines[Entry] = NewLine;
  } else if (HasSection) {
    // After the section's last non-blank line, so blank lines before the next section stay there.
    std::size_t At = End;
    while (At > Begin && Trim(Lines[At - 1]).empty()) --At;
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(At), NewLine);
  } else {
    if (!Lines.empty() && !Trim(Lines.back()).empty()) Lines.push_back("");
    Lines.push_back("[" + std::string(lpAppName) + "]");
    Lines.push_back(NewLine);
  }
  return Profile.Save(lpFileName) ? TRUE : FALSE;
}
