#include "platform/win/RegFile.h"

#include <QString>
#include <cstdio>

#include "platform/win/Registry.h"

namespace {
const char* const Header = "Windows Registry Editor Version 5.00";
const char* const Root = "HKEY_CURRENT_USER";

std::string Quoted(const std::string& Text) {
  std::string Out = "\"";
  for (char C : Text) {
    if (C == '\\' || C == '"') Out += '\\';
    Out += C;
  }
  return Out + '"';
}

// A REG_SZ that reads back unchanged from a quoted string: one terminating NUL, no other
// control characters.
bool IsPlainText(const std::vector<BYTE>& Data) {
  if (Data.empty() || Data.back() != 0) return false;
  for (std::size_t I = 0; I + 1 < Data.size(); ++I)
    if (Data[I] < 0x20 || Data[I] == 0x7F) return false;
  return true;
}

std::string HexList(const std::vector<BYTE>& Data) {
  std::string Out;
  char Byte[4];
  for (std::size_t I = 0; I < Data.size(); ++I) {
    std::snprintf(Byte, sizeof Byte, "%02x", Data[I]);
    if (I) Out += ',';
    Out += Byte;
  }
  return Out;
}

std::string FormatData(const TRegValue& V) {
  if (V.Type == REG_SZ && IsPlainText(V.Data))
    return Quoted(std::string(V.Data.begin(), V.Data.end() - 1));
  if (V.Type == REG_DWORD && V.Data.size() == 4) {
    const DWORD D = V.Data[0] | (V.Data[1] << 8) | (V.Data[2] << 16) | (static_cast<DWORD>(V.Data[3]) << 24);
    char Text[20];
    std::snprintf(Text, sizeof Text, "dword:%08x", D);
    return Text;
  }
  if (V.Type == REG_BINARY) return "hex:" + HexList(V.Data);
  char Prefix[24];
  std::snprintf(Prefix, sizeof Prefix, "hex(%x):", V.Type);
  return Prefix + HexList(V.Data);
}

// Reads a quoted string at Pos (which holds the opening quote); Pos ends after the closing one.
bool ParseQuoted(const std::string& Line, std::size_t& Pos, std::string& Text) {
  Text.clear();
  for (++Pos; Pos < Line.size(); ++Pos) {
    const char C = Line[Pos];
    if (C == '"') {
      ++Pos;
      return true;
    }
    if (C == '\\') {
      if (++Pos == Line.size()) return false;
      Text += Line[Pos];
    } else {
      Text += C;
    }
  }
  return false;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool ParseHexList(const std::string& Text, std::vector<BYTE>& Data) {
  std::string Digits;
  for (char C : Text)
    if (C != ' ' && C != '\t') Digits += C;
  if (Digits.empty()) return true;
  for (std::size_t I = 0;; I += 3) {
    if (I + 2 > Digits.size()) return false;
    const int High = HexDigit(Digits[I]), Low = HexDigit(Digits[I + 1]);
    if (High < 0 || Low < 0) return false;
    Data.push_back(static_cast<BYTE>(High * 16 + Low));
    if (I + 2 == Digits.size()) return true;
    if (Digits[I + 2] != ',') return false;
  }
}

bool StartsWith(const std::string& Text, std::size_t Pos, const char* Prefix) {
  return Text.compare(Pos, std::char_traits<char>::length(Prefix), Prefix) == 0;
}

bool ParseData(const std::string& Line, std::size_t Pos, TRegValue& V) {
  if (Pos < Line.size() && Line[Pos] == '"') {
    std::string Text;
    if (!ParseQuoted(Line, Pos, Text) || Pos != Line.size()) return false;
    V.Type = REG_SZ;
    V.Data.assign(Text.begin(), Text.end());
    V.Data.push_back(0);
    return true;
  }
  if (StartsWith(Line, Pos, "dword:")) {
    const std::string Digits = Line.substr(Pos + 6);
    if (Digits.size() != 8) return false;
    DWORD D = 0;
    for (char C : Digits) {
      const int H = HexDigit(C);
      if (H < 0) return false;
      D = D * 16 + static_cast<DWORD>(H);
    }
    V.Type = REG_DWORD;
    V.Data = {static_cast<BYTE>(D), static_cast<BYTE>(D >> 8), static_cast<BYTE>(D >> 16), static_cast<BYTE>(D >> 24)};
    return true;
  }
  if (StartsWith(Line, Pos, "hex:")) {
    V.Type = REG_BINARY;
    return ParseHexList(Line.substr(Pos + 4), V.Data);
  }
  if (StartsWith(Line, Pos, "hex(")) {
    const std::size_t Close = Line.find("):", Pos);
    if (Close == std::string::npos || Close == Pos + 4) return false;
    DWORD Type = 0;
    for (std::size_t I = Pos + 4; I < Close; ++I) {
      const int H = HexDigit(Line[I]);
      if (H < 0) return false;
      Type = Type * 16 + static_cast<DWORD>(H);
    }
    V.Type = Type;
    return ParseHexList(Line.substr(Close + 2), V.Data);
  }
  return false;
}

void StripLineEnd(std::string& Line) {
  while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' ' || Line.back() == '\t')) Line.pop_back();
}
}  // namespace

