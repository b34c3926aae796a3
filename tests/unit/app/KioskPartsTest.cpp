// The parts of an unattended show that need no media: the log and its rotation, the entry to
// resume at and the watchdog.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <QJsonDocument>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ProofLog.h"
#include "app/ResumeStore.h"
#include "app/Watchdog.h"
#include "engine/AVIPLE.h"
#include "engine/VizmoraPlayer.h"
#include "fakes/ManualTimer.h"
#include "framework/DayFractions.h"
#include "framework/Exception.h"
#include "unit/engine/TestEntry.h"

namespace {
std::vector<std::string> LinesOf(const std::string& Path) {
  std::ifstream File(Path);
  std::vector<std::string> Lines;
  for (std::string Line; std::getline(File, Line);) Lines.push_back(Line);
  return Lines;
}
}  // namespace

TEST(ProofLog, OneLinePerEventWrittenThroughAndRotatedKeepingFiveOldFiles) {
  QTemporaryDir Dir;
  const std::string Path = (Dir.path() + "/proof.log").toStdString();
  std::ostringstream Errors;
  {
    TProofLog Log(Path, Errors, 300, 5);
    ASSERT_TRUE(Log.Open());
    Log.Write("failed", 1765324627123, 3, "/media/a \"b\".avi", "The file was not found.");
    // Written through: readable before the log is closed.
    ASSERT_EQ(LinesOf(Path).size(), 1u);
    const std::string Line = LinesOf(Path)[0];
    EXPECT_EQ(Line.find("{\"event\":\"failed\",\"file\":\"/media/a \\\"b\\\".avi\",\"index\":3,\"reason\":"
                        "\"The file was not found.\",\"time\":\"2025-12-"),
              0u)
        << Line;
    EXPECT_NE(Line.find(".123"), std::string::npos) << Line;
    for (int I = 0; I < 40; ++I) Log.Write("started", 1765324627000 + I, I, "/media/clip.avi", "");
  }
  // Every file is under the limit, the newest line in the log itself, six files in all.
  EXPECT_FALSE(std::ifstream(Path + ".6").good());
  for (const std::string& Name : {Path, Path + ".1", Path + ".5"}) {
    const auto Lines = LinesOf(Name);
    EXPECT_FALSE(Lines.empty()) << Name;
    std::size_t Size = 0;
    for (const auto& L : Lines) Size += L.size() + 1;
    EXPECT_LE(Size, 300u) << Name;
  }
  EXPECT_NE(LinesOf(Path).back().find("\"index\":39"), std::string::npos);
  EXPECT_EQ(LinesOf(Path).back().find("reason"), std::string::npos) << "no reason, no field";
  EXPECT_TRUE(Errors.str().empty()) << Errors.str();

  // A log that cannot be opened says so.
  TProofLog Nowhere((Dir.path() + "/no/such/folder/log").toStdString(), Errors);
  EXPECT_FALSE(Nowhere.Open());
  EXPECT_NE(Errors.str().find("cannot write the log"), std::string::npos);
}

namespace {
// The event of each line of the log; "not JSON" for a line that does not parse.
std::vector<std::string> EventsIn(const std::string& Path, int* Lost = nullptr) {
  std::vector<std::string> Events;
  for (const std::string& Line : LinesOf(Path)) {
    const QJsonDocument Json = QJsonDocument::fromJson(QByteArray::fromStdString(Line));
    Events.push_back(Json.isObject() ? Json["event"].toString().toStdString() : "not JSON");
    if (Lost && Json["event"] == "gap") *Lost += Json["lost"].toInt();
  }
  return Events;
}

// Unmounts what it was given when it goes.
struct TMounted {
  std::string Path;
  ~TMounted() { umount2(Path.c_str(), MNT_DETACH); }
};
}  // namespace

TEST(ProofLog, OnlyAFileWillDoAndNothingWaitsOnAFifoNobodyReads) {
  QTemporaryDir Dir;
  const std::string Fifo = (Dir.path() + "/fifo").toStdString();
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  std::ostringstream Errors;
  for (const auto& [Path, Kind] : {std::pair<std::string, std::string>{Fifo, "a FIFO"},
                                   {"/dev/null", "a device"},
                                   {Dir.path().toStdString(), "a folder"}}) {
    EXPECT_FALSE(TProofLog(Path, Errors).Open()) << Path;
    EXPECT_NE(Errors.str().find("cannot write the log " + Path + ": it is " + Kind + ", not a file"), std::string::npos)
        << Errors.str();
  }
}

