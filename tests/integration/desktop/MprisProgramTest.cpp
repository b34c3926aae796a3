#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>

#include "media/TestMedia.h"
#include "support/PrivateBus.h"

namespace {
const QString Player = "org.mpris.MediaPlayer2.Player";
const QString Name = "org.mpris.MediaPlayer2.vizmora";

class MprisProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Bus.Running()) << "dbus-daemon did not start";
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
  }
  void TearDown() override {
    if (Program.state() != QProcess::NotRunning) {
      Program.kill();
      Program.waitForFinished();
    }
  }
  // Starts the program on the private bus and waits until it has taken its name.
  bool Launch(const QStringList& Arguments) {
    Program.setProcessEnvironment(Bus.Environment());
    Program.start(VIZMORA_PROGRAM, Arguments);
    return WaitFor([&] {
      return Client.interface()->isServiceRegistered(Name).value() || Program.state() == QProcess::NotRunning;
    }) && Program.state() == QProcess::Running;
  }
  // Runs playerctl on the private bus; its output without the line end.
  QString PlayerCtl(const QStringList& Arguments) {
    QProcess P;
    P.setProcessEnvironment(Bus.Environment());
    P.start("playerctl", QStringList{"--player=vizmora"} + Arguments);
    if (!P.waitForFinished(30000)) return "playerctl timed out";
    return QString::fromUtf8(P.readAllStandardOutput()).trimmed();
  }
  QVariant Get(const QString& Property) { return MprisProperty(Client, Name, Player, Property); }
  bool Ends(int ExpectedStatus) {
    return Program.waitForFinished(60000) && Program.exitStatus() == QProcess::NormalExit &&
           Program.exitCode() == ExpectedStatus;
  }

  QTemporaryDir Dir;
  TPrivateBus Bus;
  QDBusConnection Client = Bus.Connect("client");
  QProcess Program;
};
}  // namespace

// As a kiosk is driven remotely: a headless show, steered as a desktop's media controls would.
TEST_F(MprisProgramTest, AHeadlessShowIsDrivenOverTheBus) {
  const QString Clip = QString::fromStdString(TestMediaPath(TTestMedia::RedClip));
  const QString Picture = QString::fromStdString(TestMediaPath(TTestMedia::Jpeg));
  ASSERT_FALSE(Clip.isEmpty() || Picture.isEmpty()) << "test media could not be generated";
  ASSERT_TRUE(Launch({"--headless", Clip, Picture})) << Program.readAllStandardError().toStdString();

  ASSERT_TRUE(WaitFor([&] { return PlayerCtl({"status"}) == "Playing"; }));
  EXPECT_EQ(PlayerCtl({"metadata", "xesam:title"}), QFileInfo(Clip).fileName());
  EXPECT_EQ(PlayerCtl({"metadata", "xesam:url"}), "file://" + Clip);
  EXPECT_GT(PlayerCtl({"metadata", "mpris:length"}).toLongLong(), 3000000);
  EXPECT_TRUE(Get("CanSeek").toBool());
  // The position comes at the graph's resolution, not in whole seconds.
  EXPECT_TRUE(WaitFor([&] { return Get("Position").toLongLong() % 1000000 != 0; }));

  // Paused, the position stays where it is moved to.
  PlayerCtl({"pause"});
  ASSERT_TRUE(WaitFor([&] { return Get("PlaybackStatus").toString() == "Paused"; }));
  const QString Track = Get("Metadata").toMap().value("mpris:trackid").value<QDBusObjectPath>().path();
  CallMpris(Client, Name, Player, "SetPosition",
            {QVariant::fromValue(QDBusObjectPath(Track)), QVariant::fromValue(qlonglong{3000000})});
  EXPECT_TRUE(WaitFor([&] { return Get("Position").toLongLong() >= 2000000; })) << Get("Position").toLongLong();

  PlayerCtl({"next"});
  EXPECT_TRUE(WaitFor([&] { return PlayerCtl({"metadata", "xesam:title"}) == QFileInfo(Picture).fileName(); }));
  EXPECT_EQ(PlayerCtl({"status"}), "Playing");
  EXPECT_FALSE(Get("CanSeek").toBool()) << "a picture does not seek";
  PlayerCtl({"volume", "0.3"});
  EXPECT_TRUE(WaitFor([&] { return Get("Volume").toDouble() == 0.3; }));

  CallMpris(Client, Name, "org.mpris.MediaPlayer2", "Quit");
  EXPECT_TRUE(Ends(0)) << Program.readAllStandardError().toStdString();
}

