// Program start: the video form first (it makes the player), then the playlist window unless
// headless, then the command line's files, then the message loop until the video form closes.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "app/CommandLine.h"
#include "app/EntryKinds.h"
#include "app/PlayListCommands.h"
#include "app/PlayerControls.h"
#include "app/ProofLog.h"
#include "app/ResumeStore.h"
#include "app/ShowRunner.h"
#include "app/StatusLine.h"
#include "desktop/MprisService.h"
#include "engine/VizmoraPlayer.h"
#include "framework/Application.h"
#include "framework/ExceptionReport.h"
#include "media/VideoWindow.h"
#include "platform/com/ClassRegistry.h"
#include "platform/gst/GstPlatform.h"
#include "settings/Registry.h"
#include "ui/PlayLstFm.h"
#include "ui/ProgramStart.h"
#include "ui/PropertiesFrames.h"
#include "ui/vizmoraFM.h"

namespace {
// The resume store's value in the settings.
TResumeValue ResumeValue() {
  const auto Registry = [] { return TRegistry("Software\\Quorvex Software\\Vizmora"); };
  return {[Registry] { return Registry().ReadString("Resume", "Position", ""); },
          [Registry](const std::string& Value) { Registry().WriteString("Resume", "Position", Value); }};
}

int RunShow(int argc, char** argv, const TCommandLine& Line) {
  if (Line.Headless) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TApplication App(argc, argv);
  const bool Boxes = !Line.Headless && QGuiApplication::platformName() != "offscreen";
  if (Boxes) SetExceptionReporter(MessageBoxReporter());
  CoInitialize(nullptr);
  GstPlatformInitialize();
  InstallPropertiesFrames();

  try {
    CreateProgramForms(!Line.Headless);
  } catch (...) {
    ApplicationHandleException(nullptr);
    return 1;
  }
  TEntryKinds Kinds(ThePlayer->PlayList, vizmoraFM->FG, vizmoraFM->SG, vizmoraFM->VW);
  std::unique_ptr<TProofLog> Log;
  if (!Line.LogFile.empty()) {
    Log = std::make_unique<TProofLog>(Line.LogFile, std::cerr);
    if (!Log->Open()) {
      FreeProgramForms();
      return 1;
    }
  }
  AddArguments(Kinds, Line.Files, std::cerr);
  if (PlayLstFm) PlayLstFm->PlayListChanged();
  ApplyStartView(Line.FullScreen, Line.HidePlayList);
  std::optional<TResumeStore> Resume;
  if (Line.Resume) Resume.emplace(ResumeValue(), Line.Files, std::cerr);
  auto Runner = std::make_unique<TShowRunner>(
      ThePlayer->PlayList, vizmoraFM->FG,
      TShowOptions{Line.Loops, Line.Events ? &std::cout : nullptr, Log.get(), Resume ? &*Resume : nullptr,
                   SkipBrokenChoice(Line.SkipBroken), Line.Headless || Line.Loops > 0});
  if (Boxes)  // a show that skips what fails opens no box: nobody may be there to close it
    SetExceptionReporter([Box = MessageBoxReporter(), Show = Runner.get()](const std::string& Message) {
      if (!Show->SkipsBroken()) return Box(Message);
      ShowStatus(Message);
      std::cerr << "vizmora: " << Message << std::endl;
    });
  Runner->Start();
  TMainWindowCommands MainWindow{[] { return QGuiApplication::platformName() != QLatin1String("offscreen"); },
                                 [] {
                                   vizmoraFM->show();
                                   vizmoraFM->raise();
                                   vizmoraFM->activateWindow();
                                 },
                                 [] { vizmoraFM->close(); }};
  TPlayerControls Controls(*ThePlayer->PlayList, vizmoraFM->FG, vizmoraFM->SG, Kinds, MainWindow);
  auto Mpris = std::make_unique<TMprisService>(Controls, *ThePlayer->PlayList);
  Mpris->Start(std::cerr);
  const int Status = App.exec();
  Mpris.reset();  // before the playlist it listens to is freed
  if (Boxes) SetExceptionReporter(MessageBoxReporter());
  Runner.reset();  // before the graph it observes
  FreeProgramForms();
  return Status;
}
}  // namespace

int main(int argc, char** argv) {
  const TCommandLine Line = TCommandLine::Parse({argv + 1, argv + argc});
  if (!Line.Error.empty()) {
    std::cerr << "vizmora: " << Line.Error << "\n" << TCommandLine::Usage();
    return 1;
  }
  if (Line.Help) {
    std::cout << TCommandLine::Usage();
    return 0;
  }
  if (Line.Version) {
    std::cout << "vizmora " VIZMORA_VERSION "\n";
    return 0;
  }
  if (!Line.ListFile.empty()) return ListPlayList(Line.ListFile, std::cout, std::cerr);
  if (!Line.SaveFile.empty()) return SavePlayList(Line.Files, Line.SaveFile, std::cerr);
  return RunShow(argc, argv, Line);
}
