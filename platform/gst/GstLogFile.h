#pragma once
// GStreamer's debug log of one pipeline's elements, written into a file descriptor.
#include <gst/gst.h>

// Installs the one log function that serves every pipeline; called once at start-up.
void GstLogFileInstall();
// Sends the log of Pipeline and its children to File (an open descriptor, not owned);
// 0 stops it. Any thread.
void GstLogFileSet(GstElement* Pipeline, int File);
