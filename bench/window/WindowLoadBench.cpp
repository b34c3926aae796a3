// Times loading one playlist file into the playlist window on a display, against the engine
// loading the same file, its entries wired to the same graphs, in the same process: a warm-up,
// then five of each in turns, each window load in a freshly started program.
// Usage: window_bench FILE
// Prints: entries engine_s window_s ratio   (best of five; the window's time runs until the list
// has painted its last state)
#include <malloc.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

#include "app/EntryKinds.h"
#include "engine/VizmoraPlayer.h"
#include "main/Program.h"
#include "media/VideoWindow.h"
#include "platform/gst/GstPlatform.h"
#include "ui/PlayLstFm.h"
#include "ui/vizmoraFM.h"

namespace {
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point Start) { return std::chrono::duration<double>(Clock::now() - Start).count(); }

// The engine's load, wired as the window wires entries.
double EngineLoad(const std::string& File, int& Entries) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, vizmoraFM->FG, vizmoraFM->SG, vizmoraFM->VW);
  const auto Start = Clock::now();
  Kinds.LoadPlayList(File);
  const double Seconds = Since(Start);
  Entries = Player.PlayList->Count();
  return Seconds;
}

double WindowLoad(const std::string& File) {
  const auto Start = Clock::now();
  PlayLstFm->LoadPlayList(File);
  QCoreApplication::processEvents();  // the last rows told to the list and painted
  return Since(Start);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_bench FILE\n");
    return 2;
  }
  // Freed memory stays with the process, so every load, the engine's and the window's, runs on
  // a heap already grown to the size of one list rather than on pages the kernel hands out.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  QApplication App(argc, argv);
  const std::string File = argv[1];
  QTemporaryDir Settings;  // the user's own settings stay untouched
  qputenv("VIZMORA_REGISTRY", (Settings.path() + "/registry.reg").toUtf8());
  GstPlatformInitialize();

  double Engine = 1e9, Window = 1e9;
  int Entries = 0;
  for (int Run = 0; Run <= 5; ++Run) {
    auto Program = std::make_unique<TProgram>(TCommandLine{}, TProgramContext{std::cout, std::cerr, {}, QDBusConnection(QStringLiteral("no bus"))});
    if (!Program->Create()) return 1;
    for (int I = 0; I < 20; ++I) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double E = EngineLoad(File, Entries);
    const double W = WindowLoad(File);
    if (PlayLstFm->LB->Count() != Entries) {
      std::fprintf(stderr, "the window shows %d entries, the file holds %d\n", PlayLstFm->LB->Count(), Entries);
      return 1;
    }
    Program.reset();
    if (Run == 0) continue;  // the warm-up
    Engine = std::min(Engine, E);
    Window = std::min(Window, W);
  }
  std::printf("%d %.6f %.6f %.2f\n", Entries, Engine, Window, Window / Engine);
  return 0;
}
