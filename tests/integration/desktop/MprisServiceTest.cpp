#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <sstream>

#include "app/EntryKinds.h"
#include "app/PlayerControls.h"
#include "desktop/MprisService.h"
#include "engine/VizmoraPlayer.h"
#include "support/PrivateBus.h"
#include "unit/engine/TestEntry.h"

namespace {
using Log = std::vector<std::string>;
const QString Player = "org.mpris.MediaPlayer2.Player";
const QString Root = "org.mpris.MediaPlayer2";

// Writes down each PropertiesChanged of the player interface as "Name=value" texts.
class TChangeRecorder : public QObject {
  Q_OBJECT

public:
  Log Heard;

public Q_SLOTS:
  void PropertiesChanged(const QString& Interface, const QVariantMap& Changed, const QStringList&) {
    for (auto It = Changed.cbegin(); It != Changed.cend(); ++It) {
      QString Value = It.value().toString();
      if (It.key() == "Metadata")
        Value = qdbus_cast<QVariantMap>(It.value().value<QDBusArgument>()).value("xesam:title").toString();
      Heard.push_back((Interface == Player ? "" : Interface + " ").toStdString() + It.key().toStdString() + "=" +
                      Value.toStdString());
    }
  }
};

// Resumes on a second Pause, as the program's entries do.
class TResumingEntry : public TTestEntry {
public:
  using TTestEntry::TTestEntry;
  void Pause() override {
    const bool Resume = State == esPaused;
    TTestEntry::Pause();
    if (Resume) State = esPlaying;
  }
};

class MprisServiceTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Bus.Running()) << "dbus-daemon did not start";
    for (const char* Name : {"a.avi", "b.jpg", "c.gif"}) PL.Add(new TResumingEntry(Name, &Calls));
  }
  bool Start() {
    std::ostringstream Errors;
    const bool Ok = Service.Start(Errors);
    StartErrors = Errors.str();
    return Ok;
  }
  QDBusMessage Call(const QString& Method, const QVariantList& Arguments = {}) {
    return CallMpris(Client, Service.ServiceName(), Player, Method, Arguments);
  }
  QVariant Get(const QString& Name, const QString& Interface = Player) {
    return MprisProperty(Client, Service.ServiceName(), Interface, Name);
  }
  TTestEntry& Entry(int I) { return static_cast<TTestEntry&>(*PL.Items(I)); }

  Log Calls;  // outlives the player, whose entries record their own freeing
  TPrivateBus Bus;
  QDBusConnection Client = Bus.Connect("client");
  TVizmoraPlayer ThePlayer;
  TVizmoraPlayList& PL = *ThePlayer.PlayList;
  TEntryKinds Kinds{&PL, nullptr, nullptr, nullptr};
  TPlayerControls Controls{ThePlayer, Kinds};
  TMprisService Service{Controls, PL, Bus.Connect("service")};
  std::string StartErrors;
};
}  // namespace

TEST_F(MprisServiceTest, TakesTheNameOrAnInstanceNameAndSaysWhoItIs) {
  ASSERT_TRUE(Start()) << StartErrors;
  EXPECT_EQ(Service.ServiceName(), "org.mpris.MediaPlayer2.vizmora");
  EXPECT_EQ(Get("Identity", Root).toString(), "Vizmora");
  EXPECT_EQ(Get("DesktopEntry", Root).toString(), "vizmora");
  EXPECT_TRUE(Get("CanQuit", Root).toBool());
  EXPECT_FALSE(Get("CanRaise", Root).toBool()) << "no window to raise";
  EXPECT_FALSE(Get("HasTrackList", Root).toBool());
  EXPECT_TRUE(Get("SupportedMimeTypes", Root).toStringList().contains("application/x-vizmora-playlist"));
  EXPECT_EQ(Get("SupportedUriSchemes", Root).toStringList(), QStringList{"file"});

  // A second player finds the name taken and takes its instance name.
  TMprisService Second(Controls, PL, Bus.Connect("second"));
  std::ostringstream Errors;
  ASSERT_TRUE(Second.Start(Errors)) << Errors.str();
  EXPECT_EQ(Second.ServiceName(),
            "org.mpris.MediaPlayer2.vizmora.instance" + QString::number(QCoreApplication::applicationPid()));
}

