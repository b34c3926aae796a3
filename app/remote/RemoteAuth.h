#pragma once
// Who may use the remote API: the token (as a bearer header or through a login), the sessions
// the login opens (a cookie, with a CSRF token for requests that change something), and the
// throttle on wrong tokens. Network thread only.
#include <cstdint>
#include <deque>
#include <map>
#include <ostream>
#include <string>

#include "app/remote/Throttle.h"

// What a request shows of its credentials.
struct TAuthRequest {
  std::string Address;        // the client's
  bool Changes = false;       // POST, PATCH, DELETE
  std::string Authorization;  // the header's value
  std::string Cookie;         // the header's value
  std::string Csrf;           // X-CSRF-Token
};

struct TAuthVerdict {
  int Status = 200;           // 200 passes; else 401, 403 or 429
  std::string Error;          // for the client
  std::int64_t RetryAfterS = 0;  // with 429
};

class TRemoteAuth {
public:
  static constexpr const char* CookieName = "vizmora_session";

  TRemoteAuth(std::string AToken, TThrottle::TClock Clock, std::ostream& AErrors);

  TAuthVerdict Check(const TAuthRequest& Request);
  // POST /api/login: on the right token a new session, its id and CSRF token set.
  TAuthVerdict Login(const std::string& Address, const std::string& Token, std::string& Session, std::string& Csrf);
  // The CSRF token of the session the cookie names; empty for none.
  std::string SessionCsrf(const std::string& Cookie) const;
  void Logout(const std::string& Cookie);

private:
  // The throttle's verdict for an address about to try a token; Status 200 when it may.
  TAuthVerdict Throttled(const std::string& Address) const;
  TAuthVerdict Wrong(const std::string& Address, const char* How);
  static std::string SessionId(const std::string& Cookie);

  std::string FToken;
  TThrottle FThrottle;
  std::ostream& FErrors;
  std::map<std::string, std::string> FSessions;  // id -> CSRF token
  std::deque<std::string> FOrder;                // ids, oldest first, to bound their number
};
