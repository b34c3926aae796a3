#pragma once
// Reading a whole file that the program keeps its own data in. Only a regular file is read, and
// only up to a size limit, so a FIFO, a device or a huge file at the path never blocks the
// program or fills its memory. Errors are errno values (0 = success) or EFILETYPE.
#include <sys/stat.h>

#include <cstddef>
#include <string>

// The path names something that is neither a regular file, nor a folder (EISDIR), nor absent.
constexpr int EFILETYPE = 0x10000;

// The error's text: strerror's, or "Not a regular file" for EFILETYPE.
std::string FileErrorText(int Error);

// Opens a regular file for reading, without waiting on a FIFO; Info is its status. The caller
// closes Handle.
int OpenFileToRead(const std::string& Path, int& Handle, struct stat& Info);
// Reads the rest of an open file: EFBIG when it holds more than MaxBytes.
int ReadOpenFile(int Handle, std::string& Text, std::size_t MaxBytes);
// Both: ENOENT when the file does not exist.
int ReadFileText(const std::string& Path, std::string& Text, std::size_t MaxBytes);
