#include "main/Program.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <array>

#include "app/EntryKinds.h"
#include "app/PlayListCommands.h"
#include "app/PlayerControls.h"
#include "app/ProofLog.h"
#include "app/ResumeStore.h"
#include "app/ShowRunner.h"
#include "app/SyncShow.h"
#include "desktop/MprisService.h"
#include "engine/VizmoraPlayer.h"
#include "media/FilterGraph.h"
#include "main/PlayListRemotePlayer.h"
#include "main/RemoteOperation.h"
#include "media/VideoWindow.h"
#include "platform/dshow/ShowClock.h"
#include "settings/Registry.h"
#include "ui/KeyboardShortcuts.h"
#include "ui/PlayLstFm.h"
#include "ui/PropertiesFrames.h"
#include "ui/TransitionMenu.h"
#include "ui/vizmoraFM.h"

namespace {
const char* const RegPath = "Software\\Quorvex Software\\Vizmora";

// The resume store's one value in the settings.
TResumeValue ResumeValue() {
  return {[] { return TRegistry(RegPath).ReadString("Resume", "Position", ""); },
          [](const std::string& Value) { TRegistry(RegPath).WriteString("Resume", "Position", Value); }};
}

// The main window as the player's controls raise and close it.
TMainWindowCommands MainWindowCommands() {
  return {[] { return vizmoraFM && QGuiApplication::platformName() != QLatin1String("offscreen"); },
          [] {
            vizmoraFM->show();
            vizmoraFM->raise();
            vizmoraFM->activateWindow();
          },
          [] { vizmoraFM->close(); }};
}

// The main window's close ends the program: the message loop stops once the form has accepted
// its close, whatever other windows (properties dialogs) are still open.
void EndWithMainForm(TForm* Form) {
  const TEvent<QObject*, TCloseAction&> Designed = Form->OnClose;
  Form->OnClose = [Designed](QObject* Sender, TCloseAction& Action) {
    Designed(Sender, Action);
    if (Action != caNone) QCoreApplication::exit(0);
  };
}

// Dialogs the application owns that outlived the forms: properties dialogs still open.
void FreeLeftDialogs() {
  QList<QPointer<QDialog>> Left;
  for (QWidget* Window : QApplication::topLevelWidgets())
    if (auto* Dialog = qobject_cast<QDialog*>(Window); Dialog && !Dialog->parent()) Left.push_back(Dialog);
  for (const QPointer<QDialog>& Dialog : Left) delete Dialog.data();
}
}  // namespace

TProgram::TProgram(TCommandLine ALine, TProgramContext AContext)
    : FLine(std::move(ALine)), FContext(std::move(AContext)), FStatusLine(FContext.Errors) {}

TProgram::~TProgram() {
  SetExceptionReporter(FContext.Report);
  FRemote.reset();  // its requests reach the player
  FMpris.reset();  // before the playlist it listens to
  FControls.reset();
  FSync.reset();
  FRunner.reset();  // before the graph it observes
  FResume.reset();
  FLog.reset();
  FreeForms();  // their settings stores save
  vizmoraFM = nullptr;
  FreeLeftDialogs();
  FKinds.reset();
  ThePlayer = nullptr;
  FPlayer.reset();
}

bool TProgram::Create() {
  SetExceptionReporter(FContext.Report);
  InstallPropertiesFrames();
  if (FLine.Synced()) {  // before any graph is made, so every one runs on it
    std::string Error = "this program cannot run a show on a shared clock";
    if (FContext.MakeShowClock) FClock = FContext.MakeShowClock(FLine.SyncClock, FLine.SyncServe, Error);
    if (!FClock) {
      FContext.Errors << "vizmora: " << Error << std::endl;
      return false;
    }
  }
  FPlayer = std::make_unique<TVizmoraPlayer>();
  try {
    vizmoraFM = CreateForm<TvizmoraFM>(FPlayer.get());  // its creation takes the player
    if (!FLine.Headless) PlayLstFm = CreateForm<TPlayLstFm>();
  } catch (...) {
    ApplicationHandleException(nullptr);
    return false;
  }
  FKinds = std::make_unique<TEntryKinds>(FPlayer->PlayList, vizmoraFM->FG, vizmoraFM->SG, vizmoraFM->VW);
  if (!FLine.LogFile.empty()) {
    FLog = std::make_unique<TProofLog>(FLine.LogFile, FContext.Errors);
    if (!FLog->Open()) return false;
  }
  if (FLine.Resume) FResume = std::make_unique<TResumeStore>(ResumeValue(), FLine.Files, FContext.Errors);
  TShowOptions Options;
  Options.Loops = FLine.Loops;
  Options.Events = FLine.Events ? &FContext.Out : nullptr;
  Options.Log = FLog.get();
  Options.Resume = FResume.get();
  Options.SkipBroken = [this] { return SkipsBroken(); };
  // A headless program with remote operation waits for its list to be made remotely.
  Options.EndWhenNothingPlays = (FLine.Headless && FLine.RemotePort < 0) || FLine.Loops > 0;
  Options.OnEvent = [this](const QJsonObject& Line, std::int64_t WallMs) {
    if (FRemote) FRemote->Event(Line, WallMs);
  };
  Options.Status = &FStatusLine;
  Options.Clocked = FClock != nullptr;
  FRunner = std::make_unique<TShowRunner>(FPlayer->PlayList, vizmoraFM->FG, Options);
  if (FClock)
    FSync = std::make_unique<TSyncShow>(
        FPlayer->PlayList, TSyncOptions{FClock.get(), FLine.SyncEpochNs, &FStatusLine, FLog.get(),
                                        [this] { return FRunner->Ending(); }, [this] { return vizmoraFM->FG->RunNext(); }});
  FControls = std::make_unique<TPlayerControls>(*FPlayer, *FKinds, MainWindowCommands());
  FMpris = std::make_unique<TMprisService>(*FControls, *FPlayer->PlayList, FContext.Bus);
  if (FLine.RemotePort >= 0) {
    FRemote = std::make_unique<TRemoteOperation>(
        std::make_unique<TPlayListRemotePlayer>(*FPlayer, *FControls, *FKinds, vizmoraFM->VW),
        FPlayer->PlayList->Listeners, FContext.Errors);
    if (!FRemote->Start(FLine, {[] { return TRegistry(RegPath).ReadString("Remote", "Token", ""); },
                                [](const std::string& Token) { TRegistry(RegPath).WriteString("Remote", "Token", Token); }}))
      return false;
  }
  Wire();
  return true;
}

