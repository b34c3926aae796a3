#pragma once
// Result codes of the media layer and their texts for the user.
#include <string>

#include "platform/com/ComTypes.h"

constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
constexpr HRESULT VFW_E_CANNOT_CONNECT = static_cast<HRESULT>(0x80040217u);
constexpr HRESULT VFW_E_CANNOT_RENDER = static_cast<HRESULT>(0x80040218u);
constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227u);
constexpr HRESULT VFW_E_TIMEOUT = static_cast<HRESULT>(0x8004022Eu);
constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = static_cast<HRESULT>(0x8004022Fu);
constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = static_cast<HRESULT>(0x80040240u);
constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265u);
constexpr HRESULT VFW_E_NO_CLOCK = static_cast<HRESULT>(0x80040213u);
constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216u);
constexpr HRESULT VFW_S_PARTIAL_RENDER = 0x00040242;

// Writes the text for Code into Buffer (at most MaxLen - 1 characters and a NUL) and returns
// its length; 0 for a code the layer never returns.
DWORD AMGetErrorTextA(HRESULT Code, char* Buffer, DWORD MaxLen);

// What a graph said of its last failure in its own words, beside the result code: the media
// library's message and, where it adds something, the first line of its detail.
struct IGraphErrorInfo : IUnknown {
  static constexpr GUID IID = MakeGuid("{7B0C3C52-5D0E-4B8B-9E7A-3F1D2C6A9E41}");
  // What it said of the first failure since it last began to render a file; empty when it said
  // nothing. Any thread.
  virtual std::string LastErrorText() = 0;
};
