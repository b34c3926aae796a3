#include "platform/dshow/ErrorText.h"

#include <algorithm>
#include <cstring>

#include "platform/dshow/Control.h"

namespace {
const char* TextOf(HRESULT Code) {
  switch (Code) {
    case S_OK: return "The operation completed.";
    case S_FALSE: return "The operation is still under way.";
    case VFW_S_STATE_INTERMEDIATE: return "The graph is changing state.";
    case E_NOTIMPL: return "The operation is not implemented.";
    case E_NOINTERFACE: return "The object does not offer the interface asked for.";
    case E_POINTER: return "A required pointer was missing.";
    case E_ABORT: return "The operation was cancelled.";
    case E_FAIL: return "The operation failed.";
    case E_UNEXPECTED: return "The operation came at an unexpected time.";
    case E_OUTOFMEMORY: return "There is not enough memory for the operation.";
    case E_INVALIDARG: return "An argument is not valid.";
    case REGDB_E_CLASSNOTREG: return "The media component is not available on this system.";
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): return "The file was not found.";
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND): return "The folder of the file was not found.";
    case HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED): return "The file cannot be read: access is denied.";
    case HRESULT_FROM_WIN32(ERROR_DIRECTORY_NOT_SUPPORTED): return "The path names a folder, not a file.";
    case HRESULT_FROM_WIN32(ERROR_BAD_FILE_TYPE): return "The path names a device, pipe or socket, not a file.";
    case VFW_E_NOT_CONNECTED: return "The operation needs a connected pin.";
    case VFW_E_CANNOT_CONNECT: return "No way was found to connect the streams of the file.";
    case VFW_E_CANNOT_RENDER: return "No renderer could be connected to a stream of the file.";
    case VFW_E_WRONG_STATE: return "The operation is not possible in the graph's current state.";
    case VFW_E_TIMEOUT: return "The file did not open in time; it may be damaged.";
    case VFW_E_INVALID_FILE_FORMAT: return "The file is damaged or truncated and cannot be played.";
    case VFW_E_UNKNOWN_FILE_TYPE: return "The type of the file is not known.";
    case VFW_E_UNSUPPORTED_STREAM: return "No decoder is installed for a stream of the file.";
    case VFW_E_NO_CLOCK: return "The graph has no clock to run by.";
    case VFW_E_NOT_FOUND: return "The filter or pin is not in the graph.";
    case VFW_S_PARTIAL_RENDER: return "Some streams of the file were played; others have no decoder or renderer.";
    default: return nullptr;
  }
}
}  // namespace

DWORD AMGetErrorTextA(HRESULT Code, char* Buffer, DWORD MaxLen) {
  const char* Text = TextOf(Code);
  if (!Text || !Buffer || MaxLen == 0) return 0;
  const DWORD Length = std::min<DWORD>(static_cast<DWORD>(std::strlen(Text)), MaxLen - 1);
  std::memcpy(Buffer, Text, Length);
  Buffer[Length] = '\0';
  return Length;
}
