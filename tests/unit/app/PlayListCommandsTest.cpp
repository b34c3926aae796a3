#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/EntryKinds.h"
#include "app/PlayListCommands.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"

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
            "{\"additional_file\":\"/m/logo.avi\",\"alpha\":0.5,\"duration\":90,\"file\":\"/m/clip.avi\",\"index\":0,"
            "\"kind\":\"video\",\"overlay\":{\"bottom\":0.75,\"left\":0.5,\"right\":1,\"top\":0.25}}");
  EXPECT_EQ(Lines[1],
            "{\"continue\":true,\"display_time\":7,\"duration\":0,\"file\":\"\",\"index\":1,\"kind\":\"picture\","
            "\"sound_file\":\"/m/song.mp3\"}");
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
  fs::create_directory(Dir / "folder.avi");
  EXPECT_EQ(SavePlayList({(Dir / "folder.avi").string()}, Out, Err), 1);
  EXPECT_NE(Err.str().find("folder.avi: is a folder, not a file"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out));
  EXPECT_EQ(SavePlayList({Touch("b.avi")}, (Dir / "no-dir" / "out.pll").string(), Err), 1);
  EXPECT_NE(Err.str().find("Cannot create file"), std::string::npos);
}

TEST_F(PlayListCommandsTest, OtherPlayersPlaylistsGiveEntriesOfTheirKindWithItsDefaults) {
  Touch("clip.avi");
  Touch("photo.jpg");
  const auto M3U = (Dir / "mpv.m3u").string();
  std::ofstream(M3U) << "clip.avi\nhttp://example.com/live.avi\nnotes.txt\n" << (Dir / "photo.jpg").string() << "\n";
  const auto Lines = ListLines(M3U, 0);
  ASSERT_EQ(Lines.size(), 2u);
  EXPECT_EQ(Lines[0], "{\"additional_file\":\"\",\"alpha\":1,\"duration\":0,\"file\":\"" + (Dir / "clip.avi").string() +
                          "\",\"index\":0,\"kind\":\"video\",\"overlay\":{\"bottom\":0.1,\"left\":0,\"right\":0.1,\"top\":0}}");
  EXPECT_EQ(Lines[1], "{\"continue\":false,\"display_time\":10,\"duration\":0,\"file\":\"" + (Dir / "photo.jpg").string() +
                          "\",\"index\":1,\"kind\":\"picture\",\"sound_file\":\"\"}");
  EXPECT_NE(LastErrors.find(M3U + ": line 2: http://example.com/live.avi is a URL, skipped"), std::string::npos)
      << LastErrors;
  EXPECT_NE(LastErrors.find(M3U + ": " + (Dir / "notes.txt").string() + ": not a supported media file, skipped"),
            std::string::npos)
      << LastErrors;

  // A broken XSPF keeps the tracks before the break and fails the listing.
  const auto Xspf = (Dir / "cut.xspf").string();
  std::ofstream(Xspf) << "<playlist xmlns='http://xspf.org/ns/0/'><trackList><track><location>clip.avi</location>"
                         "</track><track><location>photo.jpg";
  EXPECT_EQ(ListLines(Xspf, 1).size(), 1u);
  EXPECT_NE(LastErrors.find("Playlist file \"" + Xspf + "\" is broken at line 1"), std::string::npos) << LastErrors;
}

TEST_F(PlayListCommandsTest, SaveWritesTheFormatItsNameEndsInAndPllOtherwise) {
  const std::vector<std::string> Files = {Touch("a b.avi"), Touch("c.gif")};
  std::ostringstream Err;
  const auto Pll = (Dir / "show.pll").string();
  ASSERT_EQ(SavePlayList(Files, Pll, Err), 0) << Err.str();
  // Any name of no other format is the design's binary file, byte for byte.
  const auto Plain = (Dir / "show").string();
  ASSERT_EQ(SavePlayList(Files, Plain, Err), 0) << Err.str();
  auto Bytes = [](const std::string& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
  };
  EXPECT_EQ(Bytes(Plain), Bytes(Pll));
  EXPECT_EQ(Bytes(Pll)[0], '\0');

  for (const char* Name : {"show.m3u8", "show.M3U", "show.xspf"}) {
    const auto Path = (Dir / Name).string();
    ASSERT_EQ(SavePlayList({Pll}, Path, Err), 0) << Err.str();
    EXPECT_EQ(Bytes(Path).rfind(Name[5] == 'x' ? "<?xml" : "#EXTM3U\n", 0), 0u) << Name;
    const auto Lines = ListLines(Path, 0);
    ASSERT_EQ(Lines.size(), 2u) << Name;
    EXPECT_NE(Lines[0].find("\"file\":\"" + Files[0] + "\""), std::string::npos) << Lines[0];
    EXPECT_NE(Lines[1].find("\"kind\":\"picture\""), std::string::npos) << Lines[1];
  }
  EXPECT_NE(Bytes((Dir / "show.m3u8").string()).find("\n" + Files[0] + "\n"), std::string::npos);
}
