#pragma once
// A renderer's window of its own, with the IVideoWindow calls the video window makes: a
// top-level window showing a renderer's picture, laid over its owner's client area (or placed
// on the screen while it has none), named by its caption; its input goes on to the message
// drain. It answers for the filter it belongs to (the outer object). Without a display there
// is no window, and the calls only record what they are given.
#include <QPointer>
#include <memory>

#include "platform/dshow/Video.h"
#include "platform/gst/GstWindowPainter.h"

class TGstRendererWindow : public IVideoWindow {
public:
  TGstRendererWindow(IUnknown& Outer, TGstWindowPainter& Painter);
  ~TGstRendererWindow();
  TGstRendererWindow(const TGstRendererWindow&) = delete;
  TGstRendererWindow& operator=(const TGstRendererWindow&) = delete;

  HRESULT QueryInterface(REFIID Iid, void** Object) override { return FOuter.QueryInterface(Iid, Object); }
  ULONG AddRef() override { return FOuter.AddRef(); }
  ULONG Release() override { return FOuter.Release(); }

  HRESULT put_Caption(LPCWSTR Caption) override;
  HRESULT put_MessageDrain(OAHWND Drain) override;
  HRESULT put_Owner(OAHWND Owner) override;
  HRESULT put_WindowStyle(LONG Style) override;
  HRESULT put_WindowStyleEx(LONG ExStyle) override;
  HRESULT put_Visible(LONG Visible) override;
  HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) override;

private:
  class TWindow;
  void Place();

  IUnknown& FOuter;
  TGstWindowPainter& FPainter;
  QPointer<TWindow> FWindow;  // an owner deletes its children, this one too
  QPointer<QObject> FOwner;
  bool FVisible = true;
  LONG FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
};
