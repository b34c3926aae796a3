#include "engine/PlayListEntry.h"

#include "engine/EntryStreaming.h"

TPlayListEntry::TPlayListEntry(TVizmoraPlayer* AOwner) : Owner(AOwner) {}

double TPlayListEntry::GetDuration() { return 0; }
double TPlayListEntry::GetPosition() { return 0; }
void TPlayListEntry::Play() { State = esPlaying; }
void TPlayListEntry::Stop() { State = esStopped; }
void TPlayListEntry::Pause() { State = esPaused; }
void TPlayListEntry::Seek(int /*Percent*/) {}

void TPlayListEntry::SaveToStream(TStream& Stream) {
  WriteAnsiString(Stream, FileName);
  WriteValue(Stream, Duration);
}

void TPlayListEntry::LoadFromStream(TStream& Stream) {
  ReadAnsiString(Stream, FileName);
  ReadValue(Stream, Duration);
}
