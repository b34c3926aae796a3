#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestEntry.h"
#include "support/FileSizeLimit.h"
#include "engine/VizmoraPlayer.h"

namespace fs = std::filesystem;

namespace {
struct PlayListFileTest : ::testing::Test {
  fs::path Dir;
  TVizmoraPlayer Player;
  TVizmoraPlayList& PL = *Player.PlayList;
  TTestKinds Kinds;

  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("vizmora-pll-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string PathOf(const std::string& Name) const { return (Dir / Name).string(); }
  static std::vector<std::uint8_t> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
  }
  static void WriteBytes(const std::string& Path, const std::vector<std::uint8_t>& Bytes) {
    std::ofstream Out(Path, std::ios::binary);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  }
  TTestEntry* Add(const std::string& Name, std::int32_t Extra) {
    auto* E = new TTestEntry(Name);
    E->Extra = Extra;
    PL.Add(E);
    return E;
  }
  TTestEntry* At(int I) const { return static_cast<TTestEntry*>(PL.Items(I)); }
  // The message of the error a save raises; "saved" when it raises none.
  template <typename Error>
  std::string SaveFailure(const std::string& Path) {
    try {
      WritePlayListFile(Path, PL, Kinds);
    } catch (const Error& E) {
      return E.Message;
    }
    return "saved";
  }
};
}  // namespace

TEST_F(PlayListFileTest, EmptyPlaylistGivesAnEmptyFileThatLoadsNothing) {
  const auto Path = PathOf("empty.pll");
  WritePlayListFile(Path, PL, Kinds);
  EXPECT_EQ(fs::file_size(Path), 0u);
  ReadPlayListFile(Path, PL, Kinds);
  EXPECT_EQ(PL.Count(), 0);
}

TEST_F(PlayListFileTest, RecordsAreTypeCodeThenBodyInPlaylistOrder) {
  Add("v", 0)->Duration = 0.5;
  Add("pq", 1);
  const auto Path = PathOf("two.pll");
  WritePlayListFile(Path, PL, Kinds);
  const auto Bytes = ReadBytes(Path);
  // code + length + name + double + extra
  ASSERT_EQ(Bytes.size(), (1 + 4 + 1 + 8 + 4) + (1 + 4 + 2 + 8 + 4u));
  EXPECT_EQ(Bytes[0], 0);
  EXPECT_EQ(Bytes[1], 1);
  EXPECT_EQ(Bytes[5], 'v');
  EXPECT_EQ(Bytes[18], 1);
  EXPECT_EQ(Bytes[23], 'p');
  EXPECT_EQ(Bytes[24], 'q');
}

