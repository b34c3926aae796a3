#pragma once
// The program assembled in one place. Create makes the parts, bottom up: the player, the video
// form (which takes the player), the playlist window, the entry kinds, the log, the resume store,
// the show runner, the player's controls, the MPRIS service and, with --remote, the remote server; Wire then joins them, in one
// function that says who listens to whom. Start loads the command line's files and starts the
// show. The parts go in the reverse order. User-interface thread.
#include <QDBusConnection>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "app/CommandLine.h"
#include "app/StatusLine.h"
#include "framework/ExceptionReport.h"

class IShowClock;
class TEntryKinds;
class TMprisService;
class TPlayerControls;
class TProofLog;
class TRemoteOperation;
class TResumeStore;
class TShowRunner;
class TSyncShow;
class TVizmoraPlayer;

// What the program runs with besides its command line.
struct TProgramContext {
  std::ostream& Out;          // the --events lines
  std::ostream& Errors;       // notes and failures; the status line while there is no window
  TExceptionReporter Report;  // how a failure is shown when the show does not skip it; empty: on Errors
  QDBusConnection Bus = QDBusConnection::sessionBus();  // where the MPRIS service is offered
  // Makes the shared clock of a show in step with other players (--sync-clock's source,
  // --sync-serve's address); nil with the error said. Empty: such shows cannot run.
  std::function<std::unique_ptr<IShowClock>(const std::string& Source, const std::string& Serve, std::string& Error)>
      MakeShowClock = nullptr;
};

class TProgram {
public:
  TProgram(TCommandLine ALine, TProgramContext AContext);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Makes and wires every part; false, said on Errors or in the exception report, when the
  // program cannot start.
  bool Create();
  // Adds the command line's files, applies the view it asks for, starts the show and offers the
  // player on the bus.
  void Start();

  TVizmoraPlayer& Player() { return *FPlayer; }
  TEntryKinds& Kinds() { return *FKinds; }
  TShowRunner& Runner() { return *FRunner; }
  TPlayerControls& Controls() { return *FControls; }
  TStatusLine& StatusLine() { return FStatusLine; }

private:
  void Wire();
  // The view the command line asks for, as the playlist window's actions leave it.
  void ApplyStartView();
  // Whether the show skips entries that fail: the playlist window's action once there is a
  // window, else the command line.
  bool SkipsBroken() const;

  const TCommandLine FLine;
  TProgramContext FContext;
  TStatusLine FStatusLine;
  std::unique_ptr<IShowClock> FClock;  // made first and freed last: every graph runs on it
  std::unique_ptr<TVizmoraPlayer> FPlayer;
  std::unique_ptr<TEntryKinds> FKinds;
  std::unique_ptr<TProofLog> FLog;
  std::unique_ptr<TResumeStore> FResume;
  std::unique_ptr<TShowRunner> FRunner;
  std::unique_ptr<TSyncShow> FSync;  // drives the show when it runs on a shared clock
  std::unique_ptr<TPlayerControls> FControls;
  std::unique_ptr<TMprisService> FMpris;
  std::unique_ptr<TRemoteOperation> FRemote;  // with --remote
  std::set<std::string> FSaid;  // failures said on standard error while skipping
};
