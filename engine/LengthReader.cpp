#include "engine/LengthReader.h"

#include <QString>

#include <algorithm>
#include <cstdio>

#include "engine/AVIPLE.h"
#include "engine/VizmoraPlayList.h"
#include "framework/DayFractions.h"
#include "framework/Timer.h"
#include "platform/com/ClassRegistry.h"
#include "platform/dshow/ErrorText.h"

namespace {
// The rows in view remembered at most; those asked for long ago give way.
constexpr std::size_t WantedLimit = 256;
// The pass through the list waits until it has stayed unchanged this long: a long load is
// shown first, and its lengths read after, apart from the rows in view.
constexpr int SettleMs = 100;
}  // namespace

TLengthReader::TLengthReader(TVizmoraPlayList& PlayList, int Workers)
    : FPlayList(PlayList), FWorkerCount(std::max(Workers, 1)), FSettle(CreateTimer()) {
  FSettle->SetInterval(SettleMs);
  FSettle->OnTimer = [this](ITimer*) { Settle(); };
  FListenerKey = FPlayList.Listeners.Add([this](TPlayListChange Change) {
    if (Change == TPlayListChange::pcEntries) {
      Changed();
    } else if (Change == TPlayListChange::pcCurrent && FPlayList.PlayError.empty()) {
      // A video that played has its length from the graph, and its file is readable after all.
      TPlayListEntry* Entry = FPlayList.Items(FPlayList.Current);
      if (Entry && Entry->LengthCheck != lcReading && ReadsLength(*Entry) && Entry->Duration > 0) {
        Entry->LengthCheck = lcRead;
        Entry->LengthError = 0;
      }
    }
  });
  Changed();
}

TLengthReader::~TLengthReader() {
  FPlayList.Listeners.Remove(FListenerKey);
  {
    std::lock_guard Guard(FLock);
    FStopping = true;
    FJobs.clear();
  }
  FWake.notify_all();
  for (std::thread& Worker : FWorkers) Worker.join();
  for (const auto& [Ticket, Entry] : FInFlight) {
    Entry->RemoveFreeNotification(this);
    Entry->LengthCheck = lcUnread;
  }
}

bool TLengthReader::ReadsLength(const TPlayListEntry& Entry) { return dynamic_cast<const TAVIPLE*>(&Entry); }

std::string TLengthReader::Unknown(const TPlayListEntry& Entry) {
  if (Entry.LengthCheck == lcFailed) {
    char Text[256];
    if (!AMGetErrorTextA(Entry.LengthError, Text, sizeof Text))
      std::snprintf(Text, sizeof Text, "Error $%08X.", static_cast<unsigned>(Entry.LengthError));
    return std::string("The length cannot be read: ") + Text;
  }
  if (!ReadsLength(Entry) || Entry.Duration > 0) return {};
  return Entry.LengthCheck == lcRead ? "The file does not tell its length; it is known once the entry has played."
                                     : "The length is still to be read.";
}

bool TLengthReader::Due(const TPlayListEntry* Entry) {
  return Entry && Entry->LengthCheck == lcUnread && ReadsLength(*Entry);
}

void TLengthReader::ReadFirst(int Index) {
  if (!Due(FPlayList.Items(Index)) || std::find(FWanted.begin(), FWanted.end(), Index) != FWanted.end()) return;
  FWanted.push_back(Index);
  if (FWanted.size() > WantedLimit) FWanted.pop_front();
  FeedSoon();
}

// Costs a long load no more than a look at the timer per entry.
void TLengthReader::Changed() {
  FRescan = true;
  FScanning = false;
  FSettled = false;
  if (!FSettle->Enabled()) FSettle->SetEnabled(true);
}

// A whole interval without a change lets the pass begin.
void TLengthReader::Settle() {
  if (!FSettled) {
    FSettled = true;
    return;
  }
  FSettle->SetEnabled(false);
  FScanning = true;
  Feed();
}

void TLengthReader::FeedSoon() {
  if (FFeedDue) return;
  FFeedDue = true;
  QMetaObject::invokeMethod(this, [this] { Feed(); }, Qt::QueuedConnection);
}

