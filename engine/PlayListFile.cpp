#include "engine/PlayListFile.h"

#include <sys/stat.h>

#include <memory>

#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"

namespace {
bool FileExists(const std::string& Path) {
  struct stat S {};
  return ::stat(Path.c_str(), &S) == 0 && S_ISREG(S.st_mode);
}

[[noreturn]] void BrokenRecord(const std::string& Path, std::int64_t Offset, const std::string& Why) {
  throw EPlayListFormatError("Playlist file \"" + Path + "\" is broken at byte " + std::to_string(Offset) + ": " +
                             Why + ".");
}
}  // namespace

void WritePlayList(TStream& Stream, const TVizmoraPlayList& PlayList, IEntryKinds& Kinds) {
  for (int I = 0; I < PlayList.Count(); ++I) {
    TPlayListEntry* Entry = PlayList.Items(I);
    WriteValue(Stream, Kinds.CodeOf(*Entry));
    Entry->SaveToStream(Stream);
  }
}

void WritePlayListFile(const std::string& Path, const TVizmoraPlayList& PlayList, IEntryKinds& Kinds) {
  TFileStream Stream(Path, TFileStream::fmReplace);
  WritePlayList(Stream, PlayList, Kinds);
  Stream.Commit();
}

void ReadPlayListFile(const std::string& Path, TVizmoraPlayList& PlayList, IEntryKinds& Kinds,
                      const std::function<void()>& AfterEach) {
  if (!FileExists(Path)) return;
  TFileStream Stream(Path, TFileStream::fmOpenRead);
  ReadPlayList(Stream, Path, PlayList, Kinds, AfterEach);
}

void ReadPlayList(TStream& Stream, const std::string& Name, TVizmoraPlayList& PlayList, IEntryKinds& Kinds,
                  const std::function<void()>& AfterEach) {
  while (Stream.Position() < Stream.Size()) {
    const std::int64_t Offset = Stream.Position();
    std::uint8_t Code = 0;
    ReadValue(Stream, Code);
    if (Code != ecVideoEntry && Code != ecPictureEntry)
      BrokenRecord(Name, Offset, "unknown entry type " + std::to_string(Code));
    std::unique_ptr<TPlayListEntry> Entry(Kinds.CreateEntry(Code));
    try {
      Entry->LoadFromStream(Stream);
    } catch (const EPlayListFormatError& E) {
      BrokenRecord(Name, Offset, E.Message);
    }
    PlayList.Add(Entry.release());
    if (AfterEach) AfterEach();
  }
}
