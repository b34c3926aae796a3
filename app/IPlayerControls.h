#pragma once
// What a view of the player (the desktop's media controls, a remote, the keys) reads of it and
// asks of it. The state lives in the player and its playlist: a view reads it here, hears of
// its changes from the playlist's listeners, and keeps no copy. User-interface thread only.
#include <string>

#include "engine/EntryState.h"

class TPlayListEntry;

class IPlayerControls {
public:
  virtual ~IPlayerControls() = default;

  // --- the state
  // esPlaying, esPaused or esStopped, as the current entry is; esStopped with none.
  virtual TEntryState PlayState() const = 0;
  virtual TPlayListEntry* CurrentEntry() const = 0;  // nil when there is none
  virtual double Position() const = 0;  // days into the current entry, at its graph's resolution
  virtual double Length() const = 0;    // days; 0 when not known
  virtual double Volume() const = 0;    // 0 silence .. 1 full
  // True when the current entry can be moved within (a video entry that plays or is paused).
  virtual bool CanSeek() const = 0;
  virtual bool CanRaise() const = 0;

  // --- intents
  virtual void Play() = 0;  // resumes a paused entry, else plays the current one
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;  // the entry the playlist plays next, as a finishing entry does
  virtual void Previous() = 0;
  virtual void SeekTo(double Days) = 0;  // a position in the current entry
  virtual void SetVolume(double Value) = 0;
  // Appends a media file or a playlist file and plays its first entry; false when nothing was added.
  virtual bool Open(const std::string& Path) = 0;
  virtual void Raise() = 0;
  virtual void Quit() = 0;
};
