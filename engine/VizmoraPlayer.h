#pragma once
// The one object that owns the playlist; the video form creates it at start-up.
#include <memory>

#include "engine/VizmoraPlayList.h"

class TVizmoraPlayer {
public:
  TVizmoraPlayer();
  ~TVizmoraPlayer();
  TVizmoraPlayer(const TVizmoraPlayer&) = delete;
  TVizmoraPlayer& operator=(const TVizmoraPlayer&) = delete;

  TVizmoraPlayList* const PlayList;
};