TEST_F(PlayListFileTest, LoadingAppendsAfterTheEntriesAlreadyThere) {
  Add("/m/first.avi", 0)->Duration = 1.0 / 7.0;
  Add("/m/second.jpg", 1);
  const auto Path = PathOf("list.pll");
  WritePlayListFile(Path, PL, Kinds);

  int Appended = 0;
  ReadPlayListFile(Path, PL, Kinds, [&] { ++Appended; });
  ReadPlayListFile(Path, PL, Kinds);
  ASSERT_EQ(PL.Count(), 6);
  EXPECT_EQ(Appended, 2);
  EXPECT_EQ(Kinds.Created, (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(At(0)->FileName, "/m/first.avi");
  EXPECT_EQ(At(2)->FileName, "/m/first.avi");
  EXPECT_EQ(At(2)->Duration, 1.0 / 7.0);
  EXPECT_EQ(At(5)->FileName, "/m/second.jpg");
  EXPECT_EQ(PL.Current, 0);
}

TEST_F(PlayListFileTest, MissingFileLoadsNothing) {
  ReadPlayListFile(PathOf("nowhere.pll"), PL, Kinds);
  EXPECT_EQ(PL.Count(), 0);
}

TEST_F(PlayListFileTest, BrokenRecordsStopLoadingAndNameTheFileAndOffset) {
  // One good record of 18 bytes, then a record whose name length runs past the end.
  const std::vector<std::uint8_t> Good = {0, 1, 0, 0, 0, 'a', 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0};
  struct Case {
    const char* What;
    std::vector<std::uint8_t> Tail;
    const char* Says;
  };
  const std::vector<Case> Cases = {
      {"negative length", {1, 0xFE, 0xFF, 0xFF, 0xFF, 'x'}, "string length of -2"},
      {"length beyond the end", {1, 0xFF, 0xFF, 0xFF, 0x7F, 'x'}, "string length of 2147483647"},
      {"truncated body", {0, 1, 0, 0, 0, 'b', 0, 0}, "ends inside"},
      {"unknown type code", {7, 0, 0, 0, 0}, "unknown entry type 7"},
  };
  for (const auto& C : Cases) {
    TVizmoraPlayer P;
    std::vector<std::uint8_t> File = Good;
    File.insert(File.end(), C.Tail.begin(), C.Tail.end());
    const auto Path = PathOf("broken.pll");
    WriteBytes(Path, File);
    TTestKinds K;
    try {
      ReadPlayListFile(Path, *P.PlayList, K);
      ADD_FAILURE() << C.What << ": no exception";
    } catch (const EPlayListFormatError& E) {
      EXPECT_NE(E.Message.find(Path), std::string::npos) << E.Message;
      EXPECT_NE(E.Message.find("at byte 18"), std::string::npos) << E.Message;
      EXPECT_NE(E.Message.find(C.Says), std::string::npos) << E.Message;
    }
    ASSERT_EQ(P.PlayList->Count(), 1) << C.What;
    EXPECT_EQ(P.PlayList->Items(0)->FileName, "a");
    // No entry is made for an unknown code.
    EXPECT_EQ(K.Created.size(), std::string(C.What) == "unknown type code" ? 1u : 2u) << C.What;
  }
}

TEST_F(PlayListFileTest, FailedSaveLeavesTheOldFileByteForByte) {
  Add("/old/one.avi", 0);
  const auto Path = PathOf("keep.pll");
  WritePlayListFile(Path, PL, Kinds);
  ::chmod(Path.c_str(), 0640);
  const auto Before = ReadBytes(Path);

  Add("/new/two.avi", 0);
  TTestEntry* Failing = Add("/new/three.avi", 0);
  Failing->FailSave = true;  // fails after part of the new file is written
  EXPECT_THROW(WritePlayListFile(Path, PL, Kinds), EWriteError);
  EXPECT_EQ(ReadBytes(Path), Before);
  // Nothing is left lying beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);

  Failing->FailSave = false;
  WritePlayListFile(Path, PL, Kinds);
  struct stat S {};
  ::stat(Path.c_str(), &S);
  EXPECT_EQ(S.st_mode & 0777, 0640u) << "the new file keeps the old one's permissions";
  TVizmoraPlayer Other;
  ReadPlayListFile(Path, *Other.PlayList, Kinds);
  EXPECT_EQ(Other.PlayList->Count(), 3);
}

TEST_F(PlayListFileTest, SaveIntoAMissingFolderRaisesNamingThePath) {
  const auto Path = PathOf("no-such-folder/list.pll");
  try {
    WritePlayListFile(Path, PL, Kinds);
    FAIL() << "saved into a missing folder";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message.rfind("Cannot create file \"" + Path + "\". ", 0), 0u) << E.Message;
  }
}

// A disk that fills halfway through the save.
TEST_F(PlayListFileTest, SaveOntoAFullDiskLeavesTheOldFileByteForByte) {
  Add("/old/one.avi", 0);
  const auto Path = PathOf("full.pll");
  WritePlayListFile(Path, PL, Kinds);
  const auto Before = ReadBytes(Path);
  for (int I = 0; I < 20000; ++I) Add("/new/a-long-enough-name-" + std::to_string(I) + ".avi", I);
  {
    TFileSizeLimit Limit(64 * 1024);
    EXPECT_EQ(SaveFailure<EWriteError>(Path), "Stream write error: " + Path + ": File too large");
  }
  EXPECT_EQ(ReadBytes(Path), Before);
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
}

TEST_F(PlayListFileTest, SaveThroughALinkWritesItsFileAndAReadOnlyFileIsRefused) {
  Add("/m/one.avi", 0);
  fs::create_directories(Dir / "shows");
  const auto Real = PathOf("shows/real.pll");
  const auto Link = PathOf("link.pll");
  fs::create_symlink("shows/real.pll", Link);
  WritePlayListFile(Link, PL, Kinds);
  EXPECT_TRUE(fs::is_symlink(Link));
  EXPECT_EQ(fs::file_size(Real), 1 + 4 + 10 + 8 + 4u);

  const auto Before = ReadBytes(Real);
  fs::permissions(Real, fs::perms::owner_read | fs::perms::group_read);
  Add("/m/two.avi", 0);
  EXPECT_EQ(SaveFailure<EFCreateError>(Link), "Cannot create file \"" + Link + "\". Permission denied");
  EXPECT_EQ(ReadBytes(Real), Before);
  EXPECT_EQ(fs::status(Real).permissions(), fs::perms::owner_read | fs::perms::group_read);
}
