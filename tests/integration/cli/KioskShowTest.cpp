// Shows that run unattended, headless: what cannot play ends the show at once or is passed over,
// and every event reaches the log.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QTemporaryDir>
#include <algorithm>
#include <iostream>

#include "RunVizmora.h"
#include "app/EntryKinds.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "media/TestMedia.h"

namespace {
class KioskShowTest : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    for (auto Kind : {TTestMedia::AviMjpegPcm, TTestMedia::Jpeg, TTestMedia::UnknownType})
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
  }
  QString Path(const char* Name) const { return Dir.path() + "/" + Name; }
  // Good entries at 0 and 2, a missing file at 1 and a file of no known type at 3.
  QString HalfBrokenShow() {
    Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
    Kinds.AddMediaFile(MissingMediaPath() + ".avi");
    Kinds.AddMediaFile(TestMediaPath(TTestMedia::Jpeg));
    static_cast<TGIFPLE*>(Player.PlayList->Items(2))->DisplayTime = 1;
    Kinds.AddMediaFile(TestMediaPath(TTestMedia::UnknownType));
    Kinds.SavePlayList(Path("show.pll").toStdString());
    return Path("show.pll");
  }
  // The log's lines, each parsed; a line that is not a JSON object fails the test.
  std::vector<QJsonObject> LogLines(const QString& File) {
    QFile Log(File);
    EXPECT_TRUE(Log.open(QIODevice::ReadOnly)) << File.toStdString();
    std::vector<QJsonObject> Lines;
    for (const QByteArray& Line : Log.readAll().split('\n')) {
      if (Line.isEmpty()) continue;
      const QJsonDocument Json = QJsonDocument::fromJson(Line);
      EXPECT_TRUE(Json.isObject()) << Line.toStdString();
      Lines.push_back(Json.object());
    }
    return Lines;
  }

  QTemporaryDir Dir;
  TVizmoraPlayer Player;
  TEntryKinds Kinds{Player.PlayList, nullptr, nullptr, nullptr};
};
}  // namespace

TEST_F(KioskShowTest, AShowWithNothingPlayableEndsAtOnceWithStatusTwo) {
  const TRun Empty = RunVizmora({}, 30000);
  EXPECT_EQ(Empty.Status, 2) << Empty.Errors;
  EXPECT_NE(Empty.Errors.find("nothing to play"), std::string::npos) << Empty.Errors;

  QFile Text(Path("notes.txt"));
  ASSERT_TRUE(Text.open(QIODevice::WriteOnly));
  Text.write("not media");
  Text.close();
  QFile Broken(Path("broken.pll"));
  ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
  Broken.write("\x05garbage that no playlist reads");
  Broken.close();
  for (const QString& File : {Path("notes.txt"), Path("broken.pll")}) {
    const TRun R = RunVizmora({"--loops", "1", File}, 30000);
    EXPECT_EQ(R.Status, 2) << File.toStdString() << ": " << R.Errors;
  }

  // Only missing files: the first fails and the show ends, also when a show of some rounds skips
  // what fails.
  const QString Missing = QString::fromStdString(MissingMediaPath() + ".avi");
  const QString AlsoMissing = QString::fromStdString(MissingMediaPath() + ".jpg");
  const TRun Halting = RunVizmora({"--events", Missing, AlsoMissing}, 30000);
  EXPECT_EQ(Halting.Status, 2) << Halting.Errors;
  EXPECT_EQ(Halting.Events, (std::vector<std::string>{"failed 0"})) << Halting.Output;
  const TRun Skipping = RunVizmora({"--events", "--skip-broken", "--loops", "1", Missing, AlsoMissing}, 30000);
  EXPECT_EQ(Skipping.Status, 2) << Skipping.Errors;
  EXPECT_EQ(Skipping.Events, (std::vector<std::string>{"failed 0", "failed 1"})) << Skipping.Output;
  EXPECT_NE(Skipping.Errors.find("no entry of the show could be played"), std::string::npos) << Skipping.Errors;

  // A show that goes on for good waits for its files to come back, as in a window.
  QProcess Waiting;
  Waiting.start(VIZMORA_PROGRAM, {"--headless", "--skip-broken", "--log", Path("proof.log"), Missing, AlsoMissing});
  const auto Waits = [this] {
    int N = 0;
    if (QFile::exists(Path("proof.log")))
      for (const QJsonObject& Line : LogLines(Path("proof.log"))) N += Line["reason"].toString().contains("starts in");
    return N;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return Waits() >= 2 || Waiting.state() == QProcess::NotRunning; }, 60000));
  EXPECT_EQ(Waiting.state(), QProcess::Running) << Waiting.readAllStandardError().toStdString();
  Waiting.terminate();
  Waiting.waitForFinished();
}

