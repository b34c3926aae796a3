#pragma once
// The media detector over GStreamer's discoverer, run synchronously on the caller's thread and
// given up after a time limit, so a file that never opens holds its caller for no longer.
#include <gst/pbutils/pbutils.h>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/MediaDet.h"

class TGstMediaDet : public TComObject<IMediaDet> {
public:
  static ComPtr<TGstMediaDet> Create() { return ComPtr<TGstMediaDet>(new TGstMediaDet); }

  HRESULT put_Filename(LPCWSTR File) override;
  HRESULT get_StreamLength(double* Seconds) override;

private:
  TGstMediaDet() = default;
  ~TGstMediaDet() override;
  HRESULT Discover(const char* Path);

  GstDiscoverer* FDiscoverer = nullptr;  // made on first use, by the thread that asks
  bool FOpened = false;
  double FLength = 0;  // seconds
};
