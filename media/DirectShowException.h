#pragma once
// The exception raised when a checked media-layer result is a failure, and the check itself.
#include <string>

#include "framework/Exception.h"
#include "platform/com/ComTypes.h"

class EDirectShowException : public Exception {
public:
  EDirectShowException(const std::string& AMessage, HRESULT AResultCode) : Exception(AMessage), ResultCode(AResultCode) {}

  HRESULT ResultCode;  // the failing code
};

// The platform's text for Code (empty for a code it does not know).
std::string GraphErrorText(HRESULT Code);
// Returns Code when it is a success code (S_FALSE included); otherwise raises
// EDirectShowException with the code's text followed by " ($XXXXXXXX).".
HRESULT CheckGraphResult(HRESULT Code);
