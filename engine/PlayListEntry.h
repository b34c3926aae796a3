#pragma once
// The abstract base of everything a playlist holds: state, completion event, file name,
// stored length, and the common part of the serialised body.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/EntryState.h"
#include "framework/Event.h"
#include "media/Transition.h"

class IPropertiesFrame;
class TStream;
class TVizmoraPlayer;

// How an entry's stored length stands against its file, as the length reader last found it.
enum TLengthCheck : std::uint8_t { lcUnread, lcReading, lcRead, lcFailed };

class TPlayListEntry {
public:
  explicit TPlayListEntry(TVizmoraPlayer* AOwner);
  virtual ~TPlayListEntry();  // tells the free notifications, then frees
  TPlayListEntry(const TPlayListEntry&) = delete;
  TPlayListEntry& operator=(const TPlayListEntry&) = delete;

  virtual double GetDuration();  // days
  virtual double GetPosition();  // days played so far
  // GetPosition at the resolution the entry's media has (a video's graph counts in 100 ns).
  virtual double GetExactPosition() { return GetPosition(); }
  // Overrides do their media work first and call these last, so State changes only after
  // the graphs have been told.
  virtual void Play();
  virtual void Stop();
  virtual void Pause();
  // A new properties frame; the caller parents and frees it.
  virtual IPropertiesFrame* CreatePropertiesFrame() = 0;
  virtual void Seek(int Percent);
  // Opens the entry's files ahead, in a graph of its own that its next Play takes over; what
  // was prepared before in the graphs it plays in is dropped. Nothing for an entry that cannot.
  // Failed hears, once and from the event loop, why the files cannot open, in the words its
  // Play would raise; not once the preparation was dropped.
  using TPrepareFailed = std::function<void(const std::string& Why)>;
  virtual void Prepare(TPrepareFailed /*Failed*/) {}
  virtual void DropPrepared() {}
  // Overrides call the base first, then append or read their own fields.
  virtual void SaveToStream(TStream& Stream);
  virtual void LoadFromStream(TStream& Stream);
  virtual void ApplyProperties(IPropertiesFrame* Frame) = 0;

  TEntryState State = esIdle;
  TLengthCheck LengthCheck = lcUnread;  // beside State, where the entry has room to spare
  std::int32_t LengthError = 0;         // why lcFailed: the media layer's result code
  TEvent<TPlayListEntry*> OnFinished;  // raised with the entry as sender when it has played out
  double Duration = 0;                 // stored length, days
  TVizmoraPlayer* Owner;               // the owning player; stored, not otherwise used
  std::string FileName;
  std::uint64_t Id = 0;                // the entry's own number in its playlist, given when added
  TTransition FadeIn;                  // how its Play takes over from the entry before; set for that Play

  // Notify runs, with the entry, when the entry is being freed, so what holds on to it (a
  // properties dialog) can let go; one notification per subscriber, a later one replacing it.
  void FreeNotification(const void* Subscriber, std::function<void(TPlayListEntry*)> Notify);
  void RemoveFreeNotification(const void* Subscriber);

private:
  std::vector<std::pair<const void*, std::function<void(TPlayListEntry*)>>> FFreeNotifications;
};
