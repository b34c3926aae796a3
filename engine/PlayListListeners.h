#pragma once
// The notice of the player's state to whoever shows or drives it (the show runner, the playlist
// window, the desktop's media controls): any number of listeners, each told what changed; the
// playlist and the player say what it is now. User-interface thread only.
#include <functional>
#include <utility>
#include <vector>

enum class TPlayListChange {
  pcEntries,   // an entry was added, removed or moved
  pcStarting,  // Current names the entry about to start; pcCurrent follows once it started or failed
  pcCurrent,   // an entry was started or failed to start, or Current was set
  pcState,     // stopped, paused or resumed
  pcSeek,      // the current entry was asked to seek
  pcEnded,     // the entry that played has ended, LastEnd says why; after one that played out
               // (erFinished) the next one starts once the listeners have heard
  pcVolume,    // the player's volume changed
  pcPassed     // at a hand-over, the entry Passed, known to fail, is passed over (see PassesFailing)
};

// Why the entry that played last ended.
enum class TEndReason {
  erFinished,  // it played out
  erFailed,    // it could not start, or broke down while it played
  erStalled,   // it played on without getting anywhere
  erSkipped,   // the show moved on to the next or the previous entry
  erUser       // it was stopped, or another entry was chosen
};

class TPlayListListeners {
public:
  using TListener = std::function<void(TPlayListChange)>;

  // Returns the key that removes the listener again.
  int Add(TListener Listener) {
    FListeners.emplace_back(++FLastKey, std::move(Listener));
    return FLastKey;
  }
  void Remove(int Key) {
    std::erase_if(FListeners, [Key](const auto& L) { return L.first == Key; });
  }
  // Tells a copy of the list, so a listener may add or remove listeners while it is told.
  void Notify(TPlayListChange Change) const {
    const auto Listeners = FListeners;
    for (const auto& L : Listeners) L.second(Change);
  }

private:
  std::vector<std::pair<int, TListener>> FListeners;
  int FLastKey = 0;
};
