#pragma once
// Whole-file reads, atomic replacement and advisory locks, shared by the registry file and the
// profile files. Errors are answered as errno values (0 = success).
#include <string>
#include <sys/types.h>

// Reads the whole file; ENOENT when it does not exist.
int ReadFileText(const std::string& Path, std::string& Text);
// Replaces the file's contents through a temporary file in the same folder, flushed to disk and
// renamed over it, so a crash leaves either the old or the new file. A new file gets NewFileMode;
// an existing one keeps its mode.
int WriteFileAtomically(const std::string& Path, const std::string& Text, mode_t NewFileMode);
// Creates the folder and its missing parents (mode 0700).
int ForceDirectories(const std::string& Folder);
// The folder part of a path, without its trailing "/"; "." when there is none.
std::string FolderOf(const std::string& Path);

// An exclusive flock on a lock file kept beside the data, which is never renamed, so every
// process waits on the same inode. Released by Unlock or the destructor.
class TFileLock {
public:
  explicit TFileLock(const std::string& LockPath);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  bool Locked() const { return FHandle >= 0; }
  void Unlock();

private:
  int FHandle = -1;
};
