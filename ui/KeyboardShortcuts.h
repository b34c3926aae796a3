#pragma once
// The keyboard's way to the playlist window's commands from either window: keys given to the
// window's actions, shown beside their captions in the menus, and the keys without a menu item
// (Enter plays the focused row, Left and Right seek, + and - set the volume, Up and Down move the
// list's focus). Seeking and the volume go through the player's controls, as MPRIS goes.
// User-interface thread only.
class IPlayerControls;
class QWidget;
class TPlayLstFm;

// Call once both windows exist; the keys' actions belong to the playlist window.
void InstallShortcuts(TPlayLstFm& Window, QWidget& VideoForm, IPlayerControls& Controls);
