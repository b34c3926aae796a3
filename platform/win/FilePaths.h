#pragma once
// Path helpers of the file layer: folders, and the file a path names through symbolic links.
// Errors are errno values (0 = success).
#include <string>

// The folder part of a path, without its trailing "/"; "." when there is none.
std::string FolderOf(const std::string& Path);
// Creates the folder and its missing parents (mode 0700).
int ForceDirectories(const std::string& Folder);
// The path with every symbolic link of its last part followed, however many there are in a
// chain; relative link targets count from the link's folder. The result may name no file (a
// dangling link names the file it would create). ELOOP for a chain that does not end.
int ResolveLinks(const std::string& Path, std::string& Resolved);