// A kiosk's clip sought back over and over, for far longer than it lasts: the watchdog measures
// where it gets, so it is never taken for stalled.
TEST_F(MprisProgramTest, ASkippingShowSoughtBackAndForthPastItsLengthIsNeverCalledStalled) {
  const QString Clip = QString::fromStdString(TestMediaPath(TTestMedia::RedClip));  // 4 s
  ASSERT_FALSE(Clip.isEmpty()) << "test media could not be generated";
  const QString Log = Dir.path() + "/proof.log";
  ASSERT_TRUE(Launch({"--headless", "--skip-broken", "--loops", "1", "--log", Log, Clip}))
      << Program.readAllStandardError().toStdString();
  // Eight times 2 s of playing, each sought back: 16 s at least in a clip of 4.
  for (int Round = 0; Round < 8; ++Round) {
    ASSERT_TRUE(WaitFor([&] { return Get("Position").toLongLong() >= 2500000; })) << "round " << Round;
    const QString Track = Get("Metadata").toMap().value("mpris:trackid").value<QDBusObjectPath>().path();
    CallMpris(Client, Name, Player, "SetPosition",
              {QVariant::fromValue(QDBusObjectPath(Track)), QVariant::fromValue(qlonglong{500000})});
    ASSERT_TRUE(WaitFor([&] { return Get("Position").toLongLong() < 2000000; })) << "round " << Round;
  }
  EXPECT_TRUE(Ends(0)) << Program.readAllStandardError().toStdString();
  QFile File(Log);
  ASSERT_TRUE(File.open(QIODevice::ReadOnly));
  const QByteArray Logged = File.readAll();
  EXPECT_FALSE(Logged.contains("stalled")) << Logged.toStdString();
  EXPECT_TRUE(Logged.contains("\"finished\"")) << Logged.toStdString();
}

TEST_F(MprisProgramTest, TheProgramInAWindowCanBeRaisedAndQuit) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no display";
  const QString Picture = QString::fromStdString(TestMediaPath(TTestMedia::Jpeg));
  ASSERT_TRUE(Launch({Picture})) << Program.readAllStandardError().toStdString();
  EXPECT_TRUE(MprisProperty(Client, Name, "org.mpris.MediaPlayer2", "CanRaise").toBool());
  EXPECT_EQ(CallMpris(Client, Name, "org.mpris.MediaPlayer2", "Raise").type(), QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return PlayerCtl({"status"}) == "Playing"; }));
  CallMpris(Client, Name, "org.mpris.MediaPlayer2", "Quit");
  EXPECT_TRUE(Ends(0)) << Program.readAllStandardError().toStdString();
}

TEST_F(MprisProgramTest, WithoutASessionBusTheShowRunsAndSaysSoOnce) {
  const QString Clip = QString::fromStdString(TestMediaPath(TTestMedia::BlueClip));
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + Dir.path() + "/no-bus");
  Program.setProcessEnvironment(Env);
  Program.start(VIZMORA_PROGRAM, {"--headless", "--loops", "1", Clip});
  EXPECT_TRUE(Ends(0)) << Program.readAllStandardError().toStdString();
  const QString Errors = QString::fromUtf8(Program.readAllStandardError());
  EXPECT_EQ(Errors.count("no D-Bus session bus"), 1) << Errors.toStdString();
}