TEST_F(MprisServiceTest, MethodsDriveThePlaylistAndNextAndPreviousWrapRound) {
  ASSERT_TRUE(Start()) << StartErrors;
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Stopped");
  EXPECT_TRUE(Get("CanPlay").toBool());
  EXPECT_TRUE(Get("CanGoNext").toBool());
  EXPECT_FALSE(Get("CanSeek").toBool()) << "entries of the tests do not seek";
  Call("Play");
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Playing");
  Call("Play");  // already playing: nothing more
  Call("Next");
  Call("Next");
  Call("Next");  // past the last: the first
  EXPECT_EQ(PL.Current, 0);
  Call("Previous");  // before the first: the last
  EXPECT_EQ(PL.Current, 2);
  Call("Pause");
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Paused");
  Call("PlayPause");
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Playing");
  Call("PlayPause");
  Call("Stop");
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Stopped");
  Call("Pause");  // a stopped entry is not paused
  Call("PlayPause");
  EXPECT_EQ(Calls, (Log{"play a.avi", "stop a.avi", "play b.jpg", "stop b.jpg", "play c.gif", "stop c.gif", "play a.avi",
                        "stop a.avi", "play c.gif", "pause c.gif", "pause c.gif", "pause c.gif", "stop c.gif",
                        "play c.gif"}));

  // The track id is the entry's own: it goes with the entry when rows move.
  const QVariantMap Data = Get("Metadata").toMap();
  const QString Track = Data.value("mpris:trackid").value<QDBusObjectPath>().path();
  PL.Move(2, 0);
  EXPECT_EQ(Get("Metadata").toMap().value("mpris:trackid").value<QDBusObjectPath>().path(), Track);
  PL.Move(1, 2);
  EXPECT_EQ(Get("Metadata").toMap().value("mpris:trackid").value<QDBusObjectPath>().path(), Track);
  EXPECT_NE(Track, "/org/mpris/MediaPlayer2/TrackList/NoTrack");
  EXPECT_EQ(Data.value("xesam:title").toString(), "c.gif");
  EXPECT_TRUE(Data.value("xesam:url").toString().startsWith("file:///")) << Data.value("xesam:url").toString().toStdString();
  EXPECT_TRUE(Data.value("xesam:url").toString().endsWith("/c.gif"));
  EXPECT_FALSE(Data.contains("mpris:length")) << "length not known";
}

TEST_F(MprisServiceTest, ChangesAreAnnouncedOnceTheyHaveHappened) {
  ASSERT_TRUE(Start()) << StartErrors;
  TChangeRecorder Recorder;
  ASSERT_TRUE(Client.connect(Service.ServiceName(), "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                             "PropertiesChanged", &Recorder,
                             SLOT(PropertiesChanged(QString, QVariantMap, QStringList))));
  Entry(1).Length = 3.5 / 86400;
  Call("Next");  // from the first entry, which was not playing: one signal with both changes
  ASSERT_TRUE(WaitFor([&] { return Recorder.Heard.size() >= 2; }));
  Entry(1).Finish();  // the entry plays out; the playlist starts the next one
  ASSERT_TRUE(WaitFor([&] { return Recorder.Heard.size() >= 3; }));
  const QDBusMessage Set = CallMpris(Client, Service.ServiceName(), "org.freedesktop.DBus.Properties", "Set",
                                     {Player, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
  EXPECT_EQ(Set.type(), QDBusMessage::ReplyMessage) << Set.errorMessage().toStdString();
  ASSERT_TRUE(WaitFor([&] { return Recorder.Heard.size() >= 4; }));
  Call("Stop");
  ASSERT_TRUE(WaitFor([&] { return Recorder.Heard.size() >= 5; }));
  QTest::qWait(200);  // nothing more comes
  EXPECT_EQ(Recorder.Heard, (Log{"Metadata=b.jpg", "PlaybackStatus=Playing", "Metadata=c.gif", "Volume=0.25",
                                 "PlaybackStatus=Stopped"}));
  EXPECT_EQ(Get("Volume").toDouble(), 0.25);
  EXPECT_EQ(Controls.Volume(), 0.25);
}

TEST_F(MprisServiceTest, AnEntryThatFailsIsReportedAndTheServiceAnswersOn) {
  ASSERT_TRUE(Start()) << StartErrors;
  Entry(1).FailPlay = true;
  testing::internal::CaptureStderr();
  const QDBusMessage Reply = Call("Next");
  const std::string Report = testing::internal::GetCapturedStderr();
  EXPECT_NE(Report.find("cannot play b.jpg"), std::string::npos) << Report;
  EXPECT_EQ(Reply.type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Stopped");
  EXPECT_EQ(PL.Current, 1);
  Call("Next");
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Playing");
}

TEST_F(MprisServiceTest, WithoutABusThePlayerSaysSoOnceAndRunsOn) {
  TMprisService Lonely(Controls, PL, QDBusConnection::connectToBus(QString("unix:path=/nonexistent/bus"), "none"));
  QDBusConnection::disconnectFromBus("none");
  std::ostringstream Errors;
  EXPECT_FALSE(Lonely.Start(Errors));
  const std::string Said = Errors.str();
  EXPECT_EQ(Said.rfind("vizmora: no D-Bus session bus (", 0), 0u) << Said;
  EXPECT_EQ(std::count(Said.begin(), Said.end(), '\n'), 1) << Said;
  PL.PlayIndex(0);  // the playlist's notices reach a service that never started
  QTest::qWait(50);
  EXPECT_EQ(Lonely.ServiceName(), "");
}

#include "MprisServiceTest.moc"
