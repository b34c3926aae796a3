#include "app/EntryKinds.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/JsonLine.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/PlayListFormats.h"
#include "engine/VizmoraPlayList.h"
#include "framework/FileNames.h"
#include "platform/win/AtomicFile.h"

namespace {
template <typename Entry>
TPlayListEntry* Construct(TVizmoraPlayer* AOwner) {
  return new Entry(AOwner);
}

template <typename Entry>
bool Is(const TPlayListEntry& E) {
  return dynamic_cast<const Entry*>(&E) != nullptr;
}

void WireVideo(TPlayListEntry& E, TFilterGraph* MainGraph, TFilterGraph* SoundGraph, QObject* VideoWindow) {
  auto& Video = static_cast<TAVIPLE&>(E);
  Video.MainGraph = MainGraph;
  Video.SoundGraph = SoundGraph;
  Video.VideoWindow = VideoWindow;
}

void WirePicture(TPlayListEntry& E, TFilterGraph* MainGraph, TFilterGraph* SoundGraph, QObject*) {
  auto& Picture = static_cast<TGIFPLE&>(E);
  Picture.MainGraph = MainGraph;
  Picture.SoundGraph = SoundGraph;
}

void VideoJson(const TPlayListEntry& E, QJsonObject& Json) {
  const auto& Video = static_cast<const TAVIPLE&>(E);
  const VMR9NormalizedRect& R = Video.OverlayRect;
  Json["additional_file"] = JsonText(Video.AdditionalFile);
  Json["overlay"] = QJsonObject{{"left", JsonFloat(R.left)},
                                {"top", JsonFloat(R.top)},
                                {"right", JsonFloat(R.right)},
                                {"bottom", JsonFloat(R.bottom)}};
  Json["alpha"] = JsonFloat(Video.OverlayAlpha);
}

void PictureJson(const TPlayListEntry& E, QJsonObject& Json) {
  const auto& Picture = static_cast<const TGIFPLE&>(E);
  Json["sound_file"] = JsonText(Picture.SoundFile);
  Json["continue"] = Picture.ContinueSound;
  Json["display_time"] = Picture.DisplayTime;
}
}  // namespace

const std::vector<TEntryKind>& EntryKindTable() {
  static const std::vector<TEntryKind> Table = {
      {ecVideoEntry, "video",
       {".AVI", ".VOB", ".MP4", ".M4V", ".MKV", ".WEBM", ".MOV", ".MPG", ".MPEG", ".TS", ".WMV", ".OGV"},
       &Construct<TAVIPLE>, &Is<TAVIPLE>, &WireVideo, &VideoJson},
      {ecPictureEntry, "picture",
       {".GIF", ".JPG", ".JPEG", ".PNG", ".BMP", ".WEBP", ".TIF", ".TIFF"},
       &Construct<TGIFPLE>, &Is<TGIFPLE>, &WirePicture, &PictureJson},
  };
  return Table;
}

const TEntryKind* EntryKindForExt(const std::string& Ext) {
  const std::string E = AnsiUpperCaseAscii(Ext);
  for (const TEntryKind& Kind : EntryKindTable())
    if (std::find(Kind.Extensions.begin(), Kind.Extensions.end(), E) != Kind.Extensions.end()) return &Kind;
  return nullptr;
}

const TEntryKind* EntryKindForCode(std::uint8_t Code) {
  for (const TEntryKind& Kind : EntryKindTable())
    if (Kind.Code == Code) return &Kind;
  return nullptr;
}

// Every entry is of one of the kinds: the engine has no others.
const TEntryKind& EntryKindOf(const TPlayListEntry& Entry) {
  for (const TEntryKind& Kind : EntryKindTable())
    if (Kind.Is(Entry)) return Kind;
  return EntryKindTable().back();
}

TEntryClass EntryClassForExt(const std::string& Ext) {
  const TEntryKind* Kind = EntryKindForExt(Ext);
  return Kind ? Kind->Create : nullptr;
}

TEntryClass EntryClassForCode(std::uint8_t Code) {
  const TEntryKind* Kind = EntryKindForCode(Code);
  return Kind ? Kind->Create : nullptr;
}

std::uint8_t CodeForEntryClass(const TPlayListEntry& Entry) { return EntryKindOf(Entry).Code; }

TEntryKinds::TEntryKinds(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
                         QObject* AVideoWindow)
    : FPlayList(APlayList), FMainGraph(AMainGraph), FSoundGraph(ASoundGraph), FVideoWindow(AVideoWindow) {}

TPlayListEntry* TEntryKinds::CreateWired(const TEntryKind& Kind) {
  TPlayListEntry* Entry = Kind.Create(FPlayList->Player);
  Kind.Wire(*Entry, FMainGraph, FSoundGraph, FVideoWindow);
  return Entry;
}

TPlayListEntry* TEntryKinds::CreateEntry(std::uint8_t Code) { return CreateWired(*EntryKindForCode(Code)); }

bool TEntryKinds::AddMediaFile(const std::string& Path) {
  const TEntryKind* Kind = EntryKindForExt(ExtractFileExt(ExtractFileName(Path)));
  if (!Kind) return false;
  TPlayListEntry* Entry = CreateWired(*Kind);
  Entry->FileName = Path;
  FPlayList->Add(Entry);
  return true;
}

void TEntryKinds::LoadPlayList(const std::string& Path, std::vector<std::string>* Notes,
                               const std::function<void()>& AfterEach) {
  const TPlayListFormat Format = PlayListFormatOf(Path);
  if (Format != TPlayListFormat::pfM3U && Format != TPlayListFormat::pfXspf) {
    ReadPlayListFile(Path, *FPlayList, *this, AfterEach);
    return;
  }
  std::error_code Missing;
  if (!std::filesystem::exists(Path, Missing)) return;
  TPlayListPaths Found = ReadForeignPlayList(Path, Format);
  for (const std::string& File : Found.Files) {
    if (!AddMediaFile(File))
      Found.Notes.push_back(Path + ": " + File + ": not a supported media file, skipped");
    else if (AfterEach)
      AfterEach();
  }
  if (Notes) Notes->insert(Notes->end(), Found.Notes.begin(), Found.Notes.end());
  if (!Found.Error.empty()) throw EPlayListFormatError(Found.Error);
}

void TEntryKinds::SavePlayList(const std::string& Path) {
  const TPlayListFormat Format = SaveFormatOf(Path);
  if (Format == TPlayListFormat::pfPll) {
    WritePlayListFile(Path, *FPlayList, *this);
    return;
  }
  if (const int Error = WriteFileAtomically(Path, FormatForeignPlayList(*FPlayList, Format), 0666))
    throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(Error));
}
