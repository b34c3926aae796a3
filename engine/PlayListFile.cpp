#include "engine/PlayListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"

namespace {
// A temporary file beside Path, with the permissions the playlist file has or would get.
std::string CreateTemporaryBeside(const std::string& Path) {
  std::string Name = Path + ".XXXXXX";
  const int Fd = ::mkstemp(Name.data());
  if (Fd < 0) throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(errno));
  struct stat Old {};
  mode_t Mode = 0;
  if (::stat(Path.c_str(), &Old) == 0) {
    Mode = Old.st_mode & 07777;
  } else {
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    Mode = 0666 & ~Mask;
  }
  ::fchmod(Fd, Mode);
  ::close(Fd);
  return Name;
}

bool FileExists(const std::string& Path) {
  struct stat S {};
  return ::stat(Path.c_str(), &S) == 0 && S_ISREG(S.st_mode);
}

[[noreturn]] void BrokenRecord(const std::string& Path, std::int64_t Offset, const std::string& Why) {
  throw EPlayListFormatError("Playlist file \"" + Path + "\" is broken at byte " + std::to_string(Offset) + ": " +
                             Why + ".");
}
}  // namespace

void WritePlayListFile(const std::string& Path, const TVizmoraPlayList& PlayList, IEntryKinds& Kinds) {
  const std::string Temporary = CreateTemporaryBeside(Path);
  try {
    {
      TFileStream Stream(Temporary, TFileStream::fmCreate);
      for (int I = 0; I < PlayList.Count(); ++I) {
        TPlayListEntry* Entry = PlayList.Items(I);
        WriteValue(Stream, Kinds.CodeOf(*Entry));
        Entry->SaveToStream(Stream);
      }
      Stream.Flush();
    }
    if (std::rename(Temporary.c_str(), Path.c_str()) != 0)
      throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(errno));
  } catch (...) {
    std::remove(Temporary.c_str());
    throw;
  }
}

void ReadPlayListFile(const std::string& Path, TVizmoraPlayList& PlayList, IEntryKinds& Kinds,
                      const std::function<void()>& AfterEach) {
  if (!FileExists(Path)) return;
  TFileStream Stream(Path, TFileStream::fmOpenRead);
  while (Stream.Position() < Stream.Size()) {
    const std::int64_t Offset = Stream.Position();
    std::uint8_t Code = 0;
    ReadValue(Stream, Code);
    if (Code != ecVideoEntry && Code != ecPictureEntry)
      BrokenRecord(Path, Offset, "unknown entry type " + std::to_string(Code));
    std::unique_ptr<TPlayListEntry> Entry(Kinds.CreateEntry(Code));
    try {
      Entry->LoadFromStream(Stream);
    } catch (const EPlayListFormatError& E) {
      BrokenRecord(Path, Offset, E.Message);
    }
    PlayList.Add(Entry.release());
    if (AfterEach) AfterEach();
  }
}
