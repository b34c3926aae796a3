#pragma once
// Where a show started again picks up: the show (the playlist file it plays, or the media files
// it was given) and the index of the entry that started last, kept in the settings as one value,
// so a kill leaves the pair as it was or as it became. User-interface thread.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// The one settings value the pair is kept in, read and written whole. Read answers "" when there
// is none and raises (an Exception) when the value is there but is no text.
struct TResumeValue {
  std::function<std::string()> Read;
  std::function<void(const std::string& Value)> Write;
};

class TResumeStore {
public:
  // Files: the command line's media files and playlists; Errors: where a refused write is said,
  // once.
  TResumeStore(TResumeValue AValue, const std::vector<std::string>& Files, std::ostream& AErrors);

  void Save(int Index);
  // The index saved for this same show; -1 when none was, or it was saved for another show, or
  // it cannot be read (said on Errors).
  int Load();

private:
  int Unreadable(const std::string& Why);

  TResumeValue FValue;
  std::string FShow;  // the files as absolute paths, in a JSON array
  std::ostream& FErrors;
  bool FSaveFailed = false;
};
