#pragma once
// Reading a whole file that the program keeps its own data in. Only a regular file is read, and
// only up to a size limit, so a FIFO, a device or a huge file at the path never blocks the
// program or fills its memory. Errors are errno values (0 = success) or EFILETYPE.
#include <cstddef>
#include <string>

// The path names something that is neither a regular file, nor a folder (EISDIR), nor absent.
constexpr int EFILETYPE = 0x10000;

// The error's text: strerror's, or "Not a regular file" for EFILETYPE.
std::string FileErrorText(int Error);

// Reads the whole file: ENOENT when it does not exist, EFBIG when it holds more than MaxBytes.
int ReadFileText(const std::string& Path, std::string& Text, std::size_t MaxBytes);
