// Four headless players on one shared clock: one publishes it, three follow it over UDP. Each
// entry's first frame carries the clock's time it is presented at; players in step agree on it.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <map>
#include <memory>

#include "app/EntryKinds.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "media/TestMedia.h"

namespace {
constexpr std::int64_t Agree = 5000000;  // 5 ms, in the clock's nanoseconds
constexpr int Cap = 120000;              // a failure guard, never a measure

// The realtime clock's time of an instant in milliseconds of the monotonic one (the events' "ms").
std::int64_t RealtimeNs(std::int64_t MonotonicMs) {
  using namespace std::chrono;
  const auto Offset = system_clock::now().time_since_epoch() - steady_clock::now().time_since_epoch();
  return MonotonicMs * 1000000 + duration_cast<nanoseconds>(Offset).count();
}

// A player and the first frames it reported: the clock's time of each by the entry's index.
struct TPlayer {
  std::unique_ptr<QProcess> Process = std::make_unique<QProcess>();
  std::vector<std::pair<std::int64_t, int>> Frames;  // (clock_ns, index)
  std::vector<std::int64_t> EndedNs;                 // by frame: when the entry before it finished
  std::string Said;

  std::int64_t Ended = 0;

  void Start(const QStringList& Arguments) {
    Frames.clear();
    EndedNs.clear();
    Process = std::make_unique<QProcess>();
    Process->setProgram(VIZMORA_PROGRAM);
    Process->setArguments(QStringList{"--headless", "--events"} + Arguments);
    QObject::connect(Process.get(), &QProcess::readyReadStandardOutput, [this] {
      while (Process->canReadLine()) {
        const QJsonObject Line = QJsonDocument::fromJson(Process->readLine()).object();
        if (Line["event"] == "finished") Ended = RealtimeNs(Line["ms"].toInteger());
        if (Line["event"] == "frame" && Line.contains("clock_ns")) {
          Frames.emplace_back(Line["clock_ns"].toInteger(), Line["index"].toInt());
          EndedNs.push_back(Ended);
        }
      }
    });
    QObject::connect(Process.get(), &QProcess::readyReadStandardError,
                     [this] { Said += Process->readAllStandardError().toStdString(); });
    Process->start();
  }
  // The frame this player showed within a second of At, if any; its first, where it joined the
  // show part way into an entry, does not count.
  const std::pair<std::int64_t, int>* Near(std::int64_t At) const {
    for (std::size_t I = 1; I < Frames.size(); ++I)
      if (std::llabs(Frames[I].first - At) < 1000000000) return &Frames[I];
    return nullptr;
  }
  ~TPlayer() {
    Process->kill();
    Process->waitForFinished();
  }
};

// A UDP port nothing uses just now.
int FreePort() {
  const int Socket = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t Size = sizeof Address;
  bind(Socket, reinterpret_cast<sockaddr*>(&Address), Size);
  getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Size);
  close(Socket);
  return ntohs(Address.sin_port);
}
}  // namespace

TEST(SyncShow, FourPlayersPresentEachEntryAtOneInstantAndARestartedOneRejoins) {
  QTemporaryDir Dir;
  qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
  TVizmoraPlayer Show;
  TEntryKinds Kinds{Show.PlayList, nullptr, nullptr, nullptr};
  // Slots of 3 s and more leave a loaded machine time to open each entry before its slot.
  for (auto Kind : {TTestMedia::RedClip, TTestMedia::Jpeg, TTestMedia::RedClip, TTestMedia::GreenJpeg}) {
    ASSERT_FALSE(TestMediaPath(Kind).empty());
    Kinds.AddMediaFile(TestMediaPath(Kind));
  }
  for (int Picture : {1, 3}) static_cast<TGIFPLE*>(Show.PlayList->Items(Picture))->DisplayTime = 3;
  const QString List = Dir.path() + "/show.pll";
  Kinds.SavePlayList(List.toStdString());

  const QString Port = QString::number(FreePort());
  const QStringList Follow{"--sync-clock", "127.0.0.1:" + Port, List};
  TPlayer Players[4];
  Players[0].Start({"--sync-serve", "127.0.0.1:" + Port, List});
  for (int I = 1; I < 4; ++I) Players[I].Start(Follow);

  // Slots every player showed from its start, by the server's stamps; each checked once.
  std::map<std::int64_t, bool> Checked;
  const auto CheckCommon = [&](std::size_t Want) {
    const bool Done = QTest::qWaitFor(
        [&] {
          for (std::size_t F = 2; F < Players[0].Frames.size(); ++F) {
            const auto [At, Index] = Players[0].Frames[F];
            bool All = true;
            for (int I = 1; I < 4; ++I) All = All && Players[I].Near(At);
            if (!All || Checked.count(At)) continue;
            Checked[At] = true;
            for (int I = 1; I < 4; ++I) {
              EXPECT_EQ(Players[I].Near(At)->second, Index) << "player " << I;
              EXPECT_LE(std::llabs(Players[I].Near(At)->first - At), Agree) << "player " << I << ", entry " << Index;
            }
          }
          return Checked.size() >= Want;
        },
        Cap);
    ASSERT_TRUE(Done) << "slots shown by all four: " << Checked.size() << "\n" << Players[0].Said << Players[1].Said;
  };
  // A player's first frame is where it joined, so a slot all four show from its start comes after.
  CheckCommon(6);
  // Each entry from the second plays to its slot's end: it finishes no earlier than a few frames
  // before the next one's first frame (on the publisher's clock, the realtime one).
  for (std::size_t F = 2; F < Players[0].Frames.size(); ++F)
    EXPECT_GE(Players[0].EndedNs[F], Players[0].Frames[F].first - Agree * 20) << "the entry before " << F << " ended early";

  kill(static_cast<pid_t>(Players[2].Process->processId()), SIGKILL);
  Players[2].Process->waitForFinished();
  Players[2].Start(Follow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Players[2].Frames.empty(); }, Cap)) << Players[2].Said;
  // It joins the slot the server is in at its first frame, seeking into it.
  const auto [Joined, JoinedIndex] = Players[2].Frames.front();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Players[0].Frames.back().first > Joined; }, Cap));
  std::pair<std::int64_t, int> Slot{0, -1};
  for (const auto& Frame : Players[0].Frames)
    if (Frame.first <= Joined + Agree) Slot = Frame;
  EXPECT_EQ(JoinedIndex, Slot.second) << "joined at " << Joined << ", in the slot from " << Slot.first;
  CheckCommon(Checked.size() + 2);
}
