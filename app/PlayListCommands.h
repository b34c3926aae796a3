#pragma once
// The command line's playlist jobs that need no display: listing a playlist file's entries as
// JSON lines, and saving the playlist the arguments build. Both answer an exit status.
#include <ostream>
#include <string>
#include <vector>

class QJsonObject;
class TEntryKinds;
class TPlayListEntry;

// An entry as --list prints it: index, kind, file, duration and the kind's own fields.
QJsonObject EntryFields(int Index, const TPlayListEntry& Entry);

// Adds each argument to the playlist: a .pll file is appended, a media file added by its
// extension (unsupported ones skipped with a note). Problems are written to Errors, each
// naming its file; returns false when one was an error (a missing or broken file).
// SayMissingMedia false: a media file that is not there is added without a word, as a show's
// failure to play it names it when it comes to it.
bool AddArguments(TEntryKinds& Kinds, const std::vector<std::string>& Files, std::ostream& Errors,
                  bool SayMissingMedia = true);

// --list: one JSON object per entry on Out; status 1 (with a message) for a missing or broken
// file, after the entries read before the break.
int ListPlayList(const std::string& Path, std::ostream& Out, std::ostream& Errors);
// --save: writes the playlist built from Files; status 1 when an argument or the write failed,
// in which case nothing is written.
int SavePlayList(const std::vector<std::string>& Files, const std::string& Path, std::ostream& Errors);
