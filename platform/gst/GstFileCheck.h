#pragma once
// The check before a media file is opened: a regular file that can be read. Opening a pipe or
// a device could wait or read for ever, so neither is ever handed to a source.
#include <string>

#include "platform/com/ComTypes.h"

// S_OK, or why the path cannot be opened: no such file, no such folder, a folder, a device,
// pipe or socket, or access denied.
HRESULT CheckMediaFile(const std::string& Path);
