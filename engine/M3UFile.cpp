#include "engine/M3UFile.h"

#include <cmath>

#include "engine/FileUri.h"
#include "framework/FileNames.h"

namespace {
std::string_view Trimmed(std::string_view Line) {
  const auto First = Line.find_first_not_of(" \t\r");
  if (First == std::string_view::npos) return {};
  const auto Last = Line.find_last_not_of(" \t\r");
  return Line.substr(First, Last - First + 1);
}

// A path that a reader would not get back from a plain line.
bool NeedsUri(const std::string& Path) {
  return Path.find_first_of("\r\n") != std::string::npos || Trimmed(Path).size() != Path.size() ||
         HasUriScheme(Path);
}

// A title on one line, without the characters that end or break one.
std::string TitleOf(const std::string& Path) {
  std::string Title = ExtractFileName(Path);
  for (char& C : Title)
    if (C == '\r' || C == '\n') C = ' ';
  return Title;
}
}  // namespace

TPlayListPaths ParseM3U(std::string_view Bytes, const std::string& BaseFolder) {
  TPlayListPaths Result;
  if (Bytes.starts_with("\xEF\xBB\xBF")) Bytes.remove_prefix(3);
  int LineNumber = 0;
  while (!Bytes.empty()) {
    const size_t End = Bytes.find('\n');
    const std::string_view Line = Trimmed(Bytes.substr(0, End));
    Bytes.remove_prefix(End == std::string_view::npos ? Bytes.size() : End + 1);
    ++LineNumber;
    if (Line.empty() || Line[0] == '#') continue;
    const std::string Where = "line " + std::to_string(LineNumber) + ": ";
    if (Line.find('\0') != std::string_view::npos) {
      Result.Notes.push_back(Where + "not a file name, skipped");
    } else if (HasUriScheme(Line)) {
      std::string Path;
      if (PathFromFileUri(Line, Path))
        Result.Files.push_back(ResolvePlayListReference(BaseFolder, Path));
      else
        Result.Notes.push_back(Where + std::string(Line) + " is a URL, skipped");
    } else {
      Result.Files.push_back(ResolvePlayListReference(BaseFolder, Line));
    }
  }
  return Result;
}

std::string FormatM3U(const std::vector<TPlayListItem>& Items) {
  std::string Text = "#EXTM3U\n";
  for (const TPlayListItem& Item : Items) {
    // A length read from a broken file may be anything; such a one is written as unknown.
    const long Seconds = Item.Seconds > 0 && Item.Seconds < 1e9 ? std::lround(Item.Seconds) : -1;
    Text += "#EXTINF:" + std::to_string(Seconds) + "," + TitleOf(Item.Path) + "\n";
    Text += (NeedsUri(Item.Path) ? FileUriFromPath(Item.Path) : Item.Path) + "\n";
  }
  return Text;
}
