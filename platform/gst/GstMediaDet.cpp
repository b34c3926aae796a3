#include "platform/gst/GstMediaDet.h"

#include <QString>

#include "platform/dshow/ErrorText.h"
#include "platform/gst/GstBusEvents.h"
#include "platform/gst/GstFileCheck.h"

namespace {
// As long as a render may stall before it is given up.
constexpr GstClockTime Timeout = 10 * GST_SECOND;

HRESULT ResultOf(GstDiscovererInfo* Info, const GError* Error) {
  if (!Info) return ResultOfError(Error);
  switch (gst_discoverer_info_get_result(Info)) {
    case GST_DISCOVERER_OK: return S_OK;
    case GST_DISCOVERER_URI_INVALID: return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case GST_DISCOVERER_TIMEOUT: return VFW_E_TIMEOUT;
    case GST_DISCOVERER_MISSING_PLUGINS: return VFW_E_UNSUPPORTED_STREAM;
    case GST_DISCOVERER_BUSY: return E_UNEXPECTED;
    case GST_DISCOVERER_ERROR: break;
  }
  return ResultOfError(Error);
}
}  // namespace

TGstMediaDet::~TGstMediaDet() {
  if (FDiscoverer) g_object_unref(FDiscoverer);
}

HRESULT TGstMediaDet::put_Filename(LPCWSTR File) {
  if (!File) return E_POINTER;
  FOpened = false;
  FLength = 0;
  const std::string Path = QString::fromUtf16(File).toStdString();
  if (const HRESULT Checked = CheckMediaFile(Path); FAILED(Checked)) return Checked;
  return Discover(Path.c_str());
}

HRESULT TGstMediaDet::Discover(const char* Path) {
  GError* Error = nullptr;
  if (!FDiscoverer) FDiscoverer = gst_discoverer_new(Timeout, &Error);
  if (!FDiscoverer) {
    g_clear_error(&Error);
    return REGDB_E_CLASSNOTREG;
  }
  gchar* Uri = gst_filename_to_uri(Path, &Error);
  GstDiscovererInfo* Info = Uri ? gst_discoverer_discover_uri(FDiscoverer, Uri, &Error) : nullptr;
  g_free(Uri);
  const HRESULT Result = ResultOf(Info, Error);
  if (SUCCEEDED(Result)) {
    const GstClockTime Length = gst_discoverer_info_get_duration(Info);
    FLength = GST_CLOCK_TIME_IS_VALID(Length) ? static_cast<double>(Length) / GST_SECOND : 0;
    FOpened = true;
  }
  if (Info) g_object_unref(Info);
  g_clear_error(&Error);
  return Result;
}

HRESULT TGstMediaDet::get_StreamLength(double* Seconds) {
  if (!Seconds) return E_POINTER;
  *Seconds = FLength;
  return FOpened ? S_OK : VFW_E_WRONG_STATE;
}
