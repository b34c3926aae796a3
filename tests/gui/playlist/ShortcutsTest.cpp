// The keyboard from both windows: the keys of the menus' commands and those without a menu item,
// typed into the playlist window's list and into the video form, on real media.
#include <QDBusVariant>
#include <QFileInfo>
#include <cmath>

#include "framework/FileNames.h"
#include "gui/playlist/PlayListWindowFixture.h"
#include "settings/ProgressBarEx.h"
#include "settings/TrackBarEx.h"
#include "support/PrivateBus.h"

class Shortcuts : public PlayListWindow {
protected:
  // Green picture, red 4 s video, blue 2 s video.
  void AddThree() {
    for (auto Kind : {TTestMedia::GreenJpeg, TTestMedia::RedClip, TTestMedia::BlueClip}) Add(Kind);
  }
  // Types the key into the window, as the keyboard does into the focused widget of the active one.
  static void Type(QWidget* Form, QWidget* Target, int Key, Qt::KeyboardModifiers Modifiers = {}) {
    if (QApplication::activeWindow() != Form) {
      Form->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(Form)) << Form->objectName().toStdString();
    }
    QTest::keyClick(Target, static_cast<Qt::Key>(Key), Modifiers);
  }
  void TypeInList(int Key, Qt::KeyboardModifiers Modifiers = {}) { Type(&Window(), Window().LB, Key, Modifiers); }
  void TypeInVideo(int Key, Qt::KeyboardModifiers Modifiers = {}) { Type(vizmoraFM, vizmoraFM, Key, Modifiers); }
  // While paused, the keys for seeking move the position; answers it after each key.
  static LONGLONG SettledPositionMs() {
    LONGLONG Last = -2;
    RunUntil([&Last] {
      const LONGLONG Now = PositionMs();
      const bool Same = Now == Last;
      Last = Now;
      RunFor(100);
      return Same;
    }, 5000);
    return Last;
  }
  std::string FileOf(int Index) { return ExtractFileName(List().Items(Index)->FileName); }
};

TEST_F(Shortcuts, TheListsKeysPlayPauseSeekMoveAndDelete) {
  AddThree();
  ClickRow(0);
  TypeInList(Qt::Key_Down);
  EXPECT_EQ(Window().LB->ItemIndex(), 1);
  TypeInList(Qt::Key_Return);
  ASSERT_TRUE(RunUntil([this] { return List().Current == 1 && vizmoraFM->FG->GraphState() == gsRunning; }));
  ASSERT_TRUE(RunUntil([] { return PositionMs() > 300; }));
  TypeInList(Qt::Key_Space);
  ASSERT_EQ(List().State, esPaused);
  ASSERT_TRUE(RunUntil([] { return vizmoraFM->FG->GraphState() == gsPaused; }));
  // Each key seeks 5 % (of 4 s) on from where the entry is, and the bar follows.
  const long From = std::lround(SettledPositionMs() / 40.0);
  for (int I = 0; I < 4; ++I) TypeInList(Qt::Key_Right);
  EXPECT_NEAR(Window().trPos->Position(), From + 20, 1);
  EXPECT_NEAR(SettledPositionMs(), (From + 20) * 40, 100);
  TypeInList(Qt::Key_Left);
  EXPECT_NEAR(Window().trPos->Position(), From + 15, 1);
  EXPECT_NEAR(SettledPositionMs(), (From + 15) * 40, 100);
  TypeInList(Qt::Key_Space);
  EXPECT_EQ(List().State, esPlaying);

  TypeInList(Qt::Key_Up, Qt::ControlModifier);  // the playing entry, one up
  EXPECT_EQ(FileOf(0), "red.avi");
  EXPECT_EQ(List().Current, 0);
  EXPECT_EQ(Window().LB->ItemIndex(), 0);
  EXPECT_TRUE(Window().LB->Selected(0) && !Window().LB->Selected(1)) << "the moved row alone is selected";
  TypeInList(Qt::Key_Down);
  TypeInList(Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(FileOf(1), "blue.avi");
  EXPECT_EQ(List().Items(0)->State, esPlaying) << "the row deleted was not the playing one";
  EXPECT_TRUE(Reports.empty());
}

TEST_F(Shortcuts, FileKeysOpenTheDialogsAndSaveWritesTheChosenFormat) {
  const std::string Red = Media(TTestMedia::RedClip);
  AnswerFileDialog(QFileInfo(QString::fromStdString(Red)).absolutePath(), QFileInfo(QString::fromStdString(Red)).fileName());
  TypeInList('O', Qt::ControlModifier);
  ASSERT_EQ(List().Count(), 1);
  AnswerFileDialog(Dir.path(), "show.m3u8");
  TypeInList('S', Qt::ControlModifier);
  ASSERT_TRUE(QFileInfo::exists(Dir.path() + "/show.m3u8"));
  AnswerFileDialog(Dir.path(), "show.m3u8");
  TypeInVideo('L', Qt::ControlModifier);
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Items(1)->FileName, Red);
  EXPECT_TRUE(Reports.empty());
}

