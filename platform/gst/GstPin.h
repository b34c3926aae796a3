#pragma once
// A pad of a filter's element as an IPin.
#include <gst/gst.h>

#include "platform/gst/GstFilter.h"

class TGstPin : public TComObject<IPin> {
public:
  // Takes a reference of its own to Pad.
  TGstPin(ComPtr<TGstFilter> Filter, GstPad* Pad);

  HRESULT Disconnect() override;
  HRESULT ConnectedTo(IPin** Pin) override;
  HRESULT QueryPinInfo(PIN_INFO* Info) override;
  HRESULT QueryDirection(PIN_DIRECTION* Direction) override;

protected:
  ~TGstPin() override;

private:
  ComPtr<TGstFilter> FFilter;
  GstPad* FPad;
};

// Unlinks Pad from its peer. A pushing link is flushed around the unlink, so a streaming thread
// waiting in the sink end returns (flushing, which is no error) instead of finding the pad
// unlinked later. False when the pad was not linked.
bool UnlinkPad(GstPad* Pad);
// Copies UTF-8 Text into a fixed WCHAR buffer of Size characters, NUL-terminated.
void CopyName(const std::string& Text, WCHAR* Buffer, int Size);
