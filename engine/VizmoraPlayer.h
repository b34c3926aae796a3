#pragma once
// The one object that owns the playlist, and the player's volume; the program makes it at
// start-up and hands it to the video form.
#include <memory>

#include "engine/VizmoraPlayList.h"

class TVizmoraPlayer {
public:
  TVizmoraPlayer();
  ~TVizmoraPlayer();
  TVizmoraPlayer(const TVizmoraPlayer&) = delete;
  TVizmoraPlayer& operator=(const TVizmoraPlayer&) = delete;

  TVizmoraPlayList* const PlayList;

  static constexpr int FullVolume = 10000;
  // 0 silence .. FullVolume, the scale of the graphs' volume; full until it is first set.
  int Volume() const { return FVolume; }
  // Kept within 0..FullVolume; the playlist's listeners hear pcVolume.
  void SetVolume(int Value);

private:
  int FVolume = FullVolume;
};
