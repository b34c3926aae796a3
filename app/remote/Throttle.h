#pragma once
// The wait a client address must keep after a wrong token: 2 s after the first, doubling with
// each further failure up to 15 minutes; a success clears it. The clock is passed in, so tests
// drive it. Network thread only.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

class TThrottle {
public:
  static constexpr std::int64_t FirstMs = 2000;
  static constexpr std::int64_t LongestMs = 15 * 60 * 1000;
  using TClock = std::function<std::int64_t()>;  // milliseconds on a monotonic clock

  explicit TThrottle(TClock AClock) : FClock(std::move(AClock)) {}

  // Milliseconds the address must still wait before it may try a token; 0: it may now.
  std::int64_t Wait(const std::string& Address) const;
  void Failed(const std::string& Address);
  void Succeeded(const std::string& Address) { FClients.erase(Address); }

private:
  struct TClient {
    std::int64_t DelayMs = 0;  // the wait the last failure set
    std::int64_t UntilMs = 0;  // when it ends
  };
  // Forgets addresses whose wait ended long ago, so many addresses cannot fill the memory.
  void Prune(std::int64_t Now);

  TClock FClock;
  std::unordered_map<std::string, TClient> FClients;
};
