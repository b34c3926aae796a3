// Entries whose files open slowly (every read waits, as on a slow share: the program runs with
// the slow-reads library preloaded) played by the program's own form on real GStreamer: the
// event loop runs while an entry opens, whatever stops the entry then calls the open off, and
// nothing of the open stays behind.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <filesystem>

#include "engine/GIFPLE.h"
#include "engine/PlayListEntry.h"
#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "media/TestMedia.h"
#include "platform/gst/GstFilterGraph.h"
#include "platform/win/WorkItems.h"
#include "support/GstTestSupport.h"
#include "support/WaitUntil.h"
#include "VideoFormFixture.h"

namespace {
int Threads() {
  int N = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator("/proc/self/task")) ++N;
  return N;
}

// A window of the test's own: what reaches it while an entry opens.
class TProbe : public QWidget {
public:
  explicit TProbe(const bool& Opening) : FOpening(Opening) {}
  bool KeyWhileOpening = false, PaintWhileOpening = false;

protected:
  void keyPressEvent(QKeyEvent*) override { KeyWhileOpening = KeyWhileOpening || FOpening; }
  void paintEvent(QPaintEvent*) override { PaintWhileOpening = PaintWhileOpening || FOpening; }

private:
  const bool& FOpening;
};

class OpeningSlowFiles : public VideoFormFixture {
protected:
  void SetUp() override {
    ASSERT_NE(std::string::npos, qgetenv("LD_PRELOAD").indexOf("slow_reads"))
        << "run with LD_PRELOAD naming libvizmora_slow_reads.so, as ctest does";
    Slow = Dir.path().toStdString() + "/slow-reads";
    std::filesystem::create_directory(Slow);
    for (auto [Kind, Name] :
         {std::pair{TTestMedia::RedClip, "red.avi"}, {TTestMedia::Truncated, "cut.avi"}, {TTestMedia::Wav, "tone.wav"}}) {
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
      std::filesystem::copy_file(TestMediaPath(Kind), Slow / Name);
    }
    VideoFormFixture::SetUp();
    SetExceptionReporter([this](const std::string& Message) { Reports.push_back(Message); });
    Kinds->AddMediaFile((Slow / "red.avi").string());
    Kinds->AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));  // opens at the disk's pace
    Kinds->AddMediaFile((Slow / "cut.avi").string());
    Kinds->AddMediaFile(TestMediaPath(TTestMedia::GreenJpeg));
    static_cast<TGIFPLE*>(List().Items(3))->SoundFile = (Slow / "tone.wav").string();
    List().Listeners.Add([this](TPlayListChange Change) {
      if (Change == TPlayListChange::pcStarting) Opening = true;
      if (Change == TPlayListChange::pcCurrent) Opening = false;
    });
    // What a program that has opened files has anyway: GStreamer's and the pool's threads.
    Play(0);
    List().Stop();
    ASSERT_TRUE(WaitForWorkItems(20000));
    Graphs = TGstFilterGraph::Count();
    BaseThreads = Threads();
  }
  void TearDown() override {
    VideoFormFixture::TearDown();
    SetExceptionReporter({});
  }

  // Plays the entry from the event loop, as the window and the show do; While runs once the
  // entry has begun to open, from the loop that waits for it. Returns once PlayIndex has.
  void Play(int Index, std::function<void()> While = {}) {
    Opening = false;
    bool Returned = false;
    Failure.clear();
    const int Key = List().Listeners.Add([&](TPlayListChange Change) {
      if (Change == TPlayListChange::pcStarting && While) QTimer::singleShot(0, std::exchange(While, {}));
    });
    QTimer::singleShot(0, [&, Index] {
      try {
        List().PlayIndex(Index);
      } catch (const std::exception& E) {
        Failure = E.what();
      }
      Returned = true;
    });
    EXPECT_TRUE(RunUntil([&] { return Returned; }, 60000)) << "PlayIndex did not return";
    List().Listeners.Remove(Key);
    Opening = false;
  }
  // Everything the open made has gone: its graph, its threads, the work items tearing it down.
  bool LeftNothing() {
    return RunUntil([&] { return WaitForWorkItems(0) && TGstFilterGraph::Count() <= Graphs && Threads() <= BaseThreads; },
                    30000);
  }

  std::filesystem::path Slow;
  std::vector<std::string> Reports;
  std::string Failure;
  bool Opening = false;
  int Graphs = 0, BaseThreads = 0;
};
}  // namespace

