#include "platform/gst/GstXInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstdlib>

void GstKeepXInputRecord() {
  static const bool Kept = [] {
    const char* Name = std::getenv("DISPLAY");
    if (!Name || !*Name) return false;
    Display* Connection = XOpenDisplay(Name);  // never closed
    if (!Connection) return false;
    int Major = 2, Minor = 0;
    XIQueryVersion(Connection, &Major, &Minor);
    return true;
  }();
  (void)Kept;
}
