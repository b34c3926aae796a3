#include "media/DirectShowException.h"

#include <cstdio>

#include "platform/dshow/ErrorText.h"

std::string GraphErrorText(HRESULT Code) {
  char Buffer[256] = {};
  AMGetErrorTextA(Code, Buffer, sizeof Buffer);
  return Buffer;
}

HRESULT CheckGraphResult(HRESULT Code) {
  if (SUCCEEDED(Code)) return Code;
  char Suffix[32];
  std::snprintf(Suffix, sizeof Suffix, " ($%X).", static_cast<unsigned>(Code));
  throw EDirectShowException(GraphErrorText(Code) + Suffix, Code);
}
