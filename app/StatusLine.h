#pragma once
// The program's one status line. The playlist window shows it on its status bar once it
// installs its display; until then, and with no window at all, the text goes to standard error.
#include <functional>
#include <string>

using TStatusDisplay = std::function<void(const std::string& Text)>;

void ShowStatus(const std::string& Text);
// Installs the display of the status line; an empty one restores standard error.
void SetStatusDisplay(TStatusDisplay Display);
