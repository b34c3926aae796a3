#pragma once
// M3U and M3U8 playlists: one media reference a line, "#" lines directives or comments.
#include <string>
#include <string_view>
#include <vector>

#include "engine/PlayListPaths.h"

// Reads the references of an M3U file's bytes (a UTF-8 byte-order mark, CR-LF line ends and
// #EXTINF, #EXTVLCOPT and other directives tolerated). Relative paths are resolved against
// BaseFolder, file: URIs taken as local paths; other URLs are skipped with a note.
TPlayListPaths ParseM3U(std::string_view Bytes, const std::string& BaseFolder);
// An extended M3U8 file: #EXTM3U, then #EXTINF with the length (-1 when unknown) and the file's
// name, and the absolute path; a path no M3U line can carry is written as a file: URI.
std::string FormatM3U(const std::vector<TPlayListItem>& Items);
