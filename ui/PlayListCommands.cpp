#include "ui/PlayListCommands.h"

#include <filesystem>

#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayer.h"
#include "framework/Exception.h"
#include "ui/CommandLine.h"
#include "ui/EntryKinds.h"
#include "ui/JsonText.h"

namespace {
bool IsFile(const std::string& Path) {
  std::error_code Error;
  return std::filesystem::is_regular_file(Path, Error);
}

std::string EntryJson(int Index, const TPlayListEntry& Entry) {
  const TEntryKind& Kind = EntryKindOf(Entry);
  return "{\"index\":" + std::to_string(Index) + ",\"kind\":\"" + Kind.Name + "\",\"file\":" +
         JsonString(Entry.FileName) + ",\"duration\":" + JsonNumber(Entry.Duration * 86400.0) + Kind.JsonFields(Entry) +
         "}";
}
}  // namespace

bool AddArguments(TEntryKinds& Kinds, const std::vector<std::string>& Files, std::ostream& Errors) {
  bool Ok = true;
  for (const std::string& File : Files) {
    if (!IsFile(File)) {
      Errors << "vizmora: " << File << ": no such file\n";
      Ok = false;
      if (IsPlayListPath(File)) continue;
    }
    if (IsPlayListPath(File)) {
      try {
        Kinds.LoadPlayList(File);
      } catch (const Exception& E) {
        Errors << "vizmora: " << E.Message << "\n";
        Ok = false;
      }
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
  try {
    Kinds.LoadPlayList(Path);
  } catch (const Exception& E) {
    Errors << "vizmora: " << E.Message << "\n";
    Status = 1;
  }
  for (int I = 0; I < Player.PlayList->Count(); ++I) Out << EntryJson(I, *Player.PlayList->Items(I)) << "\n";
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
