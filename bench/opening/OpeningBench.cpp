// How late the user-interface thread gets while entries open: the program's windows play each
// file given in turn (PlayIndex from the event loop, as a double click does), and a 10 ms
// timer measures how late it fires while an entry is opening. Run it with files that open
// slowly (bench/opening.sh preloads the slow-reads library). Ticks that an open held up count
// too, also when it had ended by the time they fired.
// Usage: opening_bench FILE...
// Prints: opens failed mean_open_ms p99_late_ms max_late_ms samples
#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <vector>

#include "app/EntryKinds.h"
#include "engine/VizmoraPlayer.h"
#include "main/Program.h"
#include "platform/gst/GstPlatform.h"

namespace {
constexpr int TickMs = 10;
// Each entry plays this long before the next one is started.
constexpr int PlayMs = 300;
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: opening_bench FILE...\n");
    return 2;
  }
  QApplication App(argc, argv);
  QTemporaryDir Settings;  // the user's own settings stay untouched
  qputenv("VIZMORA_REGISTRY", (Settings.path() + "/registry.reg").toUtf8());
  GstPlatformInitialize();
  // The program's windows, off the session bus; a failure is told, not shown in a box.
  TProgram Program({}, {std::cout, std::cerr, [](const std::string& Message) { std::fprintf(stderr, "opening_bench: %s\n", Message.c_str()); },
                        QDBusConnection(QStringLiteral("no bus"))});
  if (!Program.Create()) return 1;
  for (int I = 1; I < argc; ++I) Program.Kinds().AddMediaFile(argv[I]);
  TVizmoraPlayList& List = *Program.Player().PlayList;

  bool Opening = false;
  bool Opened = false;  // an open was under way since the last tick
  QElapsedTimer Open;
  std::vector<double> OpenMs;
  List.Listeners.Add([&](TPlayListChange Change) {
    if (Change == TPlayListChange::pcStarting) {
      Opening = Opened = true;
      Open.start();
    } else if (Change == TPlayListChange::pcCurrent && Opening) {
      Opening = false;
      OpenMs.push_back(double(Open.nsecsElapsed()) / 1e6);
    }
  });

  std::vector<double> Late;
  QElapsedTimer Since;
  QTimer Tick;
  Tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&Tick, &QTimer::timeout, [&] {
    const double Ms = double(Since.nsecsElapsed()) / 1e6;
    Since.start();
    // A tick held up by an open that has ended meanwhile counts too.
    if (Opened) Late.push_back(std::max(0.0, Ms - TickMs));
    Opened = Opening;
  });

  int Next = 0, Failed = 0;
  QTimer Step;
  Step.setSingleShot(true);
  QObject::connect(&Step, &QTimer::timeout, [&] {
    if (Next == List.Count()) {
      List.Stop();
      QCoreApplication::exit(0);
      return;
    }
    try {
      List.PlayIndex(Next++);
    } catch (const std::exception& E) {
      ++Failed;
      std::fprintf(stderr, "opening_bench: %s\n", E.what());
    }
    Step.start(PlayMs);
  });
  Since.start();
  Tick.start(TickMs);
  Step.start(500);  // the windows shown first
  App.exec();

  std::sort(Late.begin(), Late.end());
  const double P99 = Late.empty() ? 0 : Late[std::min(Late.size() - 1, Late.size() * 99 / 100)];
  double Mean = 0;
  for (double Ms : OpenMs) Mean += Ms / double(OpenMs.size());
  std::printf("%zu %d %.0f %.1f %.1f %zu\n", OpenMs.size(), Failed, Mean, P99, Late.empty() ? 0 : Late.back(), Late.size());
  return 0;
}
