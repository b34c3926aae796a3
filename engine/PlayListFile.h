#pragma once
// The playlist file (".pll"): a run of records, each a type-code byte and the entry's body,
// with no header and no trailer.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/EntryStreaming.h"

class TPlayListEntry;
class TVizmoraPlayList;

// Type codes of the file.
constexpr std::uint8_t ecVideoEntry = 0;
constexpr std::uint8_t ecPictureEntry = 1;

// How the caller maps between type codes and entry kinds, so the engine needs no entry kind.
class IEntryKinds {
public:
  virtual ~IEntryKinds() = default;
  // A new entry of the kind for Code (ecVideoEntry or ecPictureEntry), wired to its graphs.
  virtual TPlayListEntry* CreateEntry(std::uint8_t Code) = 0;
  virtual std::uint8_t CodeOf(const TPlayListEntry& Entry) = 0;
};

// Writes every entry in playlist order, through the durable writer: a failure leaves the
// previous playlist as it was, and a symbolic link at Path keeps pointing at the saved file.
// Raises EFCreateError when the file cannot be created (also when it is read-only to this user),
// EWriteError when writing fails.
void WritePlayListFile(const std::string& Path, const TVizmoraPlayList& PlayList, IEntryKinds& Kinds);
void WritePlayList(TStream& Stream, const TVizmoraPlayList& PlayList, IEntryKinds& Kinds);

// Appends the entries of the file after those already in the playlist; a missing file does
// nothing. AfterEach runs after each appended entry. A broken record ends loading with
// EPlayListFormatError naming the file and the record's byte offset; the entries read
// before it stay in the playlist.
void ReadPlayListFile(const std::string& Path, TVizmoraPlayList& PlayList, IEntryKinds& Kinds,
                      const std::function<void()>& AfterEach = {});
// The same over the rest of a stream; Name stands for the file in messages.
void ReadPlayList(TStream& Stream, const std::string& Name, TVizmoraPlayList& PlayList, IEntryKinds& Kinds,
                  const std::function<void()>& AfterEach = {});
