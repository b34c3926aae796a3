#pragma once
// What the video window offers those who only reach its renderer: interface queries answered
// on the renderer's behalf. Declared apart from the window, so they build without widgets.
#include "platform/com/ComTypes.h"

class IVideoRendererHost {
public:
  // One of the renderer's interfaces (IVMRMixerControl9, for one); E_NOINTERFACE while the
  // window holds no renderer that has it.
  virtual HRESULT QueryInterface(REFIID Iid, void** Object) = 0;

protected:
  ~IVideoRendererHost() = default;  // the window is freed by its owner
};
