#pragma once
// file: URIs as other players write them in playlists, mapped to and from local paths byte for
// byte (percent-encoding every byte but the unreserved ones and "/").
#include <string>
#include <string_view>

// "file:///a%20b.avi" for "/a b.avi"; Path must be absolute.
std::string FileUriFromPath(std::string_view Path);
// True when Text starts with a URI scheme ("http:", "file:" ...) of two letters or more, so a
// Windows drive letter is no scheme.
bool HasUriScheme(std::string_view Text);
// The local path of a file: URI ("file:///p", "file://localhost/p", "file:/p"); false for any
// other URI, another host, or a path that would hold a NUL byte.
bool PathFromFileUri(std::string_view Uri, std::string& Path);
// Every valid %XX replaced by its byte; a "%" not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view Text);
