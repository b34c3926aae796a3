#pragma once
// File-name helpers: the name part of a path ends at the last "/" or "\".
#include <string>

// The name without its directory.
std::string ExtractFileName(const std::string& Path);
// The extension of the name part, from its last "." to the end, dot included; empty without a dot.
std::string ExtractFileExt(const std::string& Path);
// The directory part, ending with its separator; empty when the path has none.
std::string ExtractFilePath(const std::string& Path);
// ASCII letters upper-cased, every other byte unchanged.
std::string AnsiUpperCaseAscii(std::string Text);
