#include "engine/VizmoraPlayer.h"

#include <algorithm>

TVizmoraPlayer::TVizmoraPlayer() : PlayList(new TVizmoraPlayList) { PlayList->SetPlayer(this); }

TVizmoraPlayer::~TVizmoraPlayer() { delete PlayList; }

void TVizmoraPlayer::SetVolume(int Value) {
  FVolume = std::clamp(Value, 0, FullVolume);
  PlayList->Listeners.Notify(TPlayListChange::pcVolume);
}
