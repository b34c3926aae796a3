#pragma once
// What the desktop's window manager does with a window's state. User-interface thread, with a
// QGuiApplication.

// Whether asking a window for the full-screen state puts it over its whole screen: a Wayland
// compositor does, and so does an X11 window manager that announces _NET_WM_STATE_FULLSCREEN;
// on a bare X server (no window manager) a window must cover the screen itself.
bool FullScreenStateHonoured();

// Whether a window going back from full screen to maximized must first leave full screen and
// maximize only once the compositor has answered: asked for both at once, Qt's Wayland client
// breaks its connection (weston 10).
bool MaximizesAfterLeavingFullScreen();
