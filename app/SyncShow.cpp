#include "app/SyncShow.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>

#include "app/ProofLog.h"
#include "app/StatusLine.h"
#include "engine/LengthReader.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "framework/DayFractions.h"
#include "framework/ExceptionReport.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/MediaDet.h"
#include "platform/dshow/MonotonicClock.h"
#include "platform/dshow/ShowClock.h"

namespace {
constexpr std::int64_t NsPerMs = 1000000;
constexpr int MaxLeadMs = 5000;

// Lengths agree between players to the millisecond, whatever a file's reader rounds.
std::int64_t WholeMs(double Seconds) { return std::llround(Seconds * 1000) * NsPerMs; }

std::int64_t WallMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// What the worker needs of each entry: the file whose length to read (empty: a picture, whose
// display time is its length) and the length kept in the playlist, used when the file tells none.
struct TLengthJob {
  std::u16string File;
  std::int64_t Kept;
};

// On the worker: the lengths of the videos read from their files.
std::vector<std::int64_t> ReadLengths(const std::vector<TLengthJob>& Jobs, IMediaDet* Detector,
                                      const std::atomic<bool>& Quit) {
  std::vector<std::int64_t> Lengths;
  for (const TLengthJob& Job : Jobs) {
    double Seconds = 0;
    if (!Job.File.empty() && Detector && !Quit && SUCCEEDED(Detector->put_Filename(Job.File.c_str())) &&
        SUCCEEDED(Detector->get_StreamLength(&Seconds)) && Seconds > 0)
      Lengths.push_back(WholeMs(Seconds));
    else
      Lengths.push_back(Job.Kept);
  }
  return Lengths;
}
}  // namespace

TSyncShow::TSyncShow(TVizmoraPlayList* APlayList, TSyncOptions AOptions)
    : FPlayList(APlayList), FOptions(std::move(AOptions)), FLeadMs(FOptions.LeadMs) {
  for (QTimer* Timer : {&FAhead, &FNext}) {
    Timer->setSingleShot(true);
    Timer->setTimerType(Qt::PreciseTimer);
  }
  QObject::connect(&FAhead, &QTimer::timeout, [this] { RunAhead(); });
  QObject::connect(&FNext, &QTimer::timeout, [this] { Open(FSchedule->After(FSlot), 0, 0); });
  FPlayList->Refuses = [this](const char* What) { return Refuses(What); };
  FListener = FPlayList->Listeners.Add([this](TPlayListChange Change) { Changed(Change); });
}

TSyncShow::~TSyncShow() {
  FQuit = true;
  if (FWorker.joinable()) FWorker.join();
  FPlayList->Listeners.Remove(FListener);
  FPlayList->Refuses = nullptr;
}

// A stop is the user's when an entry ended for it outside the steps taken here (a failure ends
// its entry for another reason).
void TSyncShow::Changed(TPlayListChange Change) {
  if (Change == TPlayListChange::pcStarting) {
    FOwnStop = false;
  } else if (Change == TPlayListChange::pcEnded) {
    FUserEnd = !FOwnStop && FPlayList->LastEnd == TEndReason::erUser;
  } else if (Change == TPlayListChange::pcState && FPlayList->State == esStopped && FUserEnd && FSchedule) {
    FUserEnd = false;
    FEnded = true;
    FAhead.stop();
    FNext.stop();
    Say("The show was stopped; it runs on the clock, so it starts again only with the program");
  }
}

void TSyncShow::Start() {
  std::vector<TLengthJob> Jobs;
  for (int I = 0; I < FPlayList->Count(); ++I) {
    TPlayListEntry* Entry = FPlayList->Items(I);
    Jobs.push_back({TLengthReader::ReadsLength(*Entry) ? QString::fromStdString(Entry->FileName).toStdU16String() : u"",
                    WholeMs(Entry->GetDuration() * SecsPerDay)});
  }
  ComPtr<IMediaDet> Detector;  // made here, used on the worker
  if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IMediaDet::IID,
                              Detector.ReleaseAndGetVoidAddress())))
    Detector = nullptr;
  Say("Waiting for the show clock to be in step: " + FOptions.Clock->Describe());
  FWorker = std::thread([this, Jobs = std::move(Jobs), Detector] {
    while (!FQuit && !FOptions.Clock->WaitForSync(250)) {
    }
    if (FQuit) return;
    std::vector<std::int64_t> Lengths = ReadLengths(Jobs, Detector.Get(), FQuit);
    QMetaObject::invokeMethod(&FNext, [this, Lengths = std::move(Lengths)]() mutable { Synced(std::move(Lengths)); },
                              Qt::QueuedConnection);
  });
}