TEST_F(Shortcuts, TheVideoFormTakesTheKeysWithTheListHiddenOrBehindIt) {
  AddThree();
  ChooseMenuItem("View", Window().HidePL);
  TypeInVideo(Qt::Key_Down);  // no focus yet: the first row
  EXPECT_EQ(Window().LB->ItemIndex(), 0);
  for (int I = 0; I < 3; ++I) TypeInVideo(Qt::Key_Down);
  TypeInVideo(Qt::Key_Up);
  EXPECT_EQ(Window().LB->ItemIndex(), 1);
  TypeInVideo(Qt::Key_Enter);
  ASSERT_TRUE(RunUntil([this] { return List().Current == 1 && vizmoraFM->FG->GraphState() == gsRunning; }));

  TypeInVideo(Qt::Key_F);
  EXPECT_EQ(vizmoraFM->WindowState(), wsMaximized);
  EXPECT_TRUE(Window().Restore->isEnabled());
  TypeInVideo(Qt::Key_Escape);
  EXPECT_EQ(vizmoraFM->WindowState(), wsNormal);
  TypeInVideo(Qt::Key_F11);
  EXPECT_EQ(vizmoraFM->WindowState(), wsMaximized);
  TypeInVideo(Qt::Key_F);  // F and F11 toggle
  EXPECT_EQ(vizmoraFM->WindowState(), wsNormal);
  TypeInVideo(Qt::Key_F11);
  EXPECT_EQ(vizmoraFM->WindowState(), wsMaximized);
  TypeInVideo(Qt::Key_F11);
  EXPECT_EQ(vizmoraFM->WindowState(), wsNormal);

  ASSERT_TRUE(RunUntil([] { return PositionMs() > 300; }));
  TypeInVideo(Qt::Key_Space);
  EXPECT_EQ(List().State, esPaused);
  const long From = std::lround(SettledPositionMs() / 40.0);
  TypeInVideo(Qt::Key_Right);
  TypeInVideo(Qt::Key_Right);
  EXPECT_NEAR(SettledPositionMs(), (From + 10) * 40, 100);
  TypeInVideo(Qt::Key_Space);
  EXPECT_EQ(List().State, esPlaying);
  TypeInVideo(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(FileOf(2), "red.avi");
  EXPECT_EQ(List().Current, 2);
  TypeInVideo(Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(List().State, esStopped) << "the focused row was the playing one";

  QTimer::singleShot(0, [this] { TypeInVideo('Q', Qt::ControlModifier); });
  EXPECT_EQ(RunProgram(60000), 0) << "Ctrl+Q did not end the program";
  Program.reset();
  Start();  // for the fixture's end
  EXPECT_TRUE(Reports.empty());
}

// The volume lives in the player: the slider, MPRIS and the keys each set it, and every side,
// the graph included, reads back the same at once.
TEST_F(Shortcuts, TheVolumeSetFromTheSliderMprisOrAKeyReadsTheSameEverywhere) {
  TPrivateBus Bus;
  ASSERT_TRUE(Bus.Running()) << "dbus-daemon did not start";
  Restart({}, Bus.Connect("program"));
  Program->Start();
  QDBusConnection Client = Bus.Connect("client");
  const QString Name = "org.mpris.MediaPlayer2.vizmora", Player = "org.mpris.MediaPlayer2.Player";
  Add(TTestMedia::RedClip);
  PlayRow(0);
  TTrackBarEx* Slider = Window().SoundLev;
  // On the slider's scale: the slider, MPRIS (0..1) and the main graph (hundredths of a dB).
  const auto Everywhere = [&] {
    const int Mpris = qRound(MprisProperty(Client, Name, Player, "Volume").toDouble() * 10000);
    return std::vector<int>{Slider->Position(), Mpris, static_cast<int>(GraphVolume(vizmoraFM->FG)) + 10000};
  };
  QTest::mousePress(Slider, Qt::LeftButton, {}, QPoint(Slider->width() - 6, Slider->height() / 2));
  QTest::mouseMove(Slider, QPoint(Slider->width() / 2, Slider->height() / 2));
  QTest::mouseRelease(Slider, Qt::LeftButton, {}, QPoint(Slider->width() / 2, Slider->height() / 2));
  const int FromSlider = Slider->Position();
  ASSERT_LT(FromSlider, 9000);
  EXPECT_EQ(Everywhere(), std::vector<int>(3, FromSlider));

  const QDBusMessage Set = CallMpris(Client, Name, "org.freedesktop.DBus.Properties", "Set",
                                     {Player, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
  ASSERT_EQ(Set.type(), QDBusMessage::ReplyMessage) << Set.errorMessage().toStdString();
  EXPECT_EQ(Everywhere(), std::vector<int>(3, 2500));
  TypeInList(Qt::Key_Minus);
  EXPECT_EQ(Everywhere(), std::vector<int>(3, 1500));
  TypeInVideo(Qt::Key_Plus);
  TypeInVideo(Qt::Key_Plus);
  EXPECT_EQ(Everywhere(), std::vector<int>(3, 3500));
  EXPECT_TRUE(Reports.empty());
}
