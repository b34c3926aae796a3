#pragma once
// Where a show started again picks up: the show (the playlist file it plays, or the media files
// it was given) and the index of the entry that started last, kept in the settings as one value,
// so a kill leaves the pair as it was or as it became. User-interface thread.
#include <ostream>
#include <string>
#include <vector>

class TResumeStore {
public:
  // Files: the command line's media files and playlists; Errors: where a refused write is said,
  // once.
  TResumeStore(const std::vector<std::string>& Files, std::ostream& AErrors);

  void Save(int Index);
  // The index saved for this same show; -1 when none was, or it was saved for another show.
  int Load() const;

private:
  std::string FShow;  // the files as absolute paths, in a JSON array
  std::ostream& FErrors;
  bool FSaveFailed = false;
};