TEST(ProofLog, AFolderThatGoesIsSaidOnceAndTheLogGoesOnWithAGapOnceItIsBack) {
  QTemporaryDir Dir;
  const std::string Folder = (Dir.path() + "/logs").toStdString(), Path = Folder + "/proof.log";
  std::filesystem::create_directory(Folder);
  std::ostringstream Errors;
  TProofLog Log(Path, Errors);
  ASSERT_TRUE(Log.Open());
  Log.Write("started", 1765324627000, 0, "/media/a.avi", "");
  std::filesystem::remove_all(Folder);
  for (int I = 1; I <= 3; ++I) Log.Write("started", 1765324627000 + I, I, "/media/a.avi", "");
  std::filesystem::create_directory(Folder);
  Log.Write("finished", 1765324628000, 3, "/media/a.avi", "");
  int Lost = 0;
  EXPECT_EQ(EventsIn(Path, &Lost), (std::vector<std::string>{"gap", "finished"}));
  EXPECT_EQ(Lost, 3);
  const std::string Said = Errors.str();
  EXPECT_NE(Said.find("the log " + Path + " is gone"), std::string::npos) << Said;
  EXPECT_EQ(std::count(Said.begin(), Said.end(), '\n'), 1) << Said;
}

// As root, on a tmpfs of 64 kB: lines that find no room are cut back off; each event is either
// in the file whole or counted in a gap line.
TEST(ProofLog, AFullDiskLeavesNoHalfLineAndAGapCountsWhatWasLost) {
  QTemporaryDir Dir;
  TMounted Small{Dir.path().toStdString() + "/small"};
  std::filesystem::create_directory(Small.Path);
  if (mount("tmpfs", Small.Path.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  const std::string Path = Small.Path + "/proof.log", Filler = Small.Path + "/filler";
  std::ostringstream Errors;
  TProofLog Log(Path, Errors);
  ASSERT_TRUE(Log.Open());
  const std::string File = "/media/" + std::string(200, 'x') + ".avi";
  Log.Write("started", 1765324627000, 0, File, "");
  {
    std::ofstream Fill(Filler, std::ios::binary);
    const std::string Block(4096, '\0');
    while (Fill.write(Block.data(), Block.size())) {
    }
  }
  for (int I = 1; I <= 30; ++I) Log.Write("started", 1765324627000 + I, I, File, "");
  std::filesystem::remove(Filler);
  for (int I = 31; I <= 32; ++I) Log.Write("started", 1765324627000 + I, I, File, "");

  int Lost = 0;
  const auto Events = EventsIn(Path, &Lost);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "not JSON"), 0);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "gap"), 1);
  EXPECT_GT(Lost, 0);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "started") + Lost, 33);
  EXPECT_EQ(Events.back(), "started");
  EXPECT_NE(Errors.str().find("cannot write the log " + Path + ": No space left on device"), std::string::npos)
      << Errors.str();
}

TEST(ResumeStore, TheSameShowResumesWhereItWasAnotherShowStartsAtTheBeginning) {
  std::string Kept;
  const TResumeValue Value{[&Kept] { return Kept; }, [&Kept](const std::string& V) { Kept = V; }};
  std::ostringstream Errors;
  TResumeStore Show(Value, {"/media/show.pll"}, Errors);
  EXPECT_EQ(Show.Load(), -1) << "nothing saved yet";
  Show.Save(7);
  EXPECT_EQ(TResumeStore(Value, {"/media/show.pll"}, Errors).Load(), 7);
  EXPECT_EQ(TResumeStore(Value, {"/media/other.pll"}, Errors).Load(), -1);
  EXPECT_EQ(TResumeStore(Value, {"/media/show.pll", "/media/a.avi"}, Errors).Load(), -1);
  // Files given one by one, with a relative path and a line break in a name.
  TResumeStore Files(Value, {"a.avi", "/media/line\nbreak.jpg"}, Errors);
  Files.Save(1);
  EXPECT_EQ(TResumeStore(Value, {"./a.avi", "/media/line\nbreak.jpg"}, Errors).Load(), 1);
  EXPECT_EQ(Show.Load(), -1) << "one show is remembered";
  EXPECT_TRUE(Errors.str().empty()) << Errors.str();

  // A value that cannot be read is said, and the show starts from its first entry.
  Kept = "seven [\"/media/show.pll\"]";
  EXPECT_EQ(Show.Load(), -1);
  EXPECT_NE(Errors.str().find("the entry to resume at cannot be read (\"seven"), std::string::npos) << Errors.str();
  const TResumeValue Binary{[]() -> std::string { throw Exception("Invalid data type for 'Position'"); },
                            [](const std::string&) {}};
  EXPECT_EQ(TResumeStore(Binary, {"/media/show.pll"}, Errors).Load(), -1);
  EXPECT_NE(Errors.str().find("(Invalid data type for 'Position'); the show starts at its first entry"),
            std::string::npos)
      << Errors.str();
}

