#include "engine/PlayListEntry.h"

#include "engine/EntryStreaming.h"

TPlayListEntry::TPlayListEntry(TVizmoraPlayer* AOwner) : Owner(AOwner) {}

// Runs from the base's destructor, so the entry's own fields are gone already: a notification
// may only let go of the pointer. Taken out first, so a notification may unsubscribe.
TPlayListEntry::~TPlayListEntry() {
  const auto Notifications = std::move(FFreeNotifications);
  for (const auto& [Subscriber, Notify] : Notifications) Notify(this);
}

void TPlayListEntry::FreeNotification(const void* Subscriber, std::function<void(TPlayListEntry*)> Notify) {
  RemoveFreeNotification(Subscriber);
  FFreeNotifications.emplace_back(Subscriber, std::move(Notify));
}

void TPlayListEntry::RemoveFreeNotification(const void* Subscriber) {
  std::erase_if(FFreeNotifications, [Subscriber](const auto& N) { return N.first == Subscriber; });
}

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
