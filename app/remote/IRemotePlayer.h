#pragma once
// What the remote API reads of the player and asks of it. Implemented in the composition root
// over the player's controls, its playlist and the video window. User-interface thread only: the
// server carries every request there before it calls in.
#include <QJsonObject>
#include <optional>
#include <string>

#include "engine/EntryState.h"

// The changes a PATCH asks for, checked already (paths resolved inside the media folder).
struct TEntryChanges {
  std::optional<std::string> Overlay;  // a video's additional file; empty: none
  std::optional<float> Left, Top, Right, Bottom;  // a video's overlay rectangle, fractions
  std::optional<int> OverlayAlpha;     // 0..255
  std::optional<int> DisplayTime;      // a picture's, seconds
  std::optional<std::string> Sound;    // a picture's sound file; empty: none
  std::optional<bool> ContinueSound;
};

class IRemotePlayer {
public:
  virtual ~IRemotePlayer() = default;

  virtual TEntryState PlayState() const = 0;  // esPlaying, esPaused or esStopped
  virtual int CurrentIndex() const = 0;       // -1 for none
  virtual double PositionSeconds() const = 0;
  virtual double LengthSeconds() const = 0;
  virtual double Volume() const = 0;  // 0..1
  // How entries give way, in --transition's words: "cut", "crossfade:S" or "black:S".
  virtual std::string Transition() const = 0;
  virtual int Count() const = 0;
  // The entry at Index with the fields --list prints.
  virtual QJsonObject Entry(int Index) const = 0;

  // Adds a media file at Index (the end when outside the list); its index, or -1 when the file
  // is of no entry kind.
  virtual int Add(const std::string& Path, int Index) = 0;
  virtual void Change(int Index, const TEntryChanges& Changes) = 0;
  virtual void Remove(int Index) = 0;
  virtual void Move(int From, int To) = 0;
  // Empty when done, else why not.
  virtual std::string Save(const std::string& Path) = 0;
  virtual std::string Load(const std::string& Path) = 0;  // replaces the list

  // "play", "pause", "stop", "next", "previous"; empty when done, else why the player refused.
  virtual std::string Control(const std::string& Intent) = 0;
  virtual void Seek(double Percent) = 0;
  virtual void SetVolume(double Value) = 0;
  // The current picture, overlay included, as JPEG scaled to Width; empty when nothing is shown.
  virtual std::string Screenshot(int Width) = 0;
};