TEST_F(OpeningSlowFiles, WhileAnEntryOpensTimersKeysAndPaintingGoOnThenItPlays) {
  TProbe Probe(Opening);
  Probe.resize(100, 100);
  Probe.show();
  int TicksWhileOpening = 0;
  QTimer Tick;
  QObject::connect(&Tick, &QTimer::timeout, [&] { TicksWhileOpening += Opening; });
  Tick.start(10);
  Play(0, [&] {
    QCoreApplication::postEvent(&Probe, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
    Probe.update();
  });
  EXPECT_GT(TicksWhileOpening, 0);
  EXPECT_TRUE(Probe.KeyWhileOpening);
  EXPECT_TRUE(Probe.PaintWhileOpening);
  EXPECT_EQ("", Failure);
  EXPECT_EQ(esPlaying, List().State);
  EXPECT_EQ(esPlaying, List().Items(0)->State);

  // A file that fails to open fails its Play with the text of a render on this thread.
  std::string Synchronous;
  try {
    const ComPtr<IGraphBuilder> Graph = NewGraph();
    CheckGraphResult(Render(Graph, (Slow / "cut.avi").string()), Graph.Get(), (Slow / "cut.avi").string());
  } catch (const EDirectShowException& E) {
    Synchronous = E.Message;
  }
  Play(2);
  EXPECT_FALSE(Synchronous.empty());
  EXPECT_EQ(Synchronous, Failure);
  EXPECT_EQ(esStopped, List().State);
  EXPECT_EQ(Failure, List().PlayError);
}

TEST_F(OpeningSlowFiles, StopAnotherEntryOrRemovingTheEntryCallsItsOpenOffLeavingNothing) {
  Play(0, [&] { List().Stop(); });
  EXPECT_EQ("", Failure);
  EXPECT_EQ(esStopped, List().State);
  EXPECT_NE(esPlaying, List().Items(0)->State);
  EXPECT_TRUE(LeftNothing()) << TGstFilterGraph::Count() << " graphs, " << Threads() << " threads; before "
                             << Graphs << ", " << BaseThreads;

  Play(0, [&] { List().PlayIndex(1); });
  EXPECT_EQ("", Failure);
  EXPECT_EQ(1, List().Current);
  EXPECT_EQ(esPlaying, List().State);
  EXPECT_EQ(esPlaying, List().Items(1)->State);
  EXPECT_NE(esPlaying, List().Items(0)->State);
  List().Stop();
  EXPECT_TRUE(LeftNothing());

  // A picture whose sound opens slowly.
  Play(3, [&] { List().Stop(); });
  EXPECT_EQ("", Failure);
  EXPECT_EQ(esStopped, List().State);
  EXPECT_NE(gsRunning, vizmoraFM->SG->GraphState());
  EXPECT_TRUE(LeftNothing());

  Play(0, [&] { List().Remove(List().Items(0)); });
  EXPECT_EQ("", Failure);
  EXPECT_EQ(3, List().Count());
  EXPECT_EQ(esStopped, List().State);
  EXPECT_TRUE(LeftNothing());
  EXPECT_TRUE(Reports.empty()) << Reports.front();
}

TEST_F(OpeningSlowFiles, ClosingTheWindowOrQuittingWhileAnEntryOpensEndsTheOpenQuietly) {
  Play(0, [] { QCoreApplication::exit(0); });
  EXPECT_EQ("", Failure);
  EXPECT_NE(esPlaying, List().Items(0)->State);
  // Every later event loop would end at once: the application's own loop clears the request.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();

  Play(0, [] { vizmoraFM->close(); });
  EXPECT_EQ("", Failure);
  EXPECT_NE(esPlaying, List().Items(0)->State);
  EXPECT_TRUE(Reports.empty()) << Reports.front();
  Program.reset();
  EXPECT_TRUE(RunUntil([&] { return WaitForWorkItems(0) && TGstFilterGraph::Count() == 0; }, 30000));
}
