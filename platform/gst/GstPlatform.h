#pragma once
// Start-up of the media layer over GStreamer; the program's and the tests' mains call it.
// Initialises GStreamer, installs the graph's log function and registers CLSID_FilterGraph, the
// renderers and CLSID_MediaDet in the class registry. The capture and DVD graph builders are
// not provided: creating them answers REGDB_E_CLASSNOTREG. Safe to call more than once.
void GstPlatformInitialize();

// Loads, on a thread of its own, the plugins the first entry's graph will want (demuxing,
// decoding, sound), while the caller goes on starting up; the first open then finds them loaded
// or waits only for the rest. Called first, before any other thread starts.
void GstPlatformPreload();