void TLengthReader::Feed() {
  FFeedDue = false;
  while (FOutstanding < FWorkerCount) {
    TPlayListEntry* Entry = NextToRead();
    if (!Entry) return;
    Dispatch(Entry);
  }
}

TPlayListEntry* TLengthReader::NextToRead() {
  while (!FWanted.empty()) {
    TPlayListEntry* Entry = FPlayList.Items(FWanted.front());
    FWanted.pop_front();
    if (Due(Entry)) return Entry;
  }
  while (FScanning) {
    while (FCursor < FPlayList.Count())
      if (TPlayListEntry* Entry = FPlayList.Items(FCursor++); Due(Entry)) return Entry;
    if (!FRescan) return nullptr;
    FRescan = false;  // entries may have moved behind the pass, or been added before its end
    FCursor = 0;
  }
  return nullptr;
}

void TLengthReader::Dispatch(TPlayListEntry* Entry) {
  if (FStarted == S_FALSE) FStarted = StartWorkers();
  // The graph takes a path up to its first NUL: such a path names no file, and must not be
  // read as the file named by the part before it.
  if (FAILED(FStarted) || Entry->FileName.find('\0') != std::string::npos) {
    Stored(Entry, FAILED(FStarted) ? FStarted : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 0);
    return;
  }
  const std::uint64_t Ticket = ++FLastTicket;
  ++FOutstanding;
  Entry->LengthCheck = lcReading;
  FInFlight.emplace(Ticket, Entry);
  Entry->FreeNotification(this, [this](TPlayListEntry* Freed) {
    std::erase_if(FInFlight, [Freed](const auto& Job) { return Job.second == Freed; });
  });
  {
    std::lock_guard Guard(FLock);
    FJobs.push_back({Ticket, QString::fromStdString(Entry->FileName).toStdU16String()});
  }
  FWake.notify_one();
}

void TLengthReader::Arrived(std::uint64_t Ticket, HRESULT Result, double Seconds) {
  --FOutstanding;
  const auto Job = FInFlight.find(Ticket);
  if (Job != FInFlight.end()) {
    TPlayListEntry* Entry = Job->second;
    FInFlight.erase(Job);
    Entry->RemoveFreeNotification(this);
    Stored(Entry, Result, Seconds);
  }
  Feed();
}

// A file that does not tell its length keeps the length stored before.
void TLengthReader::Stored(TPlayListEntry* Entry, HRESULT Result, double Seconds) {
  Entry->LengthCheck = SUCCEEDED(Result) ? lcRead : lcFailed;
  Entry->LengthError = SUCCEEDED(Result) ? 0 : Result;
  if (SUCCEEDED(Result) && Seconds > 0) Entry->Duration = Seconds / SecsPerDay;
  OnLengthRead(Entry);
}

HRESULT TLengthReader::StartWorkers() {
  std::vector<ComPtr<IMediaDet>> Detectors(static_cast<std::size_t>(FWorkerCount));
  for (ComPtr<IMediaDet>& Detector : Detectors)
    if (const HRESULT Result = CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IMediaDet::IID,
                                                Detector.ReleaseAndGetVoidAddress());
        FAILED(Result))
      return Result;
  for (ComPtr<IMediaDet>& Detector : Detectors) FWorkers.emplace_back(&TLengthReader::Work, this, std::move(Detector));
  return S_OK;
}

void TLengthReader::Work(ComPtr<IMediaDet> Detector) {
  for (;;) {
    TJob Job;
    {
      std::unique_lock Guard(FLock);
      FWake.wait(Guard, [this] { return FStopping || !FJobs.empty(); });
      if (FStopping) return;
      Job = std::move(FJobs.front());
      FJobs.pop_front();
    }
    double Seconds = 0;
    HRESULT Result = Detector->put_Filename(Job.File.c_str());
    if (SUCCEEDED(Result)) Result = Detector->get_StreamLength(&Seconds);
    QMetaObject::invokeMethod(this, [this, Ticket = Job.Ticket, Result, Seconds] { Arrived(Ticket, Result, Seconds); },
                              Qt::QueuedConnection);
  }
}
