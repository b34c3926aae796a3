#include "platform/win/RegFile.h"

#include "platform/win/RegName.h"

namespace {
constexpr std::string_view Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view Root = "HKEY_CURRENT_USER";
constexpr char HexDigits[] = "0123456789abcdef";

void AppendQuoted(std::string& Out, std::string_view Text) {
  Out += '"';
  for (char C : Text) {
    if (C == '\\' || C == '"') Out += '\\';
    Out += C;
  }
  Out += '"';
}

// A REG_SZ that reads back unchanged from a quoted string: one terminating NUL, no other
// control characters.
bool IsPlainText(const std::vector<BYTE>& Data) {
  if (Data.empty() || Data.back() != 0) return false;
  for (std::size_t I = 0; I + 1 < Data.size(); ++I)
    if (Data[I] < 0x20 || Data[I] == 0x7F) return false;
  return true;
}

void AppendHex(std::string& Out, DWORD Value, int Digits) {
  for (int Shift = (Digits - 1) * 4; Shift >= 0; Shift -= 4) Out += HexDigits[Value >> Shift & 0xF];
}

void AppendHexList(std::string& Out, const std::vector<BYTE>& Data) {
  for (std::size_t I = 0; I < Data.size(); ++I) {
    if (I) Out += ',';
    AppendHex(Out, Data[I], 2);
  }
}

void AppendData(std::string& Out, const TRegValue& V) {
  if (V.Type == REG_SZ && IsPlainText(V.Data)) {
    AppendQuoted(Out, std::string_view(reinterpret_cast<const char*>(V.Data.data()), V.Data.size() - 1));
  } else if (V.Type == REG_DWORD && V.Data.size() == 4) {
    Out += "dword:";
    AppendHex(Out, V.Data[0] | V.Data[1] << 8 | V.Data[2] << 16 | static_cast<DWORD>(V.Data[3]) << 24, 8);
  } else if (V.Type == REG_BINARY) {
    Out += "hex:";
    AppendHexList(Out, V.Data);
  } else {
    Out += "hex(";
    // The type without leading zeros, as printf's %x writes it.
    int Digits = 1;
    while (Digits < 8 && V.Type >> Digits * 4) ++Digits;
    AppendHex(Out, V.Type, Digits);
    Out += "):";
    AppendHexList(Out, V.Data);
  }
}

// Reads a quoted string at Pos (which holds the opening quote); Pos ends after the closing one.
bool ParseQuoted(std::string_view Line, std::size_t& Pos, std::string& Text) {
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

// Two hexadecimal digits per byte, separated by commas; blanks anywhere are ignored.
bool ParseHexList(std::string_view Text, std::vector<BYTE>& Data) {
  int High = -1;
  bool NeedComma = false;
  for (char C : Text) {
    if (C == ' ' || C == '\t') continue;
    if (C == ',') {
      if (!NeedComma || High >= 0) return false;
      NeedComma = false;
      continue;
    }
    const int Digit = HexDigit(C);
    if (Digit < 0 || NeedComma) return false;
    if (High < 0) {
      High = Digit;
    } else {
      Data.push_back(static_cast<BYTE>(High * 16 + Digit));
      High = -1;
      NeedComma = true;
    }
  }
  return High < 0 && (NeedComma || Data.empty());
}

bool ParseHexNumber(std::string_view Digits, DWORD& Value) {
  Value = 0;
  for (char C : Digits) {
    const int H = HexDigit(C);
    if (H < 0) return false;
    Value = Value * 16 + static_cast<DWORD>(H);
  }
  return true;
}

bool ParseData(std::string_view Data, TRegValue& V) {
  if (!Data.empty() && Data[0] == '"') {
    std::string Text;
    std::size_t Pos = 0;
    if (!ParseQuoted(Data, Pos, Text) || Pos != Data.size()) return false;
    V.Type = REG_SZ;
    V.Data.assign(Text.begin(), Text.end());
    V.Data.push_back(0);
    return true;
  }
  if (Data.starts_with("dword:")) {
    DWORD D = 0;
    if (Data.size() != 14 || !ParseHexNumber(Data.substr(6), D)) return false;
    V.Type = REG_DWORD;
    V.Data = {static_cast<BYTE>(D), static_cast<BYTE>(D >> 8), static_cast<BYTE>(D >> 16), static_cast<BYTE>(D >> 24)};
    return true;
  }
  if (Data.starts_with("hex:")) {
    V.Type = REG_BINARY;
    return ParseHexList(Data.substr(4), V.Data);
  }
  if (Data.starts_with("hex(")) {
    const std::size_t Close = Data.find("):");
    if (Close == std::string_view::npos || Close == 4 || !ParseHexNumber(Data.substr(4, Close - 4), V.Type))
      return false;
    return ParseHexList(Data.substr(Close + 2), V.Data);
  }
  return false;
}

// The text's lines one by one, without their ends and trailing blanks.
class TLines {
public:
  explicit TLines(std::string_view Text) : FText(Text) {}
  bool Next(std::string_view& Line) {
    if (FPos > FText.size()) return false;
    std::size_t End = FText.find('\n', FPos);
    if (End == std::string_view::npos) End = FText.size();
    Line = FText.substr(FPos, End - FPos);
    while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' ' || Line.back() == '\t')) Line.remove_suffix(1);
    FPos = End + 1;
    return true;
  }

private:
  std::string_view FText;
  std::size_t FPos = 0;
};

