// Program start: the video form first (it makes the player), then the playlist window unless
// headless, then the command line's files, then the message loop until the video form closes.
#include <cstdlib>
#include <iostream>
#include <memory>

#include "desktop/MprisService.h"
#include "desktop/PlayListControls.h"
#include "engine/VizmoraPlayer.h"
#include "framework/Application.h"
#include "framework/ExceptionReport.h"
#include "platform/com/ClassRegistry.h"
#include "platform/gst/GstPlatform.h"
#include "ui/CommandLine.h"
#include "ui/EntryKinds.h"
#include "ui/PlayListCommands.h"
#include "ui/PlayLstFm.h"
#include "ui/ProgramStart.h"
#include "ui/PropertiesFrames.h"
#include "ui/ShowRunner.h"
#include "ui/vizmoraFM.h"

namespace {
int RunShow(int argc, char** argv, const TCommandLine& Line) {
  if (Line.Headless) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TApplication App(argc, argv);
  if (!Line.Headless && QGuiApplication::platformName() != "offscreen")
    ReportExceptionsInMessageBoxes();
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
  AddArguments(Kinds, Line.Files, std::cerr);
  if (PlayLstFm) PlayLstFm->PlayListChanged();
  TShowRunner Runner(ThePlayer->PlayList, vizmoraFM->FG, Line.Loops, Line.Events ? &std::cout : nullptr);
  Runner.Start();
  TPlayListControls Controls(*ThePlayer->PlayList, vizmoraFM->FG, vizmoraFM->SG, Kinds, vizmoraFM);
  auto Mpris = std::make_unique<TMprisService>(Controls, *ThePlayer->PlayList);
  Mpris->Start(std::cerr);
  const int Status = App.exec();
  Mpris.reset();  // before the playlist it listens to is freed
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
