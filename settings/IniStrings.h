#pragma once
// The in-memory store: ini-formatted lines of a list it does not own. A section starts at the
// line "[section]" (letter case ignored) and ends at the next line starting with "["; an entry
// matches an identifier when the text before its first "=" equals it, letter case ignored.
#include <QStringList>

#include "settings/SettingsStore.h"

class TIniStrings : public TSettingsStore {
public:
  explicit TIniStrings(QStringList& Lines) : FLines(Lines) {}

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // Replaces the entry, or inserts it before the first empty line or next section, or appends
  // it; a missing section is appended after an empty line.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  double ReadFloat(const std::string& Section, const std::string& Ident, double Default) override;

private:
  // Index of the section line, or -1.
  qsizetype FindSection(const std::string& Section) const;

  QStringList& FLines;
};