// Who listens to whom. The player's state (its playlist, current entry, play state, position and
// volume) lives in the engine; the window, the keys, MPRIS and the show runner read and change it
// there and hear of its changes from the playlist's listeners. Listening already, as they were
// made: the show runner (the playlist, and the main graph's events), MPRIS (the playlist), the
// playlist window (the playlist: its rows, the volume slider, the seek bar), remote operation (the
// playlist, for the status it publishes). Joined here: the program's end to the video form's
// close, the status line to the form and the window, the volume to the graphs, the window's and
// the keys' commands, and the exception report.
void TProgram::Wire() {
  EndWithMainForm(vizmoraFM);
  FPlayer->PlayList->SetPreload(!FLine.NoPreload);
  vizmoraFM->StatusLine = &FStatusLine;
  // The player's volume reaches both graphs; they keep the platform's own until it is first set.
  FPlayer->PlayList->Listeners.Add([Player = FPlayer.get(), Graphs = std::array<QPointer<TFilterGraph>, 2>{
                                                                 vizmoraFM->FG, vizmoraFM->SG}](TPlayListChange Change) {
    if (Change != TPlayListChange::pcVolume) return;
    for (TFilterGraph* Graph : Graphs)
      if (Graph) Graph->SetVolume(Player->Volume());
  });
  if (PlayLstFm) {
    PlayLstFm->Kinds = FKinds.get();
    PlayLstFm->DisplayStatusLine(FStatusLine);
    vizmoraFM->PopupMenu1->addActions({PlayLstFm->HidePL, PlayLstFm->ShowPL, PlayLstFm->Play, PlayLstFm->Pause,
                                       PlayLstFm->Stop, PlayLstFm->FullScreen, PlayLstFm->Restore});
    InstallShortcuts(*PlayLstFm, *vizmoraFM, *FControls);
    if (FLine.SkipBroken) PlayLstFm->SkipBroken->setChecked(true);
    if (FLine.Transition) PlayLstFm->Transition->SetValue(*FLine.Transition);
  } else if (FLine.Transition) {
    FPlayer->PlayList->SetTransition(*FLine.Transition);
  }
  // A show that skips what fails opens no box: nobody may be there to close it. What fails is
  // said on the status line, and on standard error the first time (round after round, a file
  // that is gone fails with the same words; the log keeps every time).
  SetExceptionReporter([this](const std::string& Message) {
    if (!SkipsBroken()) {
      if (FContext.Report) return FContext.Report(Message);
    } else {
      if (FStatusLine.HasDisplay()) FStatusLine.Show(Message);
      if (!FSaid.insert(Message).second) return;
    }
    FContext.Errors << "vizmora: " << Message << std::endl;
  });
}

void TProgram::Start() {
  AddArguments(*FKinds, FLine.Files, FContext.Errors, false);
  if (PlayLstFm) PlayLstFm->PlayListChanged();
  ApplyStartView();
  if (FSync && FPlayer->PlayList->Count() > 0)
    FSync->Start();
  else
    FRunner->Start();
  FMpris->Start(FContext.Errors);
}

void TProgram::ApplyStartView() {
  if (!PlayLstFm) return;
  if (FLine.FullScreen) PlayLstFm->FullScreenExecute();
  if (FLine.HidePlayList) PlayLstFm->HidePLExecute();
}

// A show on a shared clock never halts for a failure: the entry keeps its slot.
bool TProgram::SkipsBroken() const { return FClock ? true : PlayLstFm ? PlayLstFm->SkipBroken->isChecked() : FLine.SkipBroken; }
