#pragma once
// GStreamer's X video sinks each open a display of their own and register it with the X Input
// library, whose per-process record is freed when its last display closes and made anew by the
// next, without a lock: a sink closing on one thread while another opens would read it freed.
// One display kept open for the program's life keeps that record. Call on the main thread
// before any graph runs; does nothing without an X display.
void GstKeepXInputRecord();