bool SameRegName(const std::string& A, const std::string& B) {
  return QString::fromUtf8(A).compare(QString::fromUtf8(B), Qt::CaseInsensitive) == 0;
}

std::string NormalizeKeyPath(const std::string& Path) {
  std::string Out, Segment;
  for (std::size_t I = 0; I <= Path.size(); ++I) {
    if (I == Path.size() || Path[I] == '\\') {
      if (!Segment.empty()) Out += (Out.empty() ? "" : "\\") + Segment;
      Segment.clear();
    } else {
      Segment += Path[I];
    }
  }
  return Out;
}

TRegValue* TRegKey::FindValue(const std::string& Name) {
  for (TRegValue& V : Values)
    if (SameRegName(V.Name, Name)) return &V;
  return nullptr;
}

TRegKey* TRegFile::FindKey(const std::string& Path) {
  for (TRegKey& K : Keys)
    if (SameRegName(K.Path, Path)) return &K;
  return nullptr;
}

bool TRegFile::CreateKey(const std::string& Path) {
  bool Created = false;
  std::size_t End = 0;
  do {
    End = Path.find('\\', End + 1);
    const std::string Prefix = Path.substr(0, End);
    if (!FindKey(Prefix)) {
      Keys.push_back(TRegKey{Prefix, {}});
      Created = true;
    }
  } while (End != std::string::npos);
  return Created;
}

std::string TRegFile::Format() const {
  std::string Out = std::string(Header) + "\n";
  for (const TRegKey& K : Keys) {
    Out += "\n[" + std::string(Root) + (K.Path.empty() ? "" : "\\" + K.Path) + "]\n";
    for (const TRegValue& V : K.Values) Out += (V.Name.empty() ? "@" : Quoted(V.Name)) + "=" + FormatData(V) + "\n";
  }
  return Out;
}

bool TRegFile::Parse(const std::string& Text) {
  Keys.clear();
  std::vector<std::string> Lines;
  std::size_t Start = Text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (Start <= Text.size()) {
    std::size_t End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    Lines.push_back(Text.substr(Start, End - Start));
    StripLineEnd(Lines.back());
    Start = End + 1;
  }
  std::size_t I = 0;
  while (I < Lines.size() && Lines[I].empty()) ++I;
  if (I == Lines.size() || Lines[I] != Header) return false;
  TRegKey* Key = nullptr;
  for (++I; I < Lines.size(); ++I) {
    std::string Line = Lines[I];
    if (Line.empty() || Line[0] == ';') continue;
    if (Line[0] == '[') {
      const std::size_t RootLength = std::char_traits<char>::length(Root);
      if (Line.back() != ']' || !SameRegName(Line.substr(1, RootLength), Root)) return false;
      const std::string Rest = Line.substr(1 + RootLength, Line.size() - 2 - RootLength);
      if (!Rest.empty() && Rest[0] != '\\') return false;
      const std::string Path = NormalizeKeyPath(Rest);
      CreateKey(Path);
      Key = FindKey(Path);
      continue;
    }
    if (!Key) return false;
    TRegValue V;
    std::size_t Pos = 0;
    if (Line[0] == '@') {
      Pos = 1;
    } else if (Line[0] != '"' || !ParseQuoted(Line, Pos, V.Name)) {
      return false;
    }
    if (Pos >= Line.size() || Line[Pos] != '=') return false;
    ++Pos;
    // Hexadecimal lists may go on over lines that end in a backslash.
    if (StartsWith(Line, Pos, "hex"))
      while (Line.back() == '\\' && I + 1 < Lines.size()) {
        Line.pop_back();
        const std::string& Next = Lines[++I];
        Line += Next.substr(std::min(Next.find_first_not_of(" \t"), Next.size()));
      }
    if (!ParseData(Line, Pos, V)) return false;
    if (TRegValue* Old = Key->FindValue(V.Name))
      *Old = std::move(V);
    else
      Key->Values.push_back(std::move(V));
  }
  return true;
}
