#include "settings/IniStrings.h"

namespace {
// Reader and writer agree on this: the whole text before the first "=" of the trimmed line.
bool Matches(const QString& TrimmedLine, const QString& Ident) {
  const qsizetype Equal = TrimmedLine.indexOf('=');
  return Equal >= 0 && TrimmedLine.left(Equal).compare(Ident, Qt::CaseInsensitive) == 0;
}
}  // namespace

qsizetype TIniStrings::FindSection(const std::string& Section) const {
  const QString Line = "[" + QString::fromStdString(Section) + "]";
  for (qsizetype I = 0; I < FLines.size(); ++I)
    if (FLines[I].compare(Line, Qt::CaseInsensitive) == 0) return I;
  return -1;
}

std::string TIniStrings::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  const QString Wanted = QString::fromStdString(Ident);
  const qsizetype Start = FindSection(Section);
  if (Start < 0) return Default;
  for (qsizetype I = Start + 1; I < FLines.size(); ++I) {
    const QString Line = FLines[I].trimmed();
    if (Line.isEmpty()) continue;
    if (Line.startsWith('[')) break;
    if (Matches(Line, Wanted)) return FLines[I].mid(FLines[I].indexOf('=') + 1).toStdString();
  }
  return Default;
}

void TIniStrings::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  const QString Wanted = QString::fromStdString(Ident);
  const QString Entry = Wanted + "=" + QString::fromStdString(Value);
  const qsizetype Start = FindSection(Section);
  if (Start < 0) {
    FLines << QString() << "[" + QString::fromStdString(Section) + "]" << Entry;
    return;
  }
  for (qsizetype I = Start + 1; I < FLines.size(); ++I) {
    const QString Line = FLines[I].trimmed();
    if (Line.isEmpty() || Line.startsWith('[')) {
      FLines.insert(I, Entry);
      return;
    }
    if (Matches(Line, Wanted)) {
      FLines[I] = Entry;
      return;
    }
  }
  FLines << Entry;
}

double TIniStrings::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
  return StrToFloatDef(ReadString(Section, Ident, FloatToStr(Default)), Default);
}
