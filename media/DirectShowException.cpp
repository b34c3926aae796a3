#include "media/DirectShowException.h"

#include <cstdio>

#include "platform/com/ComPtr.h"
#include "platform/dshow/ErrorText.h"

std::string GraphErrorText(HRESULT Code) {
  char Buffer[256] = {};
  AMGetErrorTextA(Code, Buffer, sizeof Buffer);
  return Buffer;
}

std::string GraphFailureText(HRESULT Code, const std::string& File, const std::string& Said) {
  char Suffix[32];
  std::snprintf(Suffix, sizeof Suffix, " ($%X).", static_cast<unsigned>(Code));
  std::string Text = GraphErrorText(Code) + Suffix;
  if (!File.empty()) Text += " " + File + (Said.empty() ? "" : ":");
  if (!Said.empty()) Text += " " + Said;
  return Text;
}

std::string GraphErrorWords(IUnknown* Graph) {
  ComPtr<IGraphErrorInfo> Info;
  if (!Graph || FAILED(Graph->QueryInterface(IGraphErrorInfo::IID, Info.ReleaseAndGetVoidAddress()))) return {};
  return Info->LastErrorText();
}

HRESULT CheckGraphResult(HRESULT Code) {
  if (SUCCEEDED(Code)) return Code;
  throw EDirectShowException(GraphFailureText(Code), Code);
}

HRESULT CheckGraphResult(HRESULT Code, IUnknown* Graph, const std::string& File) {
  if (SUCCEEDED(Code)) return Code;
  throw EDirectShowException(GraphFailureText(Code, File, GraphErrorWords(Graph)), Code);
}
