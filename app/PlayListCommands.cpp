#include "app/PlayListCommands.h"

#include <filesystem>

#include "app/CommandLine.h"
#include "app/EntryKinds.h"
#include "app/JsonLine.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayer.h"
#include "framework/DayFractions.h"
#include "framework/Exception.h"

namespace {
bool IsFile(const std::string& Path) {
  std::error_code Error;
  return std::filesystem::is_regular_file(Path, Error);
}

// Loads a playlist file, writing what was skipped and what broke to Errors; false when it broke.
bool LoadReporting(TEntryKinds& Kinds, const std::string& Path, std::ostream& Errors) {
  std::vector<std::string> Notes;
  bool Ok = true;
  try {
    Kinds.LoadPlayList(Path, &Notes);
  } catch (const Exception& E) {
    Notes.push_back(E.Message);
    Ok = false;
  }
  for (const std::string& Note : Notes) Errors << "vizmora: " << Note << "\n";
  return Ok;
}
}  // namespace

QJsonObject EntryFields(int Index, const TPlayListEntry& Entry) {
  const TEntryKind& Kind = EntryKindOf(Entry);
  QJsonObject Json{{"index", Index},
                   {"kind", Kind.Name},
                   {"file", JsonText(Entry.FileName)},
                   {"duration", Entry.Duration * SecsPerDay}};
  Kind.JsonFields(Entry, Json);
  return Json;
}

bool AddArguments(TEntryKinds& Kinds, const std::vector<std::string>& Files, std::ostream& Errors,
                  bool SayMissingMedia) {
  bool Ok = true;
  for (const std::string& File : Files) {
    if (!IsFile(File)) {
      std::error_code Error;
      if (SayMissingMedia || IsPlayListPath(File))
        Errors << "vizmora: " << File
               << (std::filesystem::is_directory(File, Error) ? ": is a folder, not a file\n" : ": no such file\n");
      Ok = false;
      if (IsPlayListPath(File)) continue;
    }
    if (IsPlayListPath(File)) {
      Ok = LoadReporting(Kinds, File, Errors) && Ok;
    } else if (!Kinds.AddMediaFile(File)) {
      Errors << "vizmora: " << File << ": not a supported media file, skipped\n";
    }
  }
  return Ok;
}

int ListPlayList(const std::string& Path, std::ostream& Out, std::ostream& Errors) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  int Status = 0;
  if (!IsFile(Path)) {
    Errors << "vizmora: " << Path << ": no such playlist file\n";
    return 1;
  }
  if (!LoadReporting(Kinds, Path, Errors)) Status = 1;
  for (int I = 0; I < Player.PlayList->Count(); ++I) Out << JsonLine(EntryFields(I, *Player.PlayList->Items(I))) << "\n";
  return Status;
}

int SavePlayList(const std::vector<std::string>& Files, const std::string& Path, std::ostream& Errors) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  if (!AddArguments(Kinds, Files, Errors)) return 1;
  try {
    Kinds.SavePlayList(Path);
  } catch (const Exception& E) {
    Errors << "vizmora: " << E.Message << "\n";
    return 1;
  }
  return 0;
}
