// The list's rows following the playlist whoever changes it, entries moved by the File menu and
// by dragging a row, and files dropped onto the list, on real media with one entry playing.
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <fstream>

#include "app/EntryKinds.h"
#include "framework/FileNames.h"
#include "gui/playlist/PlayListWindowFixture.h"

namespace {
// The entries' file names without folders, in list order, as one text.
std::string Order(const TVizmoraPlayList& PL) {
  std::string Names;
  for (int I = 0; I < PL.Count(); ++I) Names += (I ? " " : "") + ExtractFileName(PL.Items(I)->FileName);
  return Names;
}
}  // namespace

class ReorderAndDrop : public PlayListWindow {
protected:
  // Three entries, the middle one, a 4 s video, playing.
  void StartWithMiddlePlaying() {
    for (auto Kind : {TTestMedia::GreenJpeg, TTestMedia::RedClip, TTestMedia::BlueClip}) Add(Kind);
    PlayRow(1);
    Playing = List().Items(1);
    ASSERT_TRUE(RunUntil([] { return PositionMs() > 300; }));
  }
  // The entry that played before is still current, playing, and was not started over.
  void ExpectPlayingOn(const char* When) {
    ASSERT_NE(List().Current, -1) << When;
    EXPECT_EQ(List().Items(List().Current), Playing) << When;
    EXPECT_EQ(Playing->State, esPlaying) << When;
    EXPECT_EQ(List().State, esPlaying) << When;
    const LONGLONG From = PositionMs();
    EXPECT_GT(From, 250) << When << ": started over";
    EXPECT_TRUE(RunUntil([From] { return PositionMs() > From; }, 10000)) << When << ": the graph stopped";
  }

