#include "app/remote/RemoteStatus.h"

#include <QJsonArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "app/JsonLine.h"

namespace {
// Numbers as Qt's JSON writes them: the shortest text that reads back the same; null when not finite.
template <class T>
void Number(std::string& Out, T Value) {
  if constexpr (std::is_floating_point_v<T>)
    if (!std::isfinite(Value)) {
      Out += "null";
      return;
    }
  char Text[32];
  Out.append(Text, std::to_chars(Text, Text + sizeof Text, Value).ptr);
}

template <class T>
void Field(std::string& Out, const char* Name, T Value) {
  Out += Out.empty() ? "{\"" : ",\"";
  Out += Name;
  Out += "\":";
  if constexpr (std::is_arithmetic_v<T>)
    Number(Out, Value);
  else
    Out += Value;
}
}  // namespace

TRemoteStatus::TRemoteStatus(TClock AClock) : FClock(std::move(AClock)), FStartMs(FClock()) {}

std::string TRemoteStatus::Publish(const TStatusFacts& Facts) {
  const std::string Array = JsonLine(QJsonArray{Facts.File});  // ["..."]: Qt escapes the name
  TPublished Now{Facts, Array.substr(1, Array.size() - 2), FClock()};
  const std::lock_guard Hold(FLock);
  FPublished = Now;
  return Text(Now, Now.ReadMs);
}

std::optional<std::string> TRemoteStatus::Answer() const {
  const std::int64_t Now = FClock();
  const std::lock_guard Hold(FLock);
  if (!FPublished || Now - FPublished->ReadMs > FreshMs) return std::nullopt;
  return Text(*FPublished, Now);
}

std::string TRemoteStatus::Text(const TPublished& P, std::int64_t Now) const {
  const TStatusFacts& F = P.Facts;
  double Position = F.Position;
  if (std::strcmp(F.State, "playing") == 0) {
    Position += static_cast<double>(Now - P.ReadMs) / 1000;
    if (F.Length > 0) Position = std::min(Position, F.Length);
  }
  std::string Out;
  Out.reserve(256 + P.File.size());
  Field(Out, "count", F.Count);
  Field(Out, "failures", F.Failures);
  Field(Out, "file", P.File);
  Field(Out, "index", F.Index);
  Field(Out, "length", F.Length);
  Field(Out, "position", Position);
  Field(Out, "state", std::string("\"") + F.State + "\"");
  Field(Out, "transition", "\"" + F.Transition + "\"");
  Field(Out, "uptime", static_cast<double>(Now - FStartMs) / 1000);
  Field(Out, "volume", F.Volume);
  return Out + "}";
}
