#include "ui/ShowRunner.h"

#include <QCoreApplication>
#include <QTimer>
#include <exception>

#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "media/FilterGraph.h"
#include "platform/dshow/EventCodes.h"
#include "ui/EntryKinds.h"
#include "ui/JsonText.h"

namespace {
// The status the program ends with when an entry fails in a show limited by --loops.
constexpr int ExitEntryFailed = 2;
}  // namespace

TShowRunner::TShowRunner(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, int ALoops, std::ostream* AEvents)
    : FPlayList(APlayList), FMainGraph(AMainGraph), FLoops(ALoops), FEvents(AEvents) {
  FMainGraph->OnGraphErrorAbort.Bind(this, &TShowRunner::ErrorAbort);
  FMainGraph->OnDSEvent.Bind(this, &TShowRunner::GraphEvent);
}

void TShowRunner::Start() {
  // From the event loop, so a first entry that fails can end it.
  QTimer::singleShot(0, [this] {
    if (FPlayList->Count() > 0) Starting([this] { FPlayList->PlayIndex(0); });
  });
}

template <typename Step>
void TShowRunner::Starting(Step&& Action) {
  FFrameDue = false;
  try {
    Action();
  } catch (const std::exception& E) {
    Failed(E.what());
    return;
  }
  Emit("started");
  FFrameDue = true;
  // The playlist bound the entry's OnFinished to itself; the runner steps in between.
  FPlayList->Items(FPlayList->Current)->OnFinished.Bind(this, &TShowRunner::Finished);
}

void TShowRunner::Finished(TPlayListEntry* Sender) {
  Emit("finished");
  if (FPlayList->IndexOf(Sender) + 1 >= FPlayList->Count() && FLoops > 0 && ++FWrapped >= FLoops) {
    FPlayList->Stop();
    QCoreApplication::exit(0);
    return;
  }
  Starting([this, Sender] { FPlayList->EntryFinished(Sender); });
}

void TShowRunner::Failed(const std::string& Why) {
  Emit("failed", ",\"error\":" + JsonString(Why));
  ShowException(Why);
  if (FLoops > 0) QCoreApplication::exit(ExitEntryFailed);
}

// A playing file that breaks down (a decoding error) fails its entry as well.
void TShowRunner::ErrorAbort(QObject*, HRESULT Result) { Failed(GraphErrorText(Result)); }

// The first frame of an entry is reported once (an overlay brings a second), with the time it
// reached the renderer: it usually comes while the entry is still being started.
void TShowRunner::GraphEvent(QObject*, LONG Event, LONG_PTR Param1, LONG_PTR) {
  if (Event != EC_FIRST_FRAME || !FFrameDue) return;
  FFrameDue = false;
  Emit("frame", {}, static_cast<long long>(Param1));
}

void TShowRunner::Emit(const char* Event, const std::string& Extra, long long Ms) {
  if (!FEvents) return;
  TPlayListEntry* Entry = FPlayList->Items(FPlayList->Current);
  const char* Kind = Entry ? EntryKindOf(*Entry).Name : "";
  *FEvents << "{\"event\":\"" << Event << "\",\"index\":" << FPlayList->Current
           << ",\"file\":" << JsonString(Entry ? Entry->FileName : "") << ",\"kind\":\"" << Kind
           << "\",\"ms\":" << Ms << Extra << "}" << std::endl;
}
