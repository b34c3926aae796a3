#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "ui/EntryKinds.h"
#include "ui/PlayListCommands.h"

namespace fs = std::filesystem;

namespace {
class PlayListCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vizmora-cmd-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Touch(const std::string& Name) {
    const auto P = (Dir / Name).string();
    std::ofstream(P) << "x";
    return P;
  }
  std::vector<std::string> ListLines(const std::string& Path, int ExpectedStatus) {
    std::ostringstream Out, Err;
    EXPECT_EQ(ListPlayList(Path, Out, Err), ExpectedStatus) << Err.str();
    LastErrors = Err.str();
    std::vector<std::string> Lines;
    std::istringstream In(Out.str());
    for (std::string L; std::getline(In, L);) Lines.push_back(L);
    return Lines;
  }
  fs::path Dir;
  std::string LastErrors;
};
}  // namespace

TEST_F(PlayListCommandsTest, KindsFollowTheExtension) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  for (const char* Name : {"clip.Avi", "CLIP.AVI", "scene.vob", "movie.Mp4", "talk.webm", "photo.jpeg", "photo.JPG",
                           "anim.gif", "photo.bmp", "shot.PNG", "scan.tiff", "song.mp3", "noext", "/dir.avi/noext",
                           "archive.avi.gz", "trailing.", "Ärger.AVİ"})
    Kinds.AddMediaFile(Name);
  ASSERT_EQ(Player.PlayList->Count(), 11);
  for (int I = 0; I < 5; ++I) EXPECT_NE(dynamic_cast<TAVIPLE*>(Player.PlayList->Items(I)), nullptr) << I;
  for (int I = 5; I < 11; ++I) EXPECT_NE(dynamic_cast<TGIFPLE*>(Player.PlayList->Items(I)), nullptr) << I;
  EXPECT_EQ(Player.PlayList->Current, 0);
  EXPECT_EQ(Player.PlayList->Items(0)->State, esIdle) << "adding plays nothing";
  EXPECT_EQ(CodeForEntryClass(*Player.PlayList->Items(0)), ecVideoEntry);
  EXPECT_EQ(CodeForEntryClass(*Player.PlayList->Items(10)), ecPictureEntry);
  EXPECT_STREQ(EntryKindOf(*Player.PlayList->Items(4)).Name, "video");
  EXPECT_STREQ(EntryKindOf(*Player.PlayList->Items(9)).Name, "picture");
  EXPECT_EQ(EntryClassForCode(2), nullptr);
}

TEST_F(PlayListCommandsTest, ListPrintsEveryStoredFieldOfBothKinds) {
  TVizmoraPlayer Player;
  TEntryKinds Kinds(Player.PlayList, nullptr, nullptr, nullptr);
  auto* Video = new TAVIPLE(&Player);
  Video->FileName = "/m/clip.avi";
  Video->Duration = 90 / 86400.0;
  Video->AdditionalFile = "/m/logo.avi";
  Video->OverlayRect = {0.5f, 0.25f, 1.0f, 0.75f};
  Video->OverlayAlpha = 0.5f;
  Player.PlayList->Add(Video);
  auto* Picture = new TGIFPLE(&Player);
  Picture->SoundFile = "/m/song.mp3";
  Picture->ContinueSound = true;
  Picture->DisplayTime = 7;
  Player.PlayList->Add(Picture);  // an empty file name is stored and listed as ""
  const auto Path = (Dir / "both.pll").string();
  Kinds.SavePlayList(Path);

  const auto Lines = ListLines(Path, 0);
  ASSERT_EQ(Lines.size(), 2u);
  EXPECT_EQ(Lines[0],
            "{\"index\":0,\"kind\":\"video\",\"file\":\"/m/clip.avi\",\"duration\":90,\"additional_file\":\"/m/logo.avi\","
            "\"overlay\":{\"left\":0.5,\"top\":0.25,\"right\":1,\"bottom\":0.75},\"alpha\":0.5}");
  EXPECT_EQ(Lines[1],
            "{\"index\":1,\"kind\":\"picture\",\"file\":\"\",\"duration\":0,\"sound_file\":\"/m/song.mp3\","
            "\"continue\":true,\"display_time\":7}");
}

TEST_F(PlayListCommandsTest, ListOfABrokenFilePrintsWhatWasReadAndFails) {
  const auto Good = Touch("a.jpg");
  const auto Path = (Dir / "broken.pll").string();
  std::ostringstream Err;
  ASSERT_EQ(SavePlayList({Good}, Path, Err), 0) << Err.str();
  std::ofstream(Path, std::ios::app | std::ios::binary) << '\x07';
  const auto Lines = ListLines(Path, 1);
  EXPECT_EQ(Lines.size(), 1u);
  EXPECT_NE(LastErrors.find(Path), std::string::npos);
  EXPECT_NE(LastErrors.find("unknown entry type 7"), std::string::npos);

  ListLines((Dir / "missing.pll").string(), 1);
  EXPECT_NE(LastErrors.find("missing.pll: no such playlist file"), std::string::npos);
}

TEST_F(PlayListCommandsTest, SaveThenListRoundTripWithPlaylistsAndSkippedFiles) {
  const auto First = (Dir / "first.pll").string();
  std::ostringstream Err;
  ASSERT_EQ(SavePlayList({Touch("intro.AVI"), Touch("photo.jpeg")}, First, Err), 0);
  const auto Second = (Dir / "second.pll").string();
  ASSERT_EQ(SavePlayList({First, Touch("song.mp3"), Touch("anim.gif"), First}, Second, Err), 0) << Err.str();
  EXPECT_NE(Err.str().find("song.mp3: not a supported media file, skipped"), std::string::npos);

  const auto Lines = ListLines(Second, 0);
  ASSERT_EQ(Lines.size(), 5u);
  EXPECT_NE(Lines[0].find("intro.AVI"), std::string::npos);
  EXPECT_NE(Lines[0].find("\"kind\":\"video\""), std::string::npos);
  EXPECT_NE(Lines[1].find("\"kind\":\"picture\""), std::string::npos);
  EXPECT_NE(Lines[2].find("anim.gif"), std::string::npos);
  EXPECT_NE(Lines[4].find("\"index\":4"), std::string::npos);
}

TEST_F(PlayListCommandsTest, SaveFailsWithoutWritingWhenAFileIsMissing) {
  const auto Out = (Dir / "out.pll").string();
  std::ostringstream Err;
  EXPECT_EQ(SavePlayList({Touch("a.avi"), (Dir / "gone.avi").string()}, Out, Err), 1);
  EXPECT_NE(Err.str().find("gone.avi: no such file"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out));
  EXPECT_EQ(SavePlayList({Touch("b.avi")}, (Dir / "no-dir" / "out.pll").string(), Err), 1);
  EXPECT_NE(Err.str().find("Cannot create file"), std::string::npos);
}
