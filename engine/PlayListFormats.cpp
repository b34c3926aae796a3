#include "engine/PlayListFormats.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/M3UFile.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "engine/XSPFFile.h"
#include "framework/FileNames.h"
#include "framework/Streams.h"

namespace {
constexpr off_t MaxPlayListBytes = off_t{256} << 20;

std::string ReadPlayListText(const std::string& Path) {
  struct stat S {};
  if (::stat(Path.c_str(), &S) != 0)
    throw EFOpenError("Cannot open file \"" + Path + "\". " + std::strerror(errno));
  if (!S_ISREG(S.st_mode)) throw EFOpenError("Cannot open file \"" + Path + "\". It is not a regular file.");
  if (S.st_size > MaxPlayListBytes)
    throw EFOpenError("Cannot open file \"" + Path + "\". A playlist of more than 256 MiB is not read.");
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw EFOpenError("Cannot open file \"" + Path + "\". " + std::strerror(errno));
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}
}  // namespace

TPlayListFormat PlayListFormatOf(const std::string& Path) {
  const std::string Ext = AnsiUpperCaseAscii(ExtractFileExt(Path));
  if (Ext == ".PLL") return TPlayListFormat::pfPll;
  if (Ext == ".M3U" || Ext == ".M3U8") return TPlayListFormat::pfM3U;
  if (Ext == ".XSPF") return TPlayListFormat::pfXspf;
  return TPlayListFormat::pfNone;
}

TPlayListFormat SaveFormatOf(const std::string& Path) {
  const TPlayListFormat Format = PlayListFormatOf(Path);
  return Format == TPlayListFormat::pfNone ? TPlayListFormat::pfPll : Format;
}

std::vector<TPlayListItem> PlayListItems(const TVizmoraPlayList& PlayList) {
  std::vector<TPlayListItem> Items;
  Items.reserve(static_cast<size_t>(PlayList.Count()));
  for (int I = 0; I < PlayList.Count(); ++I) {
    const TPlayListEntry* Entry = PlayList.Items(I);
    std::error_code Error;
    std::string Path = std::filesystem::absolute(Entry->FileName, Error).string();
    if (Error) Path = Entry->FileName;
    Items.push_back({std::move(Path), Entry->Duration * 86400.0});
  }
  return Items;
}

TPlayListPaths ReadForeignPlayList(const std::string& Path, TPlayListFormat Format) {
  const std::string Text = ReadPlayListText(Path);
  const std::string Base = ExtractFilePath(Path);
  TPlayListPaths Result = Format == TPlayListFormat::pfXspf ? ParseXSPF(Text, Base) : ParseM3U(Text, Base);
  for (std::string& Note : Result.Notes) Note = Path + ": " + Note;
  if (!Result.Error.empty()) Result.Error = "Playlist file \"" + Path + "\" is broken at " + Result.Error + ".";
  return Result;
}

std::string FormatForeignPlayList(const TVizmoraPlayList& PlayList, TPlayListFormat Format) {
  const std::vector<TPlayListItem> Items = PlayListItems(PlayList);
  return Format == TPlayListFormat::pfXspf ? FormatXSPF(Items) : FormatM3U(Items);
}
