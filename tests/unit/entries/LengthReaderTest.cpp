// The lengths of a playlist's videos read in the background, over scripted media detectors:
// a few at a time off the event loop, rows in view first, failures with their reason, and
// nothing left behind by entries or a reader freed while files are read.
#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <memory>

#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/LengthReader.h"
#include "engine/VizmoraPlayList.h"
#include "fakes/FakeMediaDet.h"
#include "support/WaitUntil.h"

namespace {
class LengthReaderTest : public ::testing::Test {
protected:
  TAVIPLE* AddVideo(const std::string& Name) {
    auto* Video = new TAVIPLE(nullptr);
    Video->FileName = Name;
    PlayList.Add(Video);
    return Video;
  }
  bool Asked(const std::string& Name, std::size_t Within) {
    const std::vector<std::string> All = Dets.Asked();
    return std::find(All.begin(), All.begin() + std::min(Within, All.size()), Name) != All.end();
  }

  TFakeMediaDets Dets;
  TVizmoraPlayList PlayList;
};
}  // namespace

TEST_F(LengthReaderTest, VideosAreReadTwoAtATimeRowsInViewFirstWhileTheLoopRuns) {
  for (int I = 0; I < 12; ++I) {
    const std::string Name = "/show/clip" + std::to_string(I);
    if (I % 3 != 2) {
      AddVideo(Name + ".avi");
      continue;
    }
    auto* Picture = new TGIFPLE(nullptr);
    Picture->FileName = Name + ".jpg";
    PlayList.Add(Picture);
  }
  Dets.Script("/show/clip10.avi", {S_OK, 65.5});
  Dets.SetGate(false);
  TLengthReader Reader(PlayList, 2);
  int Told = 0;
  Reader.OnLengthRead = [&Told](TPlayListEntry*) { ++Told; };
  Reader.ReadFirst(10);
  Reader.ReadFirst(11);  // a picture: its length is its display time
  EXPECT_EQ(TLengthReader::Unknown(*PlayList.Items(0)), "The length is still to be read.");

  bool Ticked = false;
  QTimer::singleShot(0, [&Ticked] { Ticked = true; });
  ASSERT_TRUE(RunUntil([&] { return Dets.Asked().size() == 2 && Ticked; })) << "the loop ran while files were read";
  EXPECT_TRUE(Asked("/show/clip10.avi", 2)) << "the row in view first";
  RunFor(100);
  EXPECT_EQ(Dets.Asked().size(), 2u) << "no more at once than there are workers";

  Dets.SetGate(true);
  ASSERT_TRUE(RunUntil([&Told] { return Told == 8; }));
  EXPECT_EQ(Dets.Asked().size(), 8u) << "each video once, no picture";
  EXPECT_EQ(Dets.MostAtOnce(), 2);
  EXPECT_DOUBLE_EQ(PlayList.Items(10)->Duration, 65.5 / 86400);
  EXPECT_DOUBLE_EQ(PlayList.Items(0)->Duration, 1 / 86400.0);
  EXPECT_EQ(PlayList.Items(0)->LengthCheck, lcRead);
  EXPECT_EQ(PlayList.Items(11)->LengthCheck, lcUnread);
  EXPECT_EQ(TLengthReader::Unknown(*PlayList.Items(0)), "");

  // Entries added or moved later are read too.
  AddVideo("/show/late.avi");
  ASSERT_TRUE(RunUntil([&Told] { return Told == 9; }));
}

TEST_F(LengthReaderTest, AFileThatCannotBeReadIsMarkedWithWhyAndOneThatDoesNotTellKeepsItsLength) {
  TAVIPLE* Gone = AddVideo("/show/gone.avi");
  TAVIPLE* Stored = AddVideo("/show/stream.ts");
  Stored->Duration = 7 / 86400.0;  // as a playlist file held it
  TAVIPLE* Silent = AddVideo("/show/live.ts");
  Dets.Script(Gone->FileName, {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 0});
  Dets.Script(Stored->FileName, {S_OK, 0});
  Dets.Script(Silent->FileName, {S_OK, 0});
  TLengthReader Reader(PlayList);
  ASSERT_TRUE(RunUntil([&] { return Dets.Asked().size() == 3 && Silent->LengthCheck == lcRead; }));

  EXPECT_EQ(Gone->LengthCheck, lcFailed);
  EXPECT_EQ(TLengthReader::Unknown(*Gone), "The length cannot be read: The file was not found.");
  EXPECT_DOUBLE_EQ(Stored->Duration, 7 / 86400.0);
  EXPECT_EQ(TLengthReader::Unknown(*Stored), "");
  EXPECT_EQ(Silent->Duration, 0);
  EXPECT_NE(TLengthReader::Unknown(*Silent), "");
}

TEST_F(LengthReaderTest, EntriesFreedWhileReadAndAReaderFreedMidReadLeaveNothingBehind) {
  for (const char* Name : {"/a.avi", "/b.avi", "/c.avi"}) AddVideo(Name);
  Dets.SetGate(false);
  auto Reader = std::make_unique<TLengthReader>(PlayList, 2);
  ASSERT_TRUE(RunUntil([this] { return Dets.Asked().size() == 2; }));
  PlayList.Remove(PlayList.Items(1));
  PlayList.Remove(PlayList.Items(0));
  Dets.SetGate(true);
  ASSERT_TRUE(RunUntil([this] { return PlayList.Items(0)->LengthCheck == lcRead; }));
  EXPECT_EQ(Dets.Asked().size(), 3u);

  // Freed while its workers read: it waits for them, and their answers reach nothing.
  TAVIPLE* Late = AddVideo("/d.avi");
  Dets.SetGate(false);
  ASSERT_TRUE(RunUntil([this] { return Dets.Asked().size() == 4; }));
  Dets.SetGate(true);
  Reader.reset();
  RunFor(50);
  EXPECT_NE(Late->LengthCheck, lcReading);
}
