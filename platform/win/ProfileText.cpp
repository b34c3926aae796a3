#include "platform/win/ProfileText.h"

#include <QString>

namespace {
std::string Trim(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(" \t");
  if (First == std::string::npos) return "";
  return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

bool SameName(const std::string& A, const std::string& B) {
  return QString::fromUtf8(A).compare(QString::fromUtf8(B), Qt::CaseInsensitive) == 0;
}

// The section name when the line is a section line.
bool IsSection(const std::string& Line, std::string& Name) {
  const std::string T = Trim(Line);
  if (T.empty() || T[0] != '[') return false;
  const std::size_t Close = T.find(']');
  Name = Trim(T.substr(1, Close == std::string::npos ? std::string::npos : Close - 1));
  return true;
}

// The key name when the line is an entry line.
bool IsEntry(const std::string& Line, std::string& Key) {
  const std::size_t Equal = Line.find('=');
  if (Equal == std::string::npos) return false;
  Key = Trim(Line.substr(0, Equal));
  return true;
}

std::string Unquoted(std::string Value) {
  Value = Trim(Value);
  if (Value.size() >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value.back() == Value[0])
    Value = Value.substr(1, Value.size() - 2);
  return Value;
}

std::ptrdiff_t At(std::size_t Index) { return static_cast<std::ptrdiff_t>(Index); }
}  // namespace

void TProfileText::Parse(std::string_view Text) {
  FLines.clear();
  FLineEnd = Text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::size_t Start = 0;
  while (Start < Text.size()) {
    std::size_t End = Text.find('\n', Start);
    if (End == std::string_view::npos) End = Text.size();
    std::string Line(Text.substr(Start, End - Start));
    // Every carriage return at a line's end goes: one left behind would turn into a CR LF of
    // its own when the file is written, and the next reading would take the whole file for CR LF.
    while (!Line.empty() && Line.back() == '\r') Line.pop_back();
    FLines.push_back(std::move(Line));
    Start = End + 1;
  }
}

std::string TProfileText::Format() const {
  std::string Text;
  for (const std::string& Line : FLines) Text += Line + FLineEnd;
  return Text;
}

bool TProfileText::FindSection(const std::string& Section, std::size_t& Begin, std::size_t& End) const {
  std::string Name;
  for (std::size_t I = 0; I < FLines.size(); ++I) {
    if (!IsSection(FLines[I], Name) || !SameName(Name, Section)) continue;
    Begin = I + 1;
    for (End = Begin; End < FLines.size() && !IsSection(FLines[End], Name);) ++End;
    return true;
  }
  return false;
}

std::size_t TProfileText::FindEntry(std::size_t Begin, std::size_t End, const std::string& Key) const {
  std::string Name;
  for (std::size_t I = Begin; I < End; ++I)
    if (IsEntry(FLines[I], Name) && SameName(Name, Key)) return I;
  return std::string::npos;
}

std::vector<std::string> TProfileText::Sections() const {
  std::vector<std::string> Names;
  std::string Name;
  for (const std::string& Line : FLines)
    if (IsSection(Line, Name)) Names.push_back(Name);
  return Names;
}

std::vector<std::string> TProfileText::Keys(const std::string& Section) const {
  std::vector<std::string> Names;
  std::size_t Begin = 0, End = 0;
  if (!FindSection(Section, Begin, End)) return Names;
  std::string Name;
  for (std::size_t I = Begin; I < End; ++I)
    if (IsEntry(FLines[I], Name)) Names.push_back(Name);
  return Names;
}

std::optional<std::string> TProfileText::Value(const std::string& Section, const std::string& Key) const {
  std::size_t Begin = 0, End = 0;
  if (!FindSection(Section, Begin, End)) return std::nullopt;
  const std::size_t Entry = FindEntry(Begin, End, Key);
  if (Entry == std::string::npos) return std::nullopt;
  const std::string& Line = FLines[Entry];
  return Unquoted(Line.substr(Line.find('=') + 1));
}

void TProfileText::SetValue(const std::string& Section, const std::string& Key, const std::string& Value) {
  const std::string NewLine = Key + "=" + Value;
  std::size_t Begin = 0, End = 0;
  if (!FindSection(Section, Begin, End)) {
    if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.push_back("");
    FLines.push_back("[" + Section + "]");
    FLines.push_back(NewLine);
    return;
  }
  const std::size_t Entry = FindEntry(Begin, End, Key);
  if (Entry != std::string::npos) {
    FLines[Entry] = NewLine;
    return;
  }
  // After the section's last non-blank line, so blank lines before the next section stay there.
  std::size_t Insert = End;
  while (Insert > Begin && Trim(FLines[Insert - 1]).empty()) --Insert;
  FLines.insert(FLines.begin() + At(Insert), NewLine);
}

bool TProfileText::DeleteKey(const std::string& Section, const std::string& Key) {
  std::size_t Begin = 0, End = 0;
  if (!FindSection(Section, Begin, End)) return false;
  const std::size_t Entry = FindEntry(Begin, End, Key);
  if (Entry == std::string::npos) return false;
  FLines.erase(FLines.begin() + At(Entry));
  return true;
}

bool TProfileText::DeleteSection(const std::string& Section) {
  std::size_t Begin = 0, End = 0;
  if (!FindSection(Section, Begin, End)) return false;
  FLines.erase(FLines.begin() + At(Begin - 1), FLines.begin() + At(End));
  return true;
}