// A section line's key path, when the line is "[HKEY_CURRENT_USER]" or "[HKEY_CURRENT_USER\...]".
bool ParseSection(std::string_view Line, std::string& Path) {
  if (Line.size() < Root.size() + 2 || Line.back() != ']' ||
      FoldRegName(Line.substr(1, Root.size())) != FoldRegName(Root))
    return false;
  const std::string_view Rest = Line.substr(1 + Root.size(), Line.size() - 2 - Root.size());
  if (!Rest.empty() && Rest[0] != '\\') return false;
  Path = NormalizeKeyPath(Rest);
  return true;
}
}  // namespace

std::string NormalizeKeyPath(std::string_view Path) {
  std::string Out;
  Out.reserve(Path.size());
  std::size_t Start = 0;
  while (Start <= Path.size()) {
    std::size_t End = Path.find('\\', Start);
    if (End == std::string_view::npos) End = Path.size();
    if (End > Start) {
      if (!Out.empty()) Out += '\\';
      Out.append(Path.substr(Start, End - Start));
    }
    Start = End + 1;
  }
  return Out;
}

std::size_t TRegKey::Find(const std::string& Folded) const {
  if (FValues.size() < IndexFrom) {
    for (std::size_t I = 0; I < FFoldedNames.size(); ++I)
      if (FFoldedNames[I] == Folded) return I;
    return FValues.size();
  }
  const auto Found = FIndex.find(Folded);
  return Found == FIndex.end() ? FValues.size() : Found->second;
}

const TRegValue* TRegKey::FindValue(std::string_view Name) const {
  const std::size_t At = Find(FoldRegName(Name));
  return At < FValues.size() ? &FValues[At] : nullptr;
}

void TRegKey::SetValue(TRegValue Value) {
  std::string Folded = FoldRegName(Value.Name);
  const std::size_t At = Find(Folded);
  if (At < FValues.size()) {
    FValues[At].Type = Value.Type;
    FValues[At].Data = std::move(Value.Data);
    return;
  }
  FValues.push_back(std::move(Value));
  FFoldedNames.push_back(std::move(Folded));
  if (FValues.size() == IndexFrom)
    for (std::size_t I = 0; I < FFoldedNames.size(); ++I) FIndex.emplace(FFoldedNames[I], I);
  else if (FValues.size() > IndexFrom)
    FIndex.emplace(FFoldedNames.back(), FValues.size() - 1);
}

void TRegFile::Clear() {
  FIndex.clear();
  FKeys.clear();
}

TRegKey* TRegFile::FindKey(std::string_view Path) {
  const auto Found = FIndex.find(FoldRegName(Path));
  return Found == FIndex.end() ? nullptr : &FKeys[Found->second];
}

bool TRegFile::KeyExists(std::string_view Path) const {
  const std::string Folded = FoldRegName(Path);
  if (FIndex.count(Folded)) return true;
  for (const TRegKey& K : FKeys) {
    const std::string_view Other = K.Folded();
    if (Other.size() > Folded.size() && Other[Folded.size()] == '\\' && Other.starts_with(Folded)) return true;
  }
  return false;
}

TRegKey& TRegFile::FindOrAdd(std::string_view Path) {
  const auto [At, Added] = FIndex.try_emplace(FoldRegName(Path), FKeys.size());
  // The index's nodes never move, so the key may keep a view of its folded path.
  if (Added) FKeys.emplace_back(std::string(Path), At->first);
  return FKeys[At->second];
}

bool TRegFile::CreateKey(std::string_view Path) {
  const std::size_t Before = FKeys.size();
  std::size_t End = 0;
  do {
    End = Path.find('\\', End + 1);
    FindOrAdd(Path.substr(0, End));
  } while (End != std::string_view::npos);
  return FKeys.size() != Before;
}

std::string TRegFile::Format() const {
  std::string Out;
  Out.append(Header).append("\n");
  for (const TRegKey& K : FKeys) {
    Out.append("\n[").append(Root);
    if (!K.Path.empty()) Out.append("\\").append(K.Path);
    Out.append("]\n");
    for (const TRegValue& V : K.Values()) {
      if (V.Name.empty())
        Out += '@';
      else
        AppendQuoted(Out, V.Name);
      Out += '=';
      AppendData(Out, V);
      Out += '\n';
    }
  }
  return Out;
}

bool TRegFile::Parse(std::string_view Text) {
  Clear();
  // About one key in every 50 bytes, as the program writes them; saves growing the index.
  FIndex.reserve(Text.size() / 50);
  if (Text.starts_with("\xEF\xBB\xBF")) Text.remove_prefix(3);
  TLines Lines(Text);
  std::string_view Line;
  while (Lines.Next(Line) && Line.empty()) {
  }
  if (Line != Header) return false;
  TRegKey* Key = nullptr;
  std::string Path, Joined;
  while (Lines.Next(Line)) {
    if (Line.empty() || Line[0] == ';') continue;
    if (Line[0] == '[') {
      if (!ParseSection(Line, Path)) return false;
      Key = &FindOrAdd(Path);
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
    std::string_view Data = Line.substr(Pos + 1);
    // Hexadecimal lists may go on over lines that end in a backslash.
    if (Data.starts_with("hex") && Data.back() == '\\') {
      Joined.assign(Data);
      std::string_view Next;
      while (Joined.back() == '\\' && Lines.Next(Next)) {
        Joined.pop_back();
        Joined.append(Next.substr(std::min(Next.find_first_not_of(" \t"), Next.size())));
      }
      Data = Joined;
    }
    if (!ParseData(Data, V)) return false;
    Key->SetValue(std::move(V));
  }
  return true;
}
