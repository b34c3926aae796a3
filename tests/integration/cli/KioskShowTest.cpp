// Shows that run unattended, headless: what cannot play ends the show at once or is passed over,
// and every event reaches the log.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "RunVizmora.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "media/TestMedia.h"
#include "ui/EntryKinds.h"

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

  // Only missing files: the first fails and the show ends, also when it skips what fails.
  const QString Missing = QString::fromStdString(MissingMediaPath() + ".avi");
  const QString AlsoMissing = QString::fromStdString(MissingMediaPath() + ".jpg");
  const TRun Halting = RunVizmora({"--events", Missing, AlsoMissing}, 30000);
  EXPECT_EQ(Halting.Status, 2) << Halting.Errors;
  EXPECT_EQ(Halting.Events, (std::vector<std::string>{"failed 0"})) << Halting.Output;
  const TRun Skipping = RunVizmora({"--events", "--skip-broken", Missing, AlsoMissing}, 30000);
  EXPECT_EQ(Skipping.Status, 2) << Skipping.Errors;
  EXPECT_EQ(Skipping.Events, (std::vector<std::string>{"failed 0", "failed 1"})) << Skipping.Output;
  EXPECT_NE(Skipping.Errors.find("no entry of the show could be played"), std::string::npos) << Skipping.Errors;
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
  EXPECT_NE(R.Errors.find("The file was not found."), std::string::npos) << R.Errors;

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
