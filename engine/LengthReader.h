#pragma once
// Reads the lengths of the playlist's videos from their files in the background, once entries
// are added, loaded or moved: a few files at a time, each on one of a fixed few worker threads
// with a media detector of its own, the rows the user sees first and the rest once the list has
// settled. A length read
// is stored in its entry on the user-interface thread, from the event loop; a file that cannot
// be read is marked so, with the reason. A picture's length is its display time and is not read.
// Members are for the user-interface thread; the workers touch only the job queue.
#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Event.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/MediaDet.h"

class ITimer;
class TPlayListEntry;
class TVizmoraPlayList;

class TLengthReader : public QObject {
public:
  explicit TLengthReader(TVizmoraPlayList& PlayList, int Workers = 2);
  // Waits for the files being read (each at most the detector's time limit); entries still
  // waiting are left unread.
  ~TLengthReader() override;

  // Whether the entry's length comes from its file: a video's does.
  static bool ReadsLength(const TPlayListEntry& Entry);
  // Why the entry's length cannot be shown (its file cannot be read, or does not tell, or is
  // still to be read); empty when it is known.
  static std::string Unknown(const TPlayListEntry& Entry);
  // The row at Index is in view: its entry is read before the rows nobody sees.
  void ReadFirst(int Index);

  // An entry's length was stored, or its file found unreadable.
  TEvent<TPlayListEntry*> OnLengthRead;

private:
  struct TJob {
    std::uint64_t Ticket;
    std::u16string File;
  };

  // The list changed: the pass through it starts anew once it has settled.
  void Changed();
  void Settle();
  // Hands out work while a worker is free: rows in view first, then the list in order.
  void Feed();
  // Once from the event loop for a run of rows in view.
  void FeedSoon();
  static bool Due(const TPlayListEntry* Entry);  // a video not yet read
  TPlayListEntry* NextToRead();
  void Dispatch(TPlayListEntry* Entry);
  // On the user-interface thread, from the event loop: what a worker found.
  void Arrived(std::uint64_t Ticket, HRESULT Result, double Seconds);
  void Stored(TPlayListEntry* Entry, HRESULT Result, double Seconds);
  // The detectors are made here, on the user-interface thread, one per worker.
  HRESULT StartWorkers();
  void Work(ComPtr<IMediaDet> Detector);  // a worker thread's loop

  TVizmoraPlayList& FPlayList;
  const int FWorkerCount;
  int FListenerKey = 0;
  bool FFeedDue = false;
  std::unique_ptr<ITimer> FSettle;  // runs while the list has changed lately
  bool FSettled = false;   // no change since the timer last fired
  bool FScanning = false;  // the list has settled: the pass goes on
  bool FRescan = false;    // the list changed since the pass began: once at its end, again from the top
  int FCursor = 0;         // the pass through the list
  std::deque<int> FWanted;  // rows in view, oldest first
  std::map<std::uint64_t, TPlayListEntry*> FInFlight;  // by ticket; an entry freed meanwhile leaves
  int FOutstanding = 0;  // jobs handed to the workers and not yet answered, its entry freed or not
  std::uint64_t FLastTicket = 0;
  HRESULT FStarted = S_FALSE;  // S_FALSE until the workers start; their detectors' failure then

  std::mutex FLock;  // guards FJobs and FStopping
  std::condition_variable FWake;
  std::deque<TJob> FJobs;
  bool FStopping = false;
  std::vector<std::thread> FWorkers;
};
