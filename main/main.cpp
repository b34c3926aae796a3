// The program: the command line's quick jobs (help, version, listing and saving a playlist) need
// no display; anything else runs the show, assembled by TProgram, until the video form closes.
#include <cstdlib>
#include <iostream>

#include "app/CommandLine.h"
#include "app/PlayListCommands.h"
#include "framework/Application.h"
#include "main/Program.h"
#include "platform/com/ClassRegistry.h"
#include "platform/gst/GstMixerLayout.h"
#include "platform/gst/GstPlatform.h"
#include "platform/gst/GstShowClock.h"

namespace {
int RunShow(int argc, char** argv, const TCommandLine& Line) {
  if (Line.Headless) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  GstPlatformPreload();
  TApplication App(argc, argv);
  CoInitialize(nullptr);
  GstPlatformInitialize();
  SetWallTile({Line.WallCols, Line.WallRows, Line.WallIndex, Line.WallBezel});
  const bool Boxes = !Line.Headless && QGuiApplication::platformName() != "offscreen";
  TProgramContext Context{std::cout, std::cerr, Boxes ? MessageBoxReporter() : TExceptionReporter()};
  Context.MakeShowClock = [](const std::string& Source, const std::string& Serve, std::string& Error) {
    return std::unique_ptr<IShowClock>(TGstShowClock::Make(Source, Serve, Error));
  };
  TProgram Program(Line, Context);
  if (!Program.Create()) return 1;
  Program.Start();
  return App.exec();
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
