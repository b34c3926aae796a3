#pragma once
// The remote token: 128 random bits as 32 hex digits, kept in a file of the user's or in the
// settings, and compared in constant time. Any thread.
#include <string>

// A new token from the kernel's random source.
std::string NewRemoteToken();
// True for 32 hex digits.
bool IsRemoteToken(const std::string& Text);
// Reads the token from Path, or creates the file (mode 0600) with a new token when it is
// missing, setting Created. False, with Why, for a file others may read or write, one that
// holds no token, or one that cannot be read or made.
bool LoadRemoteTokenFile(const std::string& Path, std::string& Token, bool& Created, std::string& Why);
// Whether the two are equal, in a time that does not depend on where they differ.
bool SameRemoteToken(const std::string& A, const std::string& B);
