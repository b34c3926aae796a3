// Shows in the program's windows that run unattended: whoever starts an entry, the show runner
// hears of it; skipping is an option of the window kept across a restart; at most one message
// box at a time; a kiosk's start full screen with the list hidden, the pointer hiding.
#include <unistd.h>

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/PlayerControls.h"
#include "app/ShowRunner.h"
#include "engine/GIFPLE.h"
#include "framework/Application.h"
#include "gui/playlist/PlayListWindowFixture.h"
#include "settings/Registry.h"
#include "ui/TransitionMenu.h"
#include "ui/PointerHider.h"

namespace {
// The events of the stream as "<event> <index>", frames left out.
std::vector<std::string> Starts(const std::string& Text) {
  std::vector<std::string> Seen;
  std::istringstream Lines(Text);
  for (std::string Line; std::getline(Lines, Line);) {
    const auto Field = [&Line](const std::string& Key) {
      const auto At = Line.find("\"" + Key + "\":") + Key.size() + 3;
      return Line.substr(At, Line.find_first_of("\",", At + 1) - At);
    };
    const std::string Event = Field("event").substr(1);
    if (Event != "frame") Seen.push_back(Event + " " + Field("index"));
  }
  return Seen;
}

}  // namespace

TEST_F(PlayListWindow, EntriesStartedFromTheWindowOrTheDesktopAreReportedAndCounted) {
  TCommandLine Line;
  Line.Loops = 1;
  Line.Events = true;
  const std::vector<std::function<void()>> StartSecond = {[this] { PlayRow(1); }, [this] { Program->Controls().Next(); }};
  for (const auto& StartIt : StartSecond) {
    Restart(Line);
    Events.str("");
    Add(TTestMedia::RedClip);
    Add(TTestMedia::Jpeg);
    static_cast<TGIFPLE*>(List().Items(1))->DisplayTime = 1;
    Program->Start();
    // Once the clip plays, the second entry is started from outside the show; its playing out
    // ends the round, and so the show.
    QTimer Watch;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
      if (List().Current != 0 || List().Items(0)->State != esPlaying) return;
      Watch.stop();
      StartIt();
    });
    Watch.start(50);
    EXPECT_EQ(RunProgram(60000), 0);
    EXPECT_EQ(Starts(Events.str()), (std::vector<std::string>{"started 0", "started 1", "finished 1"})) << Events.str();
  }
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, SkippingIsAnOptionOfTheControlMenuKeptAcrossARestart) {
  EXPECT_FALSE(Window().SkipBroken->isChecked());
  EXPECT_FALSE(Program->Runner().SkipsBroken());
  ChooseMenuItem("Control", Window().SkipBroken);
  EXPECT_TRUE(Window().SkipBroken->isChecked());
  EXPECT_TRUE(Program->Runner().SkipsBroken());
  ChooseMenuItem("Control", Window().SkipBroken);
  EXPECT_FALSE(Program->Runner().SkipsBroken()) << "asked anew each time";
  TCommandLine Skipping;
  Skipping.SkipBroken = true;
  Restart(Skipping);
  EXPECT_TRUE(Window().SkipBroken->isChecked()) << "the command line checks it";
  Program.reset();
  EXPECT_EQ(TRegistry("Software\\Quorvex Software\\Vizmora").ReadString("PlayLstFm", "SkipBroken.Checked", ""), "1");
  Start();
  EXPECT_TRUE(Window().SkipBroken->isChecked());
}

TEST_F(PlayListWindow, TheTransitionIsASubmenuOfTheControlMenuKeptAcrossARestart) {
  QMenu* Menu = Window().Transition->Menu();
  const auto Control = Window().MainMenu1->actions();
  EXPECT_TRUE(std::any_of(Control.begin(), Control.end(), [&](QAction* A) {
    return A->menu() && A->menu()->actions().contains(Menu->menuAction());
  })) << "not in the Control menu";
  QStringList Captions;
  for (QAction* Item : Menu->actions()) Captions << Item->text();
  EXPECT_EQ(Captions, (QStringList{"Cut", "Cross-fade", "Fade Through Black"}));
  EXPECT_EQ(List().Transition(), TTransition{});
  Menu->actions().at(1)->trigger();
  EXPECT_EQ(List().Transition(), (TTransition{tkCrossFade, 1000}));
  TCommandLine Black;
  Black.Transition = TTransition{tkThroughBlack, 500};
  Restart(Black);
  EXPECT_EQ(List().Transition(), *Black.Transition) << "the command line chooses";
  EXPECT_TRUE(Window().Transition->Menu()->actions().at(2)->isChecked());
  Program.reset();
  EXPECT_EQ(TRegistry("Software\\Quorvex Software\\Vizmora").ReadString("PlayLstFm", "Transition.Text", ""), "black:0.5");
  Start();
  EXPECT_EQ(List().Transition(), *Black.Transition);
}

