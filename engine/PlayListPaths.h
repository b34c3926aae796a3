#pragma once
// What other players' playlists (M3U, XSPF) hold for us and take from us: media files only. Their
// readers and writers share these.
#include <string>
#include <string_view>
#include <vector>

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

// A reference found in a playlist in BaseFolder (ending with "/", or empty for the working
// folder): an absolute path stays, a relative one is joined to the folder; "." and ".." folded.
std::string ResolvePlayListReference(const std::string& BaseFolder, std::string_view Reference);