void TSyncShow::Synced(std::vector<std::int64_t> Lengths) {
  FWorker.join();
  FSchedule = std::make_unique<TShowSchedule>(FOptions.EpochNs, std::move(Lengths));
  Say("In step with the show clock: " + FOptions.Clock->Describe());
  OpenAt(FOptions.Clock->Now() + FLeadMs * NsPerMs);
}

void TSyncShow::OpenAt(std::int64_t When) {
  TShowSlot Slot = FSchedule->At(When);
  if (Slot.Index < 0) {
    Say("Nothing of the show has a length to play");
    return;
  }
  if (Slot.Start + Slot.Length - When < FLeadMs * NsPerMs) {
    Open(FSchedule->After(Slot), 0, 0);
    return;
  }
  Open(Slot, When, When - Slot.Start);
}

// At: when Position of the entry shows; 0 for the slot's start.
void TSyncShow::Open(const TShowSlot& Slot, std::int64_t At, std::int64_t Position) {
  FSlot = Slot;
  FOptions.Clock->SetEntryStart(At ? At : Slot.Start, Position);
  FOwnStop = true;  // until the entry starts
  if (FPlayList->State == esPlaying) FPlayList->EndCurrent(TEndReason::erFinished);
  if (FEnded || (FOptions.Ending && FOptions.Ending())) return;
  const long long Began = MonotonicMilliseconds();
  try {
    FOwnPlay = true;
    FPlayList->PlayIndex(Slot.Index);
  } catch (const std::exception& E) {
    ShowException(E.what());  // the entry keeps its slot; the show runner has logged it
  }
  FOwnPlay = false;
  FOwnStop = false;
  // Entries that open slowly are opened earlier.
  FLeadMs = std::clamp(2 * static_cast<int>(MonotonicMilliseconds() - Began) + 500, FLeadMs, MaxLeadMs);
  if (FEnded) return;
  // Half the slot at most, so the entry shows at all when the next has to be opened over it.
  const std::int64_t Lead = std::min<std::int64_t>(FLeadMs * NsPerMs, Slot.Length / 2);
  FAhead.start(DueMs(Slot.Start + Slot.Length - Lead));
}

// The entry prepared next runs ahead, its frames held until its slot begins, and is taken over
// at the slot's start; the entry playing plays to its end. Without one prepared the next is
// opened now, cutting the one playing short.
void TSyncShow::RunAhead() {
  if (FEnded || (FOptions.Ending && FOptions.Ending())) return;
  const TShowSlot Next = FSchedule->After(FSlot);
  FOptions.Clock->SetEntryStart(Next.Start, 0);
  if (FPlayList->State == esPlaying && FPlayList->IndexAfter(FPlayList->Current) == Next.Index && FOptions.RunAhead &&
      FOptions.RunAhead())
    FNext.start(DueMs(Next.Start));
  else
    Open(Next, 0, 0);
}

int TSyncShow::DueMs(std::int64_t When) const {
  return static_cast<int>(std::max<std::int64_t>((When - FOptions.Clock->Now()) / NsPerMs, 0));
}

bool TSyncShow::Refuses(const char* What) {
  if (FOwnPlay) {
    FOwnPlay = false;
    return false;
  }
  if (std::string(What) != "next entry")
    Say(std::string(What) + " is not available: the show runs on the clock it shares with other players");
  return true;
}

void TSyncShow::Say(const std::string& Text) {
  if (FOptions.Status) FOptions.Status->Show(Text);
  if (FOptions.Log) FOptions.Log->Write("sync", WallMs(), FSlot.Index, "", Text);
}
