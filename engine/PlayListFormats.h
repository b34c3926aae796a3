#pragma once
// The playlist formats the program opens and saves, told apart by the file's extension: its own
// .pll, and other players' M3U/M3U8 and XSPF. Other players' playlists name media files only;
// what reading one yields, and what writing one takes, is shared by their readers and writers.
#include <string>
#include <string_view>
#include <vector>

class TVizmoraPlayList;

enum class TPlayListFormat { pfNone, pfPll, pfM3U, pfXspf };

// By extension, letter case ignored: .pll, .m3u or .m3u8, .xspf; pfNone for any other name.
TPlayListFormat PlayListFormatOf(const std::string& Path);
// The format a playlist is saved in: that of the extension, .pll for a name of no format.
TPlayListFormat SaveFormatOf(const std::string& Path);

// What another player's playlist holds for us.
struct TPlayListPaths {
  std::vector<std::string> Files;  // media files in playlist order, relative ones resolved
  std::vector<std::string> Notes;  // what was skipped and why, each naming its place
  std::string Error;               // non-empty when the file breaks off; Files holds what came before
};

// One entry as the writers see it.
struct TPlayListItem {
  std::string Path;  // absolute
  double Seconds;    // stored length; 0 when unknown
};

// The entries' files, made absolute against the working folder, with their stored lengths.
std::vector<TPlayListItem> PlayListItems(const TVizmoraPlayList& PlayList);
// A reference found in a playlist in BaseFolder (ending with "/", or empty for the working
// folder): an absolute path stays, a relative one is joined to the folder; "." and ".." folded.
std::string ResolvePlayListReference(const std::string& BaseFolder, std::string_view Reference);

// Reads an M3U or XSPF file: notes and the error are prefixed with the file's path. Only a
// regular file of at most 256 MiB is read; others raise EFOpenError with a clear message.
TPlayListPaths ReadForeignPlayList(const std::string& Path, TPlayListFormat Format);
// The text of an M3U8 or XSPF file holding the playlist's entries.
std::string FormatForeignPlayList(const TVizmoraPlayList& PlayList, TPlayListFormat Format);
