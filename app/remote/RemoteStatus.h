#pragma once
// GET /api/status's answer as the user-interface thread last published it, so the network thread
// answers without waking that thread: a view of the player's state, not a second one. While the
// show plays, the position runs on from its reading by the clock. Publish on the user-interface
// thread; Answer from any thread.
#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

// What the status says, read from the player at one moment.
struct TStatusFacts {
  const char* State = "stopped";  // "playing", "paused" or "stopped"
  int Index = -1;
  QString File;
  double Position = 0, Length = 0;  // seconds
  double Volume = 0;
  int Failures = 0, Count = 0;
  std::string Transition = "cut";  // one of --transition's texts, nothing to escape
};

class TRemoteStatus {
public:
  using TClock = std::function<std::int64_t()>;  // monotonic milliseconds, safe from any thread
  static constexpr std::int64_t FreshMs = 500;   // a publication older than this is read again

  explicit TRemoteStatus(TClock AClock);

  // Returns the status as JSON as of now.
  std::string Publish(const TStatusFacts& Facts);
  // The status as JSON as of now; nullopt when nothing was published in the last FreshMs.
  std::optional<std::string> Answer() const;

private:
  struct TPublished {
    TStatusFacts Facts;
    std::string File;  // Facts.File as a JSON string
    std::int64_t ReadMs = 0;
  };
  // Written by hand rather than through Qt's JSON: this runs for every request.
  std::string Text(const TPublished& P, std::int64_t Now) const;

  TClock FClock;
  const std::int64_t FStartMs;
  mutable std::mutex FLock;
  std::optional<TPublished> FPublished;  // under FLock
};
