#pragma once
// Runs the show started from the command line: plays the first entry, reports each entry that
// starts, shows its first frame, finishes or fails (as JSON lines when asked), and ends the
// program once the playlist has wrapped round a given number of times. User-interface thread.
#include <ostream>
#include <string>

#include "platform/com/ComTypes.h"
#include "platform/dshow/MonotonicClock.h"

class QObject;
class TFilterGraph;
class TPlayListEntry;
class TVizmoraPlayList;

class TShowRunner {
public:
  // Loops 0: play on until the user stops. Events: the stream for JSON lines, or nil.
  TShowRunner(TVizmoraPlayList* APlayList, TFilterGraph* AMainGraph, int ALoops, std::ostream* AEvents);

  // Plays the first entry once the event loop runs.
  void Start();

private:
  // Runs one playlist step that starts an entry, reporting its start or its failure.
  template <typename Step>
  void Starting(Step&& Action);
  void Finished(TPlayListEntry* Sender);
  void Failed(const std::string& Why);
  void ErrorAbort(QObject* Sender, HRESULT Result);
  void GraphEvent(QObject* Sender, LONG Event, LONG_PTR Param1, LONG_PTR Param2);
  void Emit(const char* Event, const std::string& Extra = {}, long long Ms = MonotonicMilliseconds());

  TVizmoraPlayList* FPlayList;
  TFilterGraph* FMainGraph;
  int FLoops;
  int FWrapped = 0;
  bool FFrameDue = false;  // the entry started last has not reported a frame yet
  std::ostream* FEvents;
};
