#include "media/VMROptions.h"

void TVMROptions::SetStreams(DWORD Value) {
  FStreams = ClampStreams(Value);
  OnRendererChange(this);
}

void TVMROptions::SetPreferences(TVMRPreferences Value) {
  FPreferences = Value;
  OnRendererChange(this);
}

void TVMROptions::SetMode(TVMRVideoMode Value) {
  FMode = Value;
  OnRendererChange(this);
}

void TVMROptions::SetKeepAspectRatio(bool Value) {
  FKeepAspectRatio = Value;
  OnAspectChange(this);
}
