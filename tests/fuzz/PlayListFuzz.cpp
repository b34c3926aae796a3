// The .pll reader over the program's own entry kinds. Whatever it reads, before a broken record
// or to the end, writes out to bytes that read back whole and write out the same again.
#include "app/EntryKinds.h"
#include "engine/PlayListFile.h"
#include "engine/VizmoraPlayer.h"
#include "fuzz/FuzzTarget.h"

namespace {
// Reads the stream into a new playlist and writes that out; false when a record was broken.
bool RoundTrip(TStream& In, TMemoryStream& Out) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  bool Whole = true;
  try {
    ReadPlayList(In, "fuzz.pll", *Player.PlayList, Kinds);
  } catch (const EPlayListFormatError&) {
    Whole = false;
  }
  WritePlayList(Out, *Player.PlayList, Kinds);
  return Whole;
}
}  // namespace

VIZMORA_FUZZ_TARGET(playlist) {
  TMemoryStream In(std::vector<std::uint8_t>(Data, Data + Size));
  TMemoryStream Once;
  RoundTrip(In, Once);
  FuzzCheck(Once.Size() <= static_cast<std::int64_t>(Size), "the entries read write out to no more bytes than they came from");
  Once.SetPosition(0);
  TMemoryStream Twice;
  FuzzCheck(RoundTrip(Once, Twice), "a written playlist reads back whole");
  FuzzCheck(Twice.Bytes() == Once.Bytes(), "and writes out the same bytes again");
}
