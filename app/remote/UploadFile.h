#pragma once
// One upload on its way into the media folder: written to a hidden temporary file there, and
// renamed to its name (made unique, never replacing a file) only once complete. A file not
// finished, written short or given up is removed with the object. File worker thread.
#include <filesystem>
#include <string>

class TUploadFile {
public:
  explicit TUploadFile(std::filesystem::path AFolder) : FFolder(std::move(AFolder)) {}
  ~TUploadFile();
  TUploadFile(const TUploadFile&) = delete;
  TUploadFile& operator=(const TUploadFile&) = delete;

  // Makes the temporary file; false with Why when it cannot be made.
  bool Create(std::string& Why);
  // Appends Size bytes; 0 or the errno of the failure (ENOSPC for a full disk).
  int Write(const char* Data, std::size_t Size);
  // Flushes the file to disk and names it Name, or "Name (2).ext" and so on when Name is taken;
  // 0 with Saved set to the path, or an errno.
  int Finish(const std::string& Name, std::string& Saved);

private:
  std::filesystem::path FFolder;
  std::string FTemporary;  // empty once there is none
  int FHandle = -1;
};
