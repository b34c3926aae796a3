#pragma once
// What a view of the player (the desktop's media controls, a remote) asks of it: intents (play,
// pause, stop, next, previous, seek, volume, open, raise, quit) and the few answers only the
// player knows. User-interface thread only.
#include <string>

class IPlayerControls {
public:
  virtual ~IPlayerControls() = default;
  virtual void Play() = 0;  // resumes a paused entry, else plays the current one
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;  // the neighbouring entry, wrapping round as a finishing entry does
  virtual void Previous() = 0;
  // True when the current entry can be moved within (a video entry that plays or is paused).
  virtual bool CanSeek() const = 0;
  virtual void SeekTo(double Days) = 0;  // a position in the current entry
  virtual double Volume() const = 0;     // 0 silence .. 1 full
  virtual void SetVolume(double Value) = 0;
  // Appends a media file or a playlist file and plays its first entry; false when nothing was added.
  virtual bool Open(const std::string& Path) = 0;
  virtual bool CanRaise() const = 0;
  virtual void Raise() = 0;
  virtual void Quit() = 0;
};
