#include "app/ResumeStore.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "app/JsonLine.h"
#include "framework/Exception.h"

TResumeStore::TResumeStore(TResumeValue AValue, const std::vector<std::string>& Files, std::ostream& AErrors)
    : FValue(std::move(AValue)), FErrors(AErrors) {
  QJsonArray Show;
  for (const std::string& File : Files) {
    std::error_code Error;
    const std::filesystem::path Absolute = std::filesystem::absolute(File, Error);
    Show.append(JsonText(Error ? File : Absolute.lexically_normal().string()));
  }
  FShow = JsonLine(Show);
}

void TResumeStore::Save(int Index) {
  try {
    FValue.Write(std::to_string(Index) + " " + FShow);
  } catch (const Exception& E) {
    if (!FSaveFailed) FErrors << "vizmora: the entry to resume at is not saved: " << E.Message << std::endl;
    FSaveFailed = true;
  }
}

int TResumeStore::Load() {
  std::string Saved;
  try {
    Saved = FValue.Read();
  } catch (const Exception& E) {
    return Unreadable(E.Message);
  }
  if (Saved.empty()) return -1;
  const std::size_t Space = Saved.find(' ');
  int Index = -1;
  const auto [End, Error] = std::from_chars(Saved.data(), Saved.data() + std::min(Space, Saved.size()), Index);
  if (Space == std::string::npos || Error != std::errc() || End != Saved.data() + Space || Index < 0)
    return Unreadable("\"" + Saved.substr(0, 80) + "\" is no entry of a show");
  return Saved.compare(Space + 1, std::string::npos, FShow) == 0 ? Index : -1;
}

int TResumeStore::Unreadable(const std::string& Why) {
  FErrors << "vizmora: the entry to resume at cannot be read (" << Why << "); the show starts at its first entry"
          << std::endl;
  return -1;
}
