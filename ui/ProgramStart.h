#pragma once
#include <functional>

// Program start and end around the message loop. Start, in this order: the video form (which
// makes the player), then, when the program has windows, the playlist window, whose actions
// fill the video form's popup menu. Closing the video form ends the message loop, also while
// dialogs of the program are still open.
void CreateProgramForms(bool WithPlayListWindow);
// Frees the forms (their settings stores save), then any dialog still open, then the player.
void FreeProgramForms();
// The view the command line asks for, as the playlist window's actions leave it: the video form
// full screen, the playlist window hidden. Without the playlist window nothing changes.
void ApplyStartView(bool FullScreen, bool HidePlayList);
// Whether the show skips entries that fail, asked at each failure: the playlist window's action
// once there is a window (SkipBroken checks it), else SkipBroken.
std::function<bool()> SkipBrokenChoice(bool SkipBroken);
