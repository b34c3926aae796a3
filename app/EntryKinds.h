#pragma once
// The two entry kinds as the program knows them, in one table: chosen by a file's extension or
// by a playlist file's type code, told apart for reports, created with the player as owner and
// wired to the video form's graphs and video window.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/PlayListFile.h"

class QJsonObject;
class QObject;
class TFilterGraph;
class TVizmoraPlayer;
class TVizmoraPlayList;

// A class reference: constructs an entry of one kind.
using TEntryClass = TPlayListEntry* (*)(TVizmoraPlayer* AOwner);

// One row of the table: everything that differs between the kinds outside the entries.
struct TEntryKind {
  std::uint8_t Code;  // the playlist file's type code
  const char* Name;   // "video" or "picture", as reports name it
  // Upper-case, dot included; the first ones are those the open dialog offers by name.
  std::vector<std::string> Extensions;
  TEntryClass Create;
  bool (*Is)(const TPlayListEntry& Entry);
  // Hands the entry the graphs and the video window it plays into.
  void (*Wire)(TPlayListEntry& Entry, TFilterGraph* MainGraph, TFilterGraph* SoundGraph, QObject* VideoWindow);
  // Adds the kind's own stored fields to the entry's JSON object.
  void (*JsonFields)(const TPlayListEntry& Entry, QJsonObject& Json);
};

const std::vector<TEntryKind>& EntryKindTable();
const TEntryKind* EntryKindForExt(const std::string& Ext);  // letter case ignored; nil for none
const TEntryKind* EntryKindForCode(std::uint8_t Code);      // nil for a code of no kind
const TEntryKind& EntryKindOf(const TPlayListEntry& Entry);

TEntryClass EntryClassForExt(const std::string& Ext);  // nil for an extension of no kind
TEntryClass EntryClassForCode(std::uint8_t Code);       // nil for a code of no kind
std::uint8_t CodeForEntryClass(const TPlayListEntry& Entry);

class TEntryKinds : public IEntryKinds {
public:
  // VideoWindow: the video window, the renderer host a video entry mixes its overlay through.
  TEntryKinds(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, TFilterGraph* ASoundGraph,
              QObject* AVideoWindow);

  TPlayListEntry* CreateEntry(std::uint8_t Code) override;
  std::uint8_t CodeOf(const TPlayListEntry& Entry) override { return CodeForEntryClass(Entry); }

  // Creates, wires and appends one entry for the file; false (nothing added) for a file whose
  // extension names no kind.
  bool AddMediaFile(const std::string& Path);
  // Appends the entries of a playlist file: a .pll, or another player's M3U, M3U8 or XSPF, whose
  // files become entries of their kind with its defaults. A missing file does nothing. What was
  // skipped (URLs, files of no kind) is added to Notes, each naming its file. AfterEach runs after
  // each appended entry. A broken file raises EPlayListFormatError after the entries before the
  // break have been appended.
  void LoadPlayList(const std::string& Path, std::vector<std::string>* Notes = nullptr,
                    const std::function<void()>& AfterEach = {});
  // Writes M3U8 or XSPF for a name ending so, and a .pll for any other name.
  void SavePlayList(const std::string& Path);

private:
  TPlayListEntry* CreateWired(const TEntryKind& Kind);

  TVizmoraPlayList* FPlayList;
  TFilterGraph* FMainGraph;
  TFilterGraph* FSoundGraph;
  QObject* FVideoWindow;
};