namespace {
// A video entry whose position and length the test sets; it drives no graph.
class TTestVideo : public TAVIPLE {
public:
  TTestVideo() : TAVIPLE(nullptr) {}
  double GetDuration() override { return Length / SecsPerDay; }
  double GetExactPosition() override { return Position / SecsPerDay; }
  void Play() override { TPlayListEntry::Play(); }
  void Pause() override { State == esPaused ? TPlayListEntry::Play() : TPlayListEntry::Pause(); }
  void Stop() override { TPlayListEntry::Stop(); }
  double Length = 0, Position = 0;  // seconds
};

// A picture, as the watchdog sees one: its position the seconds it has been shown.
class TTestPicture : public TTestEntry {
public:
  TTestPicture() : TTestEntry("photo.jpg") {}
  double GetDuration() override { return Length / SecsPerDay; }
  double GetExactPosition() override { return Position / SecsPerDay; }
  double Length = 0, Position = 0;  // seconds
};

// A watchdog over one entry, on a clock and a timer the test drives.
class WatchdogTest : public ::testing::Test {
protected:
  void Watch(TPlayListEntry* Entry) {
    Player.PlayList->Add(Entry);
    Player.PlayList->PlayIndex(0);
    Dog.Watch();
  }
  // Seconds of looks, the entry's position moving Step seconds in each.
  void Play(int Seconds, double Step, double& Position) {
    for (int I = 0; I < Seconds; ++I) {
      Position += Step;
      Ms += 1000;
      Tick.Fire();
    }
  }

  TManualTimers Timers;
  TVizmoraPlayer Player;
  long long Ms = 0;
  std::vector<std::string> Stalls;
  TWatchdog Dog{Player.PlayList, [this](const std::string& Why) { Stalls.push_back(Why); }, [this] { return Ms; }};
  TManualTimer& Tick = *Timers.Made.back();
};
}  // namespace

TEST_F(WatchdogTest, AVideoSoughtBackAndForthPastItsLengthPlaysOnWhileOneStandingStillStalls) {
  auto* Video = new TTestVideo;
  Video->Length = 20;
  Watch(Video);
  // 60 s of playing in a 20 s video, sought back every 15 s.
  for (int Round = 0; Round < 4; ++Round) {
    Play(15, 1, Video->Position);
    Video->Position -= 12;
    Dog.Sought();
  }
  EXPECT_TRUE(Stalls.empty()) << Stalls.front();

  // Paused for long, it is not watched; resumed, its stillness counts afresh.
  Player.PlayList->PauseResume();
  Play(30, 0, Video->Position);
  Player.PlayList->PauseResume();
  Play(10, 0, Video->Position);
  EXPECT_TRUE(Stalls.empty()) << "nine seconds still is not yet a stall";
  Play(1, 0, Video->Position);
  ASSERT_EQ(Stalls.size(), 1u);
  EXPECT_NE(Stalls[0].find("has not moved for 10 s"), std::string::npos) << Stalls[0];
  EXPECT_FALSE(Tick.Enabled()) << "said once";
}

TEST_F(WatchdogTest, AVideoPlayingOnPastItsEndStallsAPictureNever) {
  auto* Video = new TTestVideo;
  Video->Length = 20;
  Watch(Video);
  Play(30, 1, Video->Position);
  EXPECT_TRUE(Stalls.empty());
  Play(1, 1, Video->Position);
  ASSERT_EQ(Stalls.size(), 1u);
  EXPECT_NE(Stalls[0].find("past the end of an entry 20 s long"), std::string::npos) << Stalls[0];

  // A picture's position is the time it has been shown: only its standing still would count.
  Player.PlayList->Remove(Video);
  auto* Picture = new TTestPicture;
  Picture->Length = 5;
  Watch(Picture);
  Play(60, 1, Picture->Position);
  EXPECT_EQ(Stalls.size(), 1u);
}
