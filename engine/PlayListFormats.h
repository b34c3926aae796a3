#pragma once
// The playlist formats the program opens and saves, told apart by the file's extension: its own
// .pll, and other players' M3U/M3U8 and XSPF.
#include <string>
#include <vector>

#include "engine/PlayListPaths.h"

class TVizmoraPlayList;

enum class TPlayListFormat { pfNone, pfPll, pfM3U, pfXspf };

// By extension, letter case ignored: .pll, .m3u or .m3u8, .xspf; pfNone for any other name.
TPlayListFormat PlayListFormatOf(const std::string& Path);
// The format a playlist is saved in: that of the extension, .pll for a name of no format.
TPlayListFormat SaveFormatOf(const std::string& Path);

// The entries' files, made absolute against the working folder, with their stored lengths.
std::vector<TPlayListItem> PlayListItems(const TVizmoraPlayList& PlayList);
// Reads an M3U or XSPF file: notes and the error are prefixed with the file's path. Only a
// regular file of at most 256 MiB is read; others raise EFOpenError with a clear message.
TPlayListPaths ReadForeignPlayList(const std::string& Path, TPlayListFormat Format);
// The text of an M3U8 or XSPF file holding the playlist's entries.
std::string FormatForeignPlayList(const TVizmoraPlayList& PlayList, TPlayListFormat Format);
