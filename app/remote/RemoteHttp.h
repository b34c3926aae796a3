#pragma once
// A request as the server hands it to the API, and the answer that goes back. Plain data,
// passed between the network and user-interface threads by value.
#include <map>
#include <string>
#include <utility>
#include <vector>

struct TRemoteRequest {
  std::string Method;  // GET, POST, ...
  std::string Path;    // without the query
  std::map<std::string, std::string> Query;
  std::string Body;
  std::string Upload;  // the saved file of a finished upload, relative to the media folder
  long long WallMs = 0;  // when it arrived
};

struct TRemoteResponse {
  int Status = 200;
  std::string ContentType = "application/json";
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;
};

// The error answer: {"error": Message, "field": Field}, the field left out when empty.
TRemoteResponse RemoteError(int Status, const std::string& Message, const std::string& Field = {});
