#pragma once
// The media detector: what a media file holds, found without playing it. Implemented over
// GStreamer's discoverer in platform/gst. One object serves one thread at a time, and may be
// handed to a worker thread: asking can take as long as opening the file does.
#include "platform/com/ComTypes.h"

struct IMediaDet : IUnknown {
  static constexpr GUID IID = MakeGuid("{65BD0710-24D2-4FF7-9324-ED2E5D3ABAFB}");
  // Opens the file and reads what it holds; fails with the media layer's code for a file that
  // cannot be read (no such file, a folder or device, access denied, unknown type, no decoder,
  // damaged, or not opened in time).
  virtual HRESULT put_Filename(LPCWSTR File) = 0;
  // The file's length in seconds, as its longest stream lasts; 0 when the file does not tell.
  // VFW_E_WRONG_STATE until a file was opened.
  virtual HRESULT get_StreamLength(double* Seconds) = 0;
};

constexpr CLSID CLSID_MediaDet = MakeGuid("{65BD0711-24D2-4FF7-9324-ED2E5D3ABAFB}");