// A log that is no file is refused before the show begins; a FIFO nobody reads holds up nothing.
TEST_F(KioskShowTest, ALogThatIsNoFileIsRefusedAtStart) {
  const QString Fifo = Path("proof.fifo");
  ASSERT_EQ(mkfifo(Fifo.toLocal8Bit().constData(), 0600), 0);
  const QString Clip = QString::fromStdString(TestMediaPath(TTestMedia::AviMjpegPcm));
  for (const QString& Log : {Fifo, Dir.path()}) {
    const TRun R = RunVizmora({"--loops", "1", "--log", Log, Clip}, 30000);
    EXPECT_EQ(R.Status, 1) << Log.toStdString() << ": " << R.Errors;
    EXPECT_NE(R.Errors.find("cannot write the log " + Log.toStdString() + ": it is a"), std::string::npos) << R.Errors;
    EXPECT_TRUE(R.Events.empty());
  }
}

TEST_F(KioskShowTest, SkippingPlaysTheGoodEntriesRoundAfterRoundAndLogsEveryEvent) {
  const QString Show = HalfBrokenShow();
  const QString Log = Path("proof.log");
  const TRun R = RunVizmora({"--skip-broken", "--loops", "3", "--events", "--log", Log, Show});
  EXPECT_EQ(R.Status, 0) << R.Errors;
  std::vector<std::string> Round = {"started 0", "frame 0", "finished 0", "failed 1",
                                    "started 2", "frame 2", "finished 2", "failed 3"};
  std::vector<std::string> Expected;
  for (int I = 0; I < 3; ++I) Expected.insert(Expected.end(), Round.begin(), Round.end());
  EXPECT_EQ(R.Events, Expected) << R.Output << R.Errors;
  // Each file that fails is said once, round after round; the log keeps every time.
  const auto Said = [&R](const std::string& Text) {
    int N = 0;
    for (auto At = R.Errors.find(Text); At != std::string::npos; At = R.Errors.find(Text, At + 1)) ++N;
    return N;
  };
  EXPECT_EQ(Said("vizmora: The file was not found. ($80070002). " + MissingMediaPath() + ".avi"), 1) << R.Errors;
  EXPECT_EQ(Said("no such file"), 0) << R.Errors;
  // A failure's words: the kind of failure first, then the file and what GStreamer said of it.
  const std::string Unknown =
      "The type of the file is not known. ($80040240). " + TestMediaPath(TTestMedia::UnknownType) + ": ";
  EXPECT_EQ(Said(Unknown), 1) << R.Errors;

  // The log holds the same events and the skips, each stamped, failures with their reason, and
  // no frame stamped before its entry's start.
  std::vector<std::string> Logged;
  QString StartedAt;
  for (const QJsonObject& Line : LogLines(Log)) {
    const QString Event = Line["event"].toString(), Time = Line["time"].toString();
    Logged.push_back(Event.toStdString() + " " + std::to_string(Line["index"].toInt()));
    EXPECT_EQ(Time.size(), 29) << Time.toStdString();  // 2026-12-09T23:57:07.123+01:00
    EXPECT_FALSE(Line["file"].toString().isEmpty());
    if (Event == "failed") {
      EXPECT_FALSE(Line["reason"].toString().isEmpty());
      if (Line["index"].toInt() == 3) {
        EXPECT_TRUE(Line["reason"].toString().startsWith(QString::fromStdString(Unknown)));
        EXPECT_GT(Line["reason"].toString().size(), static_cast<qsizetype>(Unknown.size()));
      }
    }
    if (Event == "started") StartedAt = Time;
    if (Event == "frame") {
      EXPECT_LE(StartedAt, Time) << "a frame before its start";
    }
  }
  Round.insert(Round.begin() + 4, "skipped 1");
  Round.push_back("skipped 3");
  Expected.clear();
  for (int I = 0; I < 3; ++I) Expected.insert(Expected.end(), Round.begin(), Round.end());
  EXPECT_EQ(Logged, Expected);

  // Without skipping, the first failure halts the show, as ever.
  const TRun Halting = RunVizmora({"--loops", "3", "--events", Show});
  EXPECT_EQ(Halting.Status, 2) << Halting.Errors;
  EXPECT_EQ(Halting.Events, (std::vector<std::string>{"started 0", "frame 0", "finished 0", "failed 1"})) << Halting.Output;
}

