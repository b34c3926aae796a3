#pragma once
// XSPF playlists (XML, http://xspf.org/ns/0/): a track list whose tracks carry locations.
#include <string>
#include <string_view>
#include <vector>

#include "engine/PlayListPaths.h"

// Reads the first location of each track from an XSPF file's bytes; elements of other
// namespaces (VLC's extensions) are passed over. Relative locations are resolved against
// BaseFolder, file: URIs taken as local paths; other URLs are skipped with a note. Malformed
// XML ends reading with Error ("line L, column C: why"), keeping the tracks before it.
TPlayListPaths ParseXSPF(std::string_view Bytes, const std::string& BaseFolder);
// An XSPF file whose tracks have the entry's file: URI, the file's name as title and, when
// known, the length in milliseconds.
std::string FormatXSPF(const std::vector<TPlayListItem>& Items);
