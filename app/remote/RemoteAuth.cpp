#include "app/remote/RemoteAuth.h"

#include "app/remote/RemoteToken.h"

namespace {
constexpr std::size_t MostSessions = 256;
}

TRemoteAuth::TRemoteAuth(std::string AToken, TThrottle::TClock Clock, std::ostream& AErrors)
    : FToken(std::move(AToken)), FThrottle(std::move(Clock)), FErrors(AErrors) {}

TAuthVerdict TRemoteAuth::Check(const TAuthRequest& Request) {
  static const std::string Bearer = "Bearer ";
  if (!Request.Authorization.empty()) {
    if (TAuthVerdict Verdict = Throttled(Request.Address); Verdict.Status != 200) return Verdict;
    if (Request.Authorization.compare(0, Bearer.size(), Bearer) != 0 ||
        !SameRemoteToken(Request.Authorization.substr(Bearer.size()), FToken))
      return Wrong(Request.Address, "bearer token");
    FThrottle.Succeeded(Request.Address);
    return {};
  }
  const std::string Csrf = SessionCsrf(Request.Cookie);
  if (Csrf.empty()) return {401, "a token is needed: an Authorization: Bearer header or a login", 0};
  if (Request.Changes && !SameRemoteToken(Request.Csrf, Csrf))
    return {403, "a request that changes something needs the X-CSRF-Token header of the session", 0};
  return {};
}

TAuthVerdict TRemoteAuth::Login(const std::string& Address, const std::string& Token, std::string& Session,
                                std::string& Csrf) {
  if (TAuthVerdict Verdict = Throttled(Address); Verdict.Status != 200) return Verdict;
  if (!SameRemoteToken(Token, FToken)) return Wrong(Address, "token at login");
  FThrottle.Succeeded(Address);
  Session = NewRemoteToken() + NewRemoteToken();
  Csrf = NewRemoteToken();
  if (FOrder.size() >= MostSessions) {
    FSessions.erase(FOrder.front());
    FOrder.pop_front();
  }
  FSessions[Session] = Csrf;
  FOrder.push_back(Session);
  return {};
}

std::string TRemoteAuth::SessionCsrf(const std::string& Cookie) const {
  const std::string Id = SessionId(Cookie);
  if (Id.empty()) return {};
  // Every id is compared, in constant time each, so the time taken does not tell a near miss.
  std::string Csrf;
  for (const auto& [Known, Token] : FSessions)
    if (SameRemoteToken(Known, Id)) Csrf = Token;
  return Csrf;
}

void TRemoteAuth::Logout(const std::string& Cookie) {
  const std::string Id = SessionId(Cookie);
  if (FSessions.erase(Id)) std::erase(FOrder, Id);
}

TAuthVerdict TRemoteAuth::Throttled(const std::string& Address) const {
  const std::int64_t Wait = FThrottle.Wait(Address);
  if (Wait == 0) return {};
  return {429, "too many wrong tokens from this address; try again later", (Wait + 999) / 1000};
}

TAuthVerdict TRemoteAuth::Wrong(const std::string& Address, const char* How) {
  FThrottle.Failed(Address);
  FErrors << "vizmora: remote: wrong " << How << " from " << Address << std::endl;
  return {401, "wrong token", 0};
}

std::string TRemoteAuth::SessionId(const std::string& Cookie) {
  const std::string Key = std::string(CookieName) + "=";
  for (std::size_t At = 0; At < Cookie.size();) {
    At = Cookie.find_first_not_of(' ', At);
    if (At == std::string::npos) break;
    const std::size_t End = std::min(Cookie.find(';', At), Cookie.size());
    if (Cookie.compare(At, Key.size(), Key) == 0) return Cookie.substr(At + Key.size(), End - At - Key.size());
    At = End + 1;
  }
  return {};
}
