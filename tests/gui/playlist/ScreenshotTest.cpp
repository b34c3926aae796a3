// The screenshot the desktop's software centres show: both windows side by side, a show playing,
// written where the AppStream data's build expects it.
#include <QDir>
#include <QFileInfo>
#include <QScreen>

#include "gui/playlist/PlayListWindowFixture.h"

TEST_F(PlayListWindow, ScreenshotOfBothWindowsWithAShowPlaying) {
  for (auto Kind : {TTestMedia::AviMjpegPcm, TTestMedia::GreenJpeg, TTestMedia::RedClip, TTestMedia::Vob,
                    TTestMedia::AnimatedGif})
    Add(Kind);
  const QRect Video(10, 10, 783, 647), List(Video.right() + 11, 10, 423, 645);
  vizmoraFM->SetBounds(Video.left(), Video.top(), Video.width(), Video.height());
  Window().SetBounds(List.left(), List.top(), List.width(), List.height());
  PlayRow(0);
  ClickRow(0);
  const QRect Both = Video.united(List).adjusted(-10, -10, 10, 10);
  QImage Shot;
  // The test picture's bars: many colours in the video's middle row once it draws.
  const auto Drawing = [&] {
    Shot = QGuiApplication::primaryScreen()->grabWindow(0, Both.x(), Both.y(), Both.width(), Both.height()).toImage();
    QList<QRgb> Colours;
    const int Y = Video.center().y() - Both.y();
    for (int X = Video.left() - Both.x(); X < Video.right() - Both.x(); X += 20)
      if (!Colours.contains(Shot.pixel(X, Y))) Colours << Shot.pixel(X, Y);
    return Colours.size() > 5 && PositionMs() > 500;
  };
  ASSERT_TRUE(RunUntil(Drawing)) << "the video did not draw";
  // The list's first row, focused and selected, in its navy.
  const QPoint Row = Window().LB->viewport()->mapToGlobal(RowRect(0).topLeft() + QPoint(200, 8)) - Both.topLeft();
  EXPECT_EQ(QColor(Shot.pixel(Row)), QColor(0, 0, 128));

  const QString File = VIZMORA_SCREENSHOT_FILE;
  ASSERT_TRUE(QDir().mkpath(QFileInfo(File).absolutePath()));
  ASSERT_TRUE(Shot.save(File, "PNG")) << File.toStdString();
  EXPECT_TRUE(Reports.empty());
}
