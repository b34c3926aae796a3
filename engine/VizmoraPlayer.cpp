#include "engine/VizmoraPlayer.h"

TVizmoraPlayer::TVizmoraPlayer() : PlayList(new TVizmoraPlayList) { PlayList->SetPlayer(this); }

TVizmoraPlayer::~TVizmoraPlayer() { delete PlayList; }
