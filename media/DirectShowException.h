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
// The message of a failure: the code's text followed by " ($XXXXXXXX).", then, when known, the
// file it concerns and what the graph said of it in its own words:
// The type of the file is not known. ($80040240). /show/notes.txt: Could not determine type of stream.
std::string GraphFailureText(HRESULT Code, const std::string& File = {}, const std::string& Said = {});
// What the graph said of its last failure; empty when it said nothing or cannot say.
std::string GraphErrorWords(IUnknown* Graph);
// Returns Code when it is a success code (S_FALSE included); otherwise raises
// EDirectShowException with the code's text followed by " ($XXXXXXXX).".
HRESULT CheckGraphResult(HRESULT Code);
// The same for the result of a call on Graph: a failure's message goes on with the file the call
// was about (when there is one) and what the graph said.
HRESULT CheckGraphResult(HRESULT Code, IUnknown* Graph, const std::string& File = {});
