// Other players' playlists through the playlist window's dialogs: M3U and XSPF loaded beside the
// program's own, what could not become an entry told on the status line, and saved in the
// format the name or the chosen filter asks for.
#include <QComboBox>
#include <QFileInfo>
#include <fstream>
#include <sstream>

#include "gui/playlist/PlayListWindowFixture.h"

namespace {
std::string Slurp(const QString& Path) {
  std::ifstream In(QFile::encodeName(Path).toStdString(), std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}
}  // namespace

TEST_F(PlayListWindow, OtherPlayersPlayListsLoadWithNotesAndSaveInTheChosenFormat) {
  const QStringList Designed = {"Playlist (*.pll)"};
  EXPECT_EQ(Window().OLD->nameFilters().first(), Designed.first()) << "the designed pair first";
  EXPECT_EQ(Window().SLD->nameFilters().first(), Designed.first());
  EXPECT_EQ(Window().OLD->selectedNameFilter(), Designed.first());
  EXPECT_TRUE(Window().OLD->nameFilters().join(' ').contains("*.m3u8"));
  EXPECT_TRUE(Window().OLD->nameFilters().join(' ').contains("*.xspf"));

  const std::string Red = Media(TTestMedia::RedClip), Green = Media(TTestMedia::GreenJpeg);
  std::ofstream(QFile::encodeName(Dir.path() + "/mpv.m3u").toStdString())
      << "#EXTM3U\n#EXTINF:4,Red\n" << Red << "\nhttps://example.org/a.avi\nnotes.txt\n" << Green << "\n";
  AnswerFileDialog(Dir.path(), "mpv.m3u");
  ClickButton(Window().LoadPL);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Items(0)->FileName, Red);
  EXPECT_EQ(List().Items(1)->FileName, Green);
  const std::string Status = Window().StatusText();
  EXPECT_NE(Status.find("https://example.org/a.avi is a URL, skipped"), std::string::npos) << Status;
  EXPECT_NE(Status.find("(and 1 more skipped)"), std::string::npos) << Status;

  // XSPF chosen in the dialog, a name typed without an extension.
  auto* Poll = new QTimer;
  QObject::connect(Poll, &QTimer::timeout, [Poll, this] {
    if (QApplication::activeModalWidget() != Window().SLD) return;
    Poll->stop();
    Poll->deleteLater();
    auto* Types = Window().SLD->findChild<QComboBox*>("fileTypeCombo");
    QTest::keyClick(Types, Qt::Key_Down);
    QTest::keyClick(Types, Qt::Key_Down);
    AnswerFileDialog(Dir.path(), "mix");
  });
  Poll->start(50);
  ClickButton(Window().SavePL);
  EXPECT_TRUE(RunUntil([this] { return QFileInfo::exists(Dir.path() + "/mix.xspf"); }, 5000));
  EXPECT_TRUE(Slurp(Dir.path() + "/mix.xspf").starts_with("<?xml"));

  AnswerFileDialog(Dir.path(), "back.m3u8");
  ClickButton(Window().SavePL);
  const std::string M3u8 = Slurp(Dir.path() + "/back.m3u8");
  EXPECT_TRUE(M3u8.starts_with("#EXTM3U")) << M3u8;
  EXPECT_NE(M3u8.find(Green), std::string::npos);

  AnswerFileDialog(Dir.path(), "mix.xspf");
  ClickButton(Window().LoadPL);
  EXPECT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Items(3)->FileName, Green);
  EXPECT_TRUE(Reports.empty());
}