  // Drags Data over the list and drops it at the point, as the desktop's drag does; answers
  // whether the list took it.
  bool Drop(QMimeData* Data, QPoint At) {
    if (!DragOver(Data, At)) return false;
    QDropEvent Dropped(QPointF(At), Actions, Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(Window().LB->viewport(), &Dropped);
    return Dropped.isAccepted();
  }
  bool DragOver(QMimeData* Data, QPoint At) {
    QWidget* Port = Window().LB->viewport();
    QDragEnterEvent Enter(At, Actions, Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(Port, &Enter);
    if (!Enter.isAccepted()) return false;
    QDragMoveEvent Move(At, Actions, Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(Port, &Move);
    return true;
  }
  static constexpr Qt::DropActions Actions = Qt::CopyAction | Qt::MoveAction;
  bool DropFiles(const QStringList& Paths) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& Path : Paths) Urls << (Path.contains("://") ? QUrl(Path) : QUrl::fromLocalFile(Path));
    Data.setUrls(Urls);
    return Drop(&Data, RowRect(0).center());
  }
  void DragRow(int From, QPoint To) {
    std::unique_ptr<QMimeData> Data(Window().LB->RowMimeData(From));
    EXPECT_TRUE(Drop(Data.get(), To));
  }

  TPlayListEntry* Playing = nullptr;
};

TEST_F(ReorderAndDrop, RowsFollowThePlayListChangedBehindTheWindow) {
  TEntryKinds& Kinds = Program->Kinds();
  Kinds.AddMediaFile(Media(TTestMedia::RedClip));
  Kinds.AddMediaFile(Media(TTestMedia::GreenJpeg));
  Kinds.AddMediaFile(Media(TTestMedia::BlueClip));
  ASSERT_TRUE(ShowsEveryRow());
  EXPECT_EQ(Window().LB->Items(2).substr(0, 8), "blue.avi");
  List().Move(2, 0);
  List().Remove(List().Items(1));
  ASSERT_TRUE(ShowsEveryRow());
  EXPECT_EQ(Window().LB->Count(), 2);
  EXPECT_EQ(Window().LB->Items(0).substr(0, 8), "blue.avi");
  EXPECT_EQ(Window().LB->Items(1).substr(0, 9), "green.jpg");
}

TEST_F(ReorderAndDrop, MoveUpAndDownCarryTheFocusedEntryWhileTheCurrentOnePlaysOn) {
  StartWithMiddlePlaying();
  ClickRow(2);
  ChooseMenuItem("File", Window().MoveUp);
  EXPECT_EQ(Order(List()), "green.jpg blue.avi red.avi");
  EXPECT_EQ(Window().LB->ItemIndex(), 1) << "the focus goes with the entry";
  EXPECT_TRUE(Window().LB->Selected(1) && !Window().LB->Selected(2));
  ChooseMenuItem("File", Window().MoveUp);
  EXPECT_EQ(Order(List()), "blue.avi green.jpg red.avi");
  ChooseMenuItem("File", Window().MoveUp);  // already first: nothing moves
  EXPECT_EQ(Order(List()), "blue.avi green.jpg red.avi");
  ExpectPlayingOn("after others crossed it");

  ClickRow(2);  // the playing entry itself
  ChooseMenuItem("File", Window().MoveUp);
  ChooseMenuItem("File", Window().MoveUp);
  EXPECT_EQ(Order(List()), "red.avi blue.avi green.jpg");
  ChooseMenuItem("File", Window().MoveDown);
  EXPECT_EQ(Order(List()), "blue.avi red.avi green.jpg");
  EXPECT_EQ(List().Current, 1);
  ExpectPlayingOn("after it moved");
  EXPECT_TRUE(Reports.empty());
}

TEST_F(ReorderAndDrop, ARowDraggedMovesItsEntryAndOnlyThisListsRowsAreTaken) {
  StartWithMiddlePlaying();
  DragRow(0, RowRect(2).center());
  EXPECT_EQ(Order(List()), "red.avi blue.avi green.jpg");
  EXPECT_EQ(Window().LB->ItemIndex(), 2);
  DragRow(2, RowRect(2).bottomLeft() + QPoint(5, 40));  // below the last row: to the end
  EXPECT_EQ(Order(List()), "red.avi blue.avi green.jpg");
  DragRow(0, RowRect(1).center());  // the playing entry
  EXPECT_EQ(Order(List()), "blue.avi red.avi green.jpg");
  ExpectPlayingOn("after the drags");

  // While a row is dragged down a line under the row it would land on shows where; it goes
  // when the drag leaves.
  std::unique_ptr<QMimeData> Row(Window().LB->RowMimeData(0));
  QWidget* Port = Window().LB->viewport();
  const auto LineUnderRow = [&] { return QColor(Port->grab().toImage().pixel(50, RowRect(1).bottom())) == Qt::black; };
  EXPECT_FALSE(LineUnderRow());
  ASSERT_TRUE(DragOver(Row.get(), RowRect(1).center()));
  EXPECT_TRUE(LineUnderRow());
  QDragLeaveEvent Leave;
  QCoreApplication::sendEvent(Port, &Leave);
  EXPECT_FALSE(LineUnderRow());

  // A row of another list, or of another run, moves nothing.
  QMimeData Stranger;
  Stranger.setData("application/x-vizmora-row", "1:2:0");
  EXPECT_FALSE(Drop(&Stranger, RowRect(2).center()));
  QMimeData Text;
  Text.setText("red.avi");
  EXPECT_FALSE(Drop(&Text, RowRect(2).center()));
  EXPECT_EQ(Order(List()), "blue.avi red.avi green.jpg");
}

TEST_F(ReorderAndDrop, DroppedFilesAreAppendedAndDroppedPlayListsLoadedWhilePlayingGoesOn) {
  Add(TTestMedia::GreenJpeg);
  Add(TTestMedia::RedClip);
  const QString Pll = Dir.path() + "/two.pll";
  Window().SavePlayList(QFile::encodeName(Pll).toStdString());
  const QString M3u = Dir.path() + "/one.m3u";
  std::ofstream(QFile::encodeName(M3u).toStdString()) << "#EXTM3U\n" << Media(TTestMedia::BlueClip) << "\n";
  const QString Text = Dir.path() + "/notes.txt";
  std::ofstream(QFile::encodeName(Text).toStdString()) << "x";
  const QString FolderLikeAVideo = Dir.path() + "/folder.avi";
  QDir().mkpath(FolderLikeAVideo);
  PlayRow(1);
  Playing = List().Items(1);
  ASSERT_TRUE(RunUntil([] { return PositionMs() > 300; }));

  ASSERT_TRUE(DropFiles({QString::fromStdString(Media(TTestMedia::BlueClip)), Text, FolderLikeAVideo,
                         "https://example.org/clip.avi", Pll, M3u, Dir.path() + "/gone.avi",
                         QString::fromStdString(Media(TTestMedia::GreenJpeg))}));
  EXPECT_EQ(Order(List()), "green.jpg red.avi blue.avi green.jpg red.avi blue.avi green.jpg")
      << "in the drop's order; what is no media file of a kind is skipped";
  ASSERT_TRUE(ShowsEveryRow());
  EXPECT_EQ(Window().LB->Count(), 7);
  EXPECT_EQ(Window().StatusText(), QFile::encodeName(Text).toStdString() + ": not a supported media file, skipped");
  ExpectPlayingOn("after the drop");
  EXPECT_TRUE(Reports.empty());
}

TEST_F(ReorderAndDrop, DeletingARowAboveThePlayingOneLeavesPauseOnThePlayingEntry) {
  StartWithMiddlePlaying();
  ClickRow(0);
  ClickButton(Window().DelItem);
  EXPECT_EQ(List().Items(List().Current), Playing);
  ClickButton(Window().Pause);
  EXPECT_EQ(Playing->State, esPaused);
  EXPECT_TRUE(RunUntil([] { return vizmoraFM->FG->GraphState() == gsPaused; }));
  ClickButton(Window().Pause);
  EXPECT_TRUE(RunUntil([] { return vizmoraFM->FG->GraphState() == gsRunning; }));
  ExpectPlayingOn("after resuming");
}
