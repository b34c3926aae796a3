#include "ui/EntryKinds.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/PlayListFormats.h"
#include "engine/VizmoraPlayList.h"
#include "framework/FileNames.h"
#include "media/VideoWindow.h"
#include "platform/win/AtomicFile.h"

namespace {
template <typename Entry>
TPlayListEntry* Construct(TVizmoraPlayer* AOwner) {
  return new Entry(AOwner);
}

// What a newly created file gets: everything the user's umask allows.
mode_t NewFileMode() {
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return 0666 & ~Mask;
}
}  // namespace

TEntryClass EntryClassForExt(const std::string& Ext) {
  const std::string E = AnsiUpperCaseAscii(Ext);
  if (E == ".AVI" || E == ".VOB") return &Construct<TAVIPLE>;
  if (E == ".GIF" || E == ".JPG" || E == ".JPEG") return &Construct<TGIFPLE>;
  return nullptr;
}

TEntryClass EntryClassForCode(std::uint8_t Code) {
  switch (Code) {
    case ecVideoEntry: return &Construct<TAVIPLE>;
    case ecPictureEntry: return &Construct<TGIFPLE>;
    default: return nullptr;
  }
}

std::uint8_t CodeForEntryClass(const TPlayListEntry& Entry) {
  return dynamic_cast<const TAVIPLE*>(&Entry) ? ecVideoEntry : ecPictureEntry;
}

TEntryKinds::TEntryKinds(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
                         TVideoWindow* AVideoWindow)
    : FPlayList(APlayList), FMainGraph(AMainGraph), FSoundGraph(ASoundGraph), FVideoWindow(AVideoWindow) {}

TPlayListEntry* TEntryKinds::CreateWired(TEntryClass Class) {
  TPlayListEntry* Entry = Class(FPlayList->Player);
  if (auto* Video = dynamic_cast<TAVIPLE*>(Entry)) {
    Video->MainGraph = FMainGraph;
    Video->SoundGraph = FSoundGraph;
    Video->VideoWindow = FVideoWindow;
  } else if (auto* Picture = dynamic_cast<TGIFPLE*>(Entry)) {
    Picture->MainGraph = FMainGraph;
    Picture->SoundGraph = FSoundGraph;
  }
  return Entry;
}

TPlayListEntry* TEntryKinds::CreateEntry(std::uint8_t Code) { return CreateWired(EntryClassForCode(Code)); }

bool TEntryKinds::AddMediaFile(const std::string& Path) {
  const TEntryClass Class = EntryClassForExt(ExtractFileExt(ExtractFileName(Path)));
  if (!Class) return false;
  TPlayListEntry* Entry = CreateWired(Class);
  Entry->FileName = Path;
  FPlayList->Add(Entry);
  return true;
}

void TEntryKinds::LoadPlayList(const std::string& Path, std::vector<std::string>* Notes) {
  const TPlayListFormat Format = PlayListFormatOf(Path);
  if (Format != TPlayListFormat::pfM3U && Format != TPlayListFormat::pfXspf) {
    ReadPlayListFile(Path, *FPlayList, *this);
    return;
  }
  std::error_code Missing;
  if (!std::filesystem::exists(Path, Missing)) return;
  TPlayListPaths Found = ReadForeignPlayList(Path, Format);
  for (const std::string& File : Found.Files)
    if (!AddMediaFile(File)) Found.Notes.push_back(Path + ": " + File + ": not a supported media file, skipped");
  if (Notes) Notes->insert(Notes->end(), Found.Notes.begin(), Found.Notes.end());
  if (!Found.Error.empty()) throw EPlayListFormatError(Found.Error);
}

void TEntryKinds::SavePlayList(const std::string& Path) {
  const TPlayListFormat Format = SaveFormatOf(Path);
  if (Format == TPlayListFormat::pfPll) {
    WritePlayListFile(Path, *FPlayList, *this);
    return;
  }
  if (const int Error = WriteFileAtomically(Path, FormatForeignPlayList(*FPlayList, Format), NewFileMode()))
    throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(Error));
}