TEST_F(PlayListWindow, ASecondErrorWhileAMessageBoxIsOpenGoesToStandardError) {
  const TExceptionReporter Box = MessageBoxReporter();
  int Boxes = 0;
  QTimer Look;
  QObject::connect(&Look, &QTimer::timeout, [&] {
    auto* Open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!Open) return;
    Look.stop();
    Box("second");  // while the first is open
    for (QWidget* W : QApplication::topLevelWidgets()) Boxes += qobject_cast<QMessageBox*>(W) && W->isVisible();
    Open->accept();
  });
  Look.start(50);
  testing::internal::CaptureStderr();
  Box("first");
  const std::string Errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Boxes, 1);
  EXPECT_EQ(Errors, "vizmora: second\n");
}

TEST_F(PlayListWindow, AKioskStartsFullScreenWithTheListHiddenAndThePointerHidesWhenStill) {
  TCommandLine Kiosk;
  Kiosk.FullScreen = Kiosk.HidePlayList = true;
  Restart(Kiosk);
  Program->Start();
  EXPECT_TRUE(vizmoraFM->FullScreen());
  EXPECT_EQ(vizmoraFM->WindowState(), wsMaximized);
  EXPECT_FALSE(Window().FullScreen->isEnabled());
  EXPECT_TRUE(Window().Restore->isEnabled());
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(Window().ShowPL->isEnabled());
  EXPECT_FALSE(Window().HidePL->isEnabled());

  ASSERT_TRUE(RunUntil([] { return vizmoraFM->cursor().shape() == Qt::BlankCursor; }, 10000))
      << "the pointer did not hide";
  QTest::mouseMove(vizmoraFM->VW, QPoint(20, 20));
  EXPECT_TRUE(RunUntil([] { return vizmoraFM->cursor().shape() != Qt::BlankCursor; }, 5000)) << "it did not come back";

  // Restored, the pointer stays however still it is.
  Window().RestoreExecute();
  QTest::mouseMove(vizmoraFM->VW, QPoint(30, 30));
  RunFor(2 * TPointerHider::StillMs + 500);
  EXPECT_NE(vizmoraFM->cursor().shape(), Qt::BlankCursor);
}

TEST_F(PlayListWindow, AnEntryWhoseGraphStallsIsSkippedWhenSkipping) {
  TCommandLine Line;
  Line.Loops = 1;
  Line.Events = Line.SkipBroken = true;
  Restart(Line);
  Add(TTestMedia::RedClip);
  Add(TTestMedia::Jpeg);
  Program->Start();
  // The clip's graph stops moving behind the playlist's back, as a source that stops sending does.
  QTimer Watch;
  QObject::connect(&Watch, &QTimer::timeout, [&] {
    if (List().Current != 0 || PositionMs() < 500) return;
    Watch.stop();
    vizmoraFM->FG->Pause();
  });
  Watch.start(50);
  EXPECT_EQ(RunProgram(90000), 0);
  EXPECT_EQ(Starts(Events.str()), (std::vector<std::string>{"started 0", "started 1", "finished 1"})) << Events.str();
  EXPECT_TRUE(Reports.empty()) << "a show that skips opens no box";
  EXPECT_NE(Errors.str().find("has not moved"), std::string::npos) << Errors.str();
}

// A show whose files are all gone waits longer and longer between rounds, and meanwhile uses
// next to no processor time.
TEST_F(PlayListWindow, AShowOfMissingFilesBacksOffAndStaysNearIdle) {
  const QString Log = Dir.path() + "/proof.log";
  QProcess Program;
  Program.start(VIZMORA_PROGRAM, {"--skip-broken", "--log", Log, QString::fromStdString(MissingMediaPath() + ".avi"),
                                  QString::fromStdString(MissingMediaPath() + ".jpg")});
  ASSERT_TRUE(Program.waitForStarted());
  const auto Waits = [&Log] {
    QFile File(Log);
    std::vector<std::string> Seen;
    if (!File.open(QIODevice::ReadOnly)) return Seen;
    for (const QByteArray& Line : File.readAll().split('\n'))
      if (const auto At = Line.indexOf("starts in "); At >= 0) Seen.push_back(Line.mid(At + 10).split('"')[0].toStdString());
    return Seen;
  };
  EXPECT_TRUE(RunUntil([&] { return Waits().size() >= 4; }, 60000));
  std::ifstream Stat("/proc/" + std::to_string(Program.processId()) + "/stat");
  std::string Text((std::istreambuf_iterator<char>(Stat)), {});
  std::istringstream Fields(Text.substr(Text.rfind(')') + 2));
  std::vector<std::string> F((std::istream_iterator<std::string>(Fields)), {});
  const double CpuSeconds = (std::stod(F.at(11)) + std::stod(F.at(12))) / sysconf(_SC_CLK_TCK);
  Program.terminate();
  Program.waitForFinished();
  EXPECT_EQ(Waits(), (std::vector<std::string>{"1 s", "2 s", "4 s", "8 s"}));
  // Start-up included; a show that tried again at once would use all of the 7 s waited.
  EXPECT_LT(CpuSeconds, 3) << "processor seconds over the four rounds";
  std::cout << "processor time over four failing rounds: " << CpuSeconds << " s\n";
}
