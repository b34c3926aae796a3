#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "RunVizmora.h"
#include "app/EntryKinds.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "media/TestMedia.h"

namespace {
class HeadlessShowTest : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    for (auto Kind : {TTestMedia::AviMjpegPcm, TTestMedia::AviMpeg4Mp3, TTestMedia::Jpeg, TTestMedia::AnimatedGif,
                      TTestMedia::Wav})
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
  }
  std::string PlayListPath() const { return (Dir.path() + "/show.pll").toStdString(); }

  QTemporaryDir Dir;
  TVizmoraPlayer Player;
  TEntryKinds Kinds{Player.PlayList, nullptr, nullptr, nullptr};
};
}  // namespace

TEST_F(HeadlessShowTest, AMixedPlaylistPlaysOnceInOrderAndEnds) {
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::Jpeg));
  auto* WithSound = static_cast<TGIFPLE*>(Player.PlayList->Items(1));
  WithSound->DisplayTime = 1;
  WithSound->SoundFile = TestMediaPath(TTestMedia::Wav);
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AnimatedGif));
  auto* CarriesOn = static_cast<TGIFPLE*>(Player.PlayList->Items(2));
  CarriesOn->DisplayTime = 1;
  CarriesOn->ContinueSound = true;
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMpeg4Mp3));
  auto* Overlaid = static_cast<TAVIPLE*>(Player.PlayList->Items(3));
  Overlaid->AdditionalFile = TestMediaPath(TTestMedia::AviMjpegPcm);
  Overlaid->OverlayRect = {0.6f, 0.6f, 0.95f, 0.95f};
  Overlaid->OverlayAlpha = 0.5f;
  Kinds.SavePlayList(PlayListPath());

  const TRun R = RunVizmora({"--loops", "1", "--events", QString::fromStdString(PlayListPath())});
  EXPECT_EQ(R.Status, 0) << R.Errors;
  // One frame event per entry, also for the one with an overlay (two video streams).
  EXPECT_EQ(R.Events, (std::vector<std::string>{"started 0", "frame 0", "finished 0", "started 1", "frame 1",
                                                "finished 1", "started 2", "frame 2", "finished 2", "started 3",
                                                "frame 3", "finished 3"}))
      << R.Output << R.Errors;
}

TEST_F(HeadlessShowTest, AnEntryThatFailsEndsALimitedShowWithStatusTwo) {
  const std::string Missing = MissingMediaPath() + ".avi";
  const TRun R = RunVizmora({"--loops", "1", "--events", QString::fromStdString(TestMediaPath(TTestMedia::AviMjpegPcm)),
                             QString::fromStdString(Missing)});
  EXPECT_EQ(R.Status, 2) << R.Errors;
  EXPECT_EQ(R.Events, (std::vector<std::string>{"started 0", "frame 0", "finished 0", "failed 1"})) << R.Output;
  EXPECT_NE(R.Output.find(Missing), std::string::npos) << "the failure names the file";
  EXPECT_NE(R.Errors.find("The file was not found. ($80070002). " + Missing), std::string::npos) << R.Errors;

  // The first entry failing ends the show as well.
  const TRun First = RunVizmora({"--loops", "1", "--events", QString::fromStdString(Missing)});
  EXPECT_EQ(First.Status, 2) << First.Errors;
  EXPECT_EQ(First.Events, (std::vector<std::string>{"failed 0"})) << First.Output;
}

// Video records hold any path a playlist file gives them. A picture there plays as a clip of
// one frame, and mixed over a clip it lasts as long as the clip: neither holds up the show.
// A name holding a NUL, or naming a folder, fails its entry instead of playing something else.
TEST_F(HeadlessShowTest, VideoRecordsHoldingPicturesOrNoFileNeverHoldUpTheShow) {
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
  Player.PlayList->Items(0)->FileName = TestMediaPath(TTestMedia::Jpeg);
  Kinds.AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
  static_cast<TAVIPLE*>(Player.PlayList->Items(1))->AdditionalFile = TestMediaPath(TTestMedia::Jpeg);
  Kinds.SavePlayList(PlayListPath());
  const TRun R = RunVizmora({"--loops", "1", "--events", QString::fromStdString(PlayListPath())});
  EXPECT_EQ(R.Status, 0) << R.Errors;
  EXPECT_EQ(R.Events, (std::vector<std::string>{"started 0", "frame 0", "finished 0", "started 1", "frame 1", "finished 1"}))
      << R.Output << R.Errors;

  const std::string Folder = (Dir.path() + "/folder.avi").toStdString();
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Folder)));
  const std::pair<std::string, std::string> Bad[] = {
      {TestMediaPath(TTestMedia::AviMjpegPcm) + std::string(1, '\0') + ".avi", "The file was not found."},
      {Folder, "The path names a folder, not a file."}};
  for (const auto& [Path, Message] : Bad) {
    Player.PlayList->Items(0)->FileName = Path;
    Kinds.SavePlayList(PlayListPath());
    const TRun Failed = RunVizmora({"--loops", "1", "--events", QString::fromStdString(PlayListPath())});
    EXPECT_EQ(Failed.Status, 2) << Failed.Errors;
    EXPECT_EQ(Failed.Events, (std::vector<std::string>{"failed 0"})) << Failed.Output;
    EXPECT_NE(Failed.Errors.find(Message), std::string::npos) << Failed.Errors;
  }
}

TEST_F(HeadlessShowTest, HelpVersionAndBadArguments) {
  EXPECT_EQ(RunVizmora({"--help"}).Status, 0);
  const TRun Version = RunVizmora({"--version"});
  EXPECT_EQ(Version.Status, 0);
  EXPECT_EQ(Version.Output.rfind("vizmora ", 0), 0u);
  const TRun Bad = RunVizmora({"--loops", "x"});
  EXPECT_EQ(Bad.Status, 1);
  EXPECT_NE(Bad.Errors.find("--loops needs a whole number"), std::string::npos);
}
