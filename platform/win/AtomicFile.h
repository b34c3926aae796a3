#pragma once
// The one way the program saves a file. The new contents go to a temporary file in the folder of
// the file the path resolves to (through any chain of symbolic links), are flushed to disk and
// renamed over that file, and the folder is synced: a crash, a kill or a full disk leaves either
// the old file or the new one, and a link keeps pointing at the saved file. A hard link is split:
// the saved path gets the new file, other names keep the old one. Errors are errno values (0 =
// success) or EFILETYPE (FileText.h). Not shared between threads.
#include <sys/types.h>

#include <cstddef>
#include <string>

class TAtomicFile {
public:
  TAtomicFile() = default;
  // A temporary file not committed is removed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // Starts replacing the file at Path: the file it resolves to must be a regular file this user
  // may write, or absent (then it is created with NewFileMode less the umask; an existing one
  // keeps its permission bits). Temporary files that earlier saves of it left behind are removed.
  int Open(const std::string& Path, mode_t NewFileMode);
  // The temporary file, for writing.
  int Handle() const { return FHandle; }
  int Write(const void* Data, std::size_t Size);
  // Syncs the temporary file, renames it over the target and syncs the folder.
  int Commit();
  // The file being replaced, links followed.
  const std::string& Target() const { return FTarget; }

private:
  void Discard();

  std::string FTarget;
  std::string FTemporary;
  int FHandle = -1;
  bool FExisted = false;
  mode_t FMode = 0;
  uid_t FOwner = 0;
  gid_t FGroup = 0;
};

// Open, Write and Commit of the whole text.
int WriteFileAtomically(const std::string& Path, const std::string& Text, mode_t NewFileMode);
