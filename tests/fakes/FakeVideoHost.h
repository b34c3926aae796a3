#pragma once
// The video window as the entries see it: an object answering for the renderer it is given
// (none at first), as the window answers for the renderer it made.
#include <QObject>

#include "media/VideoRendererHost.h"
#include "platform/com/ComPtr.h"

class TFakeVideoHost : public QObject, public IVideoRendererHost {
public:
  HRESULT QueryInterface(REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    *Object = nullptr;
    return Renderer ? Renderer->QueryInterface(Iid, Object) : E_NOINTERFACE;
  }

  ComPtr<IUnknown> Renderer;
};