// As a supervisor runs it: killed outright while the second entry plays, started again, the show
// comes back on that entry.
TEST_F(KioskShowTest, AfterAKillTheShowResumesOnTheSameEntry) {
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::Jpeg));
  static_cast<TGIFPLE*>(Player.PlayList->Items(0))->DisplayTime = 1;
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::Jpeg));
  Kinds.SavePlayList(Path("show.pll").toStdString());
  const QStringList Arguments = {"--headless", "--resume", "--events", "--log", Path("proof.log"), Path("show.pll")};
  // Starts the program and waits for the line; answers the events seen until then.
  QProcess Program;
  const auto RunUntilLine = [&Program, &Arguments](const std::string& Line) {
    std::string Output;
    Program.start(VIZMORA_PROGRAM, Arguments);
    QElapsedTimer Clock;
    Clock.start();
    std::vector<std::string> Events;
    for (auto Seen = Events.end(); Seen == Events.end(); Seen = std::find(Events.begin(), Events.end(), Line)) {
      if (Clock.elapsed() > 60000 || Program.state() == QProcess::NotRunning) return Events;
      Program.waitForReadyRead(100);
      Output += Program.readAllStandardOutput().toStdString();
      Events = EventsOf(Output);
    }
    Events.erase(std::find(Events.begin(), Events.end(), Line) + 1, Events.end());
    return Events;
  };
  ASSERT_EQ(RunUntilLine("started 1"), (std::vector<std::string>{"started 0", "frame 0", "finished 0", "started 1"}));
  Program.kill();  // SIGKILL
  Program.waitForFinished();

  QElapsedTimer Back;
  Back.start();
  EXPECT_EQ(RunUntilLine("frame 1"), (std::vector<std::string>{"started 1", "frame 1"}));
  std::cout << "from the restart to the first frame: " << Back.elapsed() << " ms\n";
  Program.kill();
  Program.waitForFinished();
  std::vector<std::string> Logged;
  for (const QJsonObject& Line : LogLines(Path("proof.log")))
    Logged.push_back(Line["event"].toString().toStdString() + " " + std::to_string(Line["index"].toInt()));
  // The kill may have come before or after the first run's frame of entry 1 was logged.
  const auto Resumed = std::find(Logged.begin(), Logged.end(), "resumed 1");
  ASSERT_NE(Resumed, Logged.end()) << ::testing::PrintToString(Logged);
  EXPECT_EQ(std::vector<std::string>(Resumed, Logged.end()), (std::vector<std::string>{"resumed 1", "started 1", "frame 1"}));

  // Another show does not start there.
  const TRun Other = RunVizmora({"--resume", "--loops", "1", "--events", QString::fromStdString(TestMediaPath(TTestMedia::Jpeg))});
  EXPECT_EQ(Other.Events.front(), "started 0");
}
