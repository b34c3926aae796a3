#pragma once
// Program start and end around the message loop. Start, in this order: the video form (which
// makes the player), then, when the program has windows, the playlist window, whose actions
// fill the video form's popup menu. Closing the video form ends the message loop, also while
// dialogs of the program are still open.
void CreateProgramForms(bool WithPlayListWindow);
// Frees the forms (their settings stores save), then any dialog still open, then the player.
void FreeProgramForms();
