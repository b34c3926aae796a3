#include "app/remote/Throttle.h"

#include <algorithm>

std::int64_t TThrottle::Wait(const std::string& Address) const {
  const auto It = FClients.find(Address);
  return It == FClients.end() ? 0 : std::max<std::int64_t>(0, It->second.UntilMs - FClock());
}

void TThrottle::Failed(const std::string& Address) {
  const std::int64_t Now = FClock();
  if (FClients.size() >= 4096) Prune(Now);
  TClient& Client = FClients[Address];
  Client.DelayMs = Client.DelayMs == 0 ? FirstMs : std::min(Client.DelayMs * 2, LongestMs);
  Client.UntilMs = Now + Client.DelayMs;
}

// An address quiet for as long again as its last wait starts over at the first wait.
void TThrottle::Prune(std::int64_t Now) {
  std::erase_if(FClients, [Now](const auto& Item) { return Now > Item.second.UntilMs + Item.second.DelayMs; });
}
