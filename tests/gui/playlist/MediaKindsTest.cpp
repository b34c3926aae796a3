// Media people have today, beyond the AVI, VOB, JPEG and GIF of old: an H.264/AAC MP4, a
// VP9/Opus WebM, a PNG, a bitmap and a TIFF, chosen in the open dialog and played round
// through the window.
#include <QFileInfo>
#include <set>

#include "app/EntryKinds.h"
#include "engine/GIFPLE.h"
#include "framework/TimeText.h"
#include "gui/playlist/PlayListWindowFixture.h"
#include "platform/dshow/EventCodes.h"

TEST_F(PlayListWindow, NewerVideoAndPictureFormatsArePickedInTheDialogAndPlayRoundInTurn) {
  const std::string Mp4 = Media(TTestMedia::Mp4H264Aac);
  for (auto Kind : {TTestMedia::WebmVp9Opus, TTestMedia::Png, TTestMedia::Bmp, TTestMedia::Tiff}) Media(Kind);
  const QFileInfo Folder(QString::fromStdString(Mp4));
  AnswerFileDialog(Folder.absolutePath(),
                   "\"h264-aac.mp4\" \"vp9-opus.webm\" \"still.png\" \"still.bmp\" \"still.tiff\"");
  ClickButton(Window().AddFile);
  ASSERT_EQ(List().Count(), 5);
  for (int I = 0; I < 5; ++I) EXPECT_STREQ(EntryKindOf(*List().Items(I)).Name, I < 2 ? "video" : "picture") << I;
  for (int I = 2; I < 5; ++I) static_cast<TGIFPLE*>(List().Items(I))->DisplayTime = 1;
  ASSERT_TRUE(ShowsEveryRow());

  // Each entry in turn plays and brings a picture to the renderer; the list wraps round.
  std::set<int> Framed;
  vizmoraFM->FG->OnDSEvent = [this, &Framed](QObject*, LONG Event, LONG_PTR, LONG_PTR) {
    if (Event == EC_FIRST_FRAME) Framed.insert(List().Current);
  };
  DoubleClickRow(0);
  for (int Index : {0, 1, 2, 3, 4, 0}) {
    EXPECT_TRUE(RunUntil([this, Index] { return List().Current == Index && List().Items(Index)->State == esPlaying; }))
        << "entry " << Index << " did not start";
    EXPECT_TRUE(RunUntil([&Framed, Index] { return Framed.count(Index) == 1; })) << "entry " << Index << " showed nothing";
  }
  vizmoraFM->FG->OnDSEvent.Clear();
  EXPECT_EQ(Window().LB->Items(0), "h264-aac.mp4" + std::string(10, ' ') + TimeText(2 / 86400.0)) << "its length, played";
  EXPECT_EQ(Window().LB->Items(1), "vp9-opus.webm" + std::string(10, ' ') + TimeText(2 / 86400.0));
  EXPECT_TRUE(Reports.empty()) << Reports.front();
}
