#pragma once
// JSON text for the command line's machine-readable output.
#include <string>

// A JSON string literal of 8-bit text: UTF-8 passes through, any byte that is not part of
// valid UTF-8 is written as \u00XX, so the output is always valid JSON.
std::string JsonString(const std::string& Text);
// A number in the shortest form that reads back to the same double; non-finite values are null.
std::string JsonNumber(double Value);
// A 32-bit float in the shortest form that reads back to the same float (0.1, not 0.100000001).
std::string JsonNumber(float Value);
