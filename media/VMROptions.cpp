#include "media/VMROptions.h"

#include "media/DirectShowException.h"
#include "media/VideoWindow.h"
#include "platform/dshow/Video.h"

TVMROptions::TVMROptions(TVideoWindow* AWindow) : FWindow(AWindow) {}

void TVMROptions::RejoinIfMixing() {
  if (FWindow->Mode() == vmVMR && FWindow->GraphActive()) FWindow->RejoinGraph();
}

void TVMROptions::SetStreams(DWORD Value) {
  FStreams = ClampStreams(Value);
  RejoinIfMixing();
}

void TVMROptions::SetPreferences(TVMRPreferences Value) {
  FPreferences = Value;
  RejoinIfMixing();
}

void TVMROptions::SetMode(TVMRVideoMode Value) {
  FMode = Value;
  RejoinIfMixing();
}

void TVMROptions::SetKeepAspectRatio(bool Value) {
  FKeepAspectRatio = Value;
  if (FMode == vmrRenderless) return;
  // The window answers for its renderer; without a mixing renderer the value is only stored.
  ComPtr<IVMRAspectRatioControl9> Aspect;
  if (FAILED(FWindow->QueryInterface(Aspect))) return;
  CheckGraphResult(Aspect->SetAspectRatioMode(Value ? VMR9ARMode_LetterBox : VMR9ARMode_None));
}
