#pragma once
// An exclusive flock on a lock file kept beside the data, which is never renamed, so every
// process waits on the same inode. Released by Unlock or the destructor.
#include <string>

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
