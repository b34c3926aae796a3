#include "ui/EntryKinds.h"

#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayList.h"
#include "framework/FileNames.h"
#include "media/VideoWindow.h"

namespace {
template <typename Entry>
TPlayListEntry* Construct(TVizmoraPlayer* AOwner) {
  return new Entry(AOwner);
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

void TEntryKinds::LoadPlayList(const std::string& Path) { ReadPlayListFile(Path, *FPlayList, *this); }

void TEntryKinds::SavePlayList(const std::string& Path) { WritePlayListFile(Path, *FPlayList, *this); }
