// The next entry prepared ahead and the fades between entries, played by the program's own form
// on real GStreamer in a window: the hand-over takes the prepared graph, a change of the list
// prepares anew, a stop leaves no graph behind; a cross-fade and a fade through black, sampled
// at each picture the window paints, and the show's report of the entries coming and going as
// they become visible and are gone; a picture's sound prepared with it and faded with it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <sstream>
#include <vector>

#include "engine/GIFPLE.h"
#include "engine/PlayListEntry.h"
#include "engine/VizmoraPlayList.h"
#include "media/TestMedia.h"
#include "media/VideoWindow.h"
#include "platform/dshow/MonotonicClock.h"
#include "platform/gst/GstFilterGraph.h"
#include "platform/win/WorkItems.h"
#include "support/WaitUntil.h"
#include "ui/vizmoraFM.h"
#include "VideoFormFixture.h"

namespace {
// Counts the renders the main graph is told of.
class TRenderCount : public IGraphObserver {
public:
  void ObserveGraphEvent(LONG, LONG_PTR, LONG_PTR) override {}
  void ObserveControl(TGraphControl Code, LONG) override { Renders += Code == gcBeforeRender; }
  int Renders = 0;
};

struct TSample {
  int R, G, B;
  float Level;  // the fade's, as it was painted
  long long Ms;  // the same on the clock the show's events are stamped with
  int Sum() const { return R + G + B; }
};

// The "ms" of the first event Event of entry Index in the --events lines; -1 for none.
long long EventMs(const std::string& Lines, const char* Event, int Index) {
  std::istringstream Stream(Lines);
  for (std::string Line; std::getline(Stream, Line);) {
    const QJsonObject Json = QJsonDocument::fromJson(QByteArray::fromStdString(Line)).object();
    if (Json["event"].toString() == Event && Json["index"].toInt() == Index) return Json["ms"].toInteger();
  }
  return -1;
}

class TransitionTest : public VideoFormFixture {
protected:
  void SetUp() override {
    for (auto Kind : {TTestMedia::RedClip, TTestMedia::GreenClip, TTestMedia::BlueClip})
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
    Line.Events = true;
    VideoFormFixture::SetUp();
  }
  TFilterGraph& Graph() { return *vizmoraFM->FG; }
  void Add(TTestMedia Kind) { ASSERT_TRUE(Kinds->AddMediaFile(TestMediaPath(Kind))); }
  void PlayFromLoop(int Index) {
    QTimer::singleShot(0, [this, Index] { List().PlayIndex(Index); });
  }
  bool GraphsSettleAt(int Count) {
    return RunUntil([&] { return WaitForWorkItems(0) && TGstFilterGraph::Count() == Count; }, 30000);
  }
  // The graphs that stay once the show stopped: the main graph of the entry played, and the
  // sound graph.
  int GraphsWhenStopped() {
    List().SetPreload(false);
    List().PlayIndex(0);
    List().Stop();
    EXPECT_TRUE(WaitForWorkItems(20000));
    List().SetPreload(true);
    return TGstFilterGraph::Count();
  }
  // The centre of the picture at each paint of the window while the main graph fades from the
  // first entry into the second, played until that fade has ended; then stopped, nothing of
  // the fade left.
  std::vector<TSample> SampleFade() {
    const int Stopped = GraphsWhenStopped();
    std::vector<TSample> Samples;
    const int Taken = Graph().NextTaken();
    const auto First = [&] { return Graph().Fading() && Graph().NextTaken() == Taken + 1; };
    vizmoraFM->VW->OnPaint = [&](QObject*) {
      if (!First()) return;
      const QImage Image = vizmoraFM->VW->CurrentImage();
      if (Image.isNull()) return;
      const QRgb Centre = Image.pixel(Image.width() / 2, Image.height() / 2);
      Samples.push_back({qRed(Centre), qGreen(Centre), qBlue(Centre), Graph().FadeLevel(), MonotonicMilliseconds()});
    };
    PlayFromLoop(0);
    EXPECT_TRUE(RunUntil(First, 60000)) << "no fade began";
    EXPECT_TRUE(RunUntil([&] { return !First(); }, 60000)) << "the fade did not end";
    vizmoraFM->VW->OnPaint.Clear();
    // The second entry is reported started at the first paint it shows in, and the first one
    // finished at the first paint it no longer shows in (told through the event loop).
    EXPECT_TRUE(RunUntil([&] { return EventMs(Events.str(), "finished", 0) >= 0; }, 60000)) << "no finished";
    const long long Started = EventMs(Events.str(), "started", 1), Finished = EventMs(Events.str(), "finished", 0);
    EXPECT_TRUE(Started >= 0 && Finished >= 0) << Events.str();
    bool Shown = false;
    for (const TSample& S : Samples) {
      if (S.Ms < Started) {
        EXPECT_LE(S.G, 5) << "the second entry showed before it was reported started";
      }
      if (S.Ms > Finished) {
        EXPECT_LE(S.R, 5) << "the first entry showed after it was reported finished";
      }
      if (!Shown && S.G > 5) {
        EXPECT_LE(Started, S.Ms) << "the second entry was reported started after it showed";
      }
      Shown = Shown || S.G > 5;
    }
    List().Stop();
    EXPECT_TRUE(GraphsSettleAt(Stopped)) << TGstFilterGraph::Count() << " graphs after the stop; " << Stopped << " before";
    return Samples;
  }
};
}  // namespace

TEST_F(TransitionTest, TheHandOverTakesThePreparedGraphAChangeOfTheListPreparesAnewAStopFreesIt) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::BlueClip);
  Add(TTestMedia::GreenClip);
  const int Stopped = GraphsWhenStopped();
  List().PlayIndex(0);
  EXPECT_TRUE(Graph().NextPrepared({TestMediaPath(TTestMedia::BlueClip)}));
  EXPECT_TRUE(GraphsSettleAt(Stopped + 1)) << TGstFilterGraph::Count();
  List().Move(2, 1);  // green follows now
  EXPECT_TRUE(Graph().NextPrepared({TestMediaPath(TTestMedia::GreenClip)}));
  EXPECT_TRUE(GraphsSettleAt(Stopped + 1)) << "the graph prepared first was not freed";

  TRenderCount Renders;
  Graph().AddObserver(&Renders);
  const int Taken = Graph().NextTaken();
  EXPECT_TRUE(RunUntil([&] { return List().Current == 1 && List().Items(1)->State == esPlaying; }, 60000));
  Graph().RemoveObserver(&Renders);
  EXPECT_EQ(Taken + 1, Graph().NextTaken());
  EXPECT_EQ(0, Renders.Renders) << "a file was opened after the end";
  EXPECT_TRUE(Graph().NextPrepared({TestMediaPath(TTestMedia::BlueClip)})) << "the next one was not prepared";

  List().Stop();
  EXPECT_FALSE(Graph().NextPrepared({TestMediaPath(TTestMedia::BlueClip)}));
  EXPECT_TRUE(GraphsSettleAt(Stopped)) << TGstFilterGraph::Count() << " graphs after the stop; " << Stopped << " before";
}

// Red into green: the green share rises steadily to all, is half way at the middle paint, and
// red and green together keep the brightness: no black frame, no dip.
TEST_F(TransitionTest, ACrossFadeMixesTheTwoEntriesSteadilyWithoutADip) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenClip);
  List().SetTransition({tkCrossFade, 1000});
  const std::vector<TSample> Samples = SampleFade();
  ASSERT_GE(Samples.size(), 5u) << "too few paints during the fade to judge it";
  const auto Mix = [&](std::size_t I) { return double(Samples[I].G) / std::max(1, Samples[I].R + Samples[I].G); };
  const int Full = std::min(Samples.front().Sum(), Samples.back().Sum());
  for (std::size_t I = 0; I < Samples.size(); ++I) {
    EXPECT_GE(Samples[I].Sum(), Full * 95 / 100) << "a dip at paint " << I;
    // Steady, give or take a frame: no paint shows less green than the one two before it.
    if (I >= 2) {
      EXPECT_GE(Mix(I) + 0.02, Mix(I - 2)) << "the mix fell back at paint " << I;
    }
  }
  EXPECT_LT(Mix(0), 0.25);
  EXPECT_GT(Mix(Samples.size() - 1), 0.75);
  // The paint nearest the middle of the fade mixes as far as the fade had come.
  std::size_t Mid = 0;
  for (std::size_t I = 0; I < Samples.size(); ++I)
    if (std::abs(Samples[I].Level - 0.5f) < std::abs(Samples[Mid].Level - 0.5f)) Mid = I;
  EXPECT_NEAR(Samples[Mid].Level, Mix(Mid), 0.1) << "paint " << Mid << " of " << Samples.size();
}

// Red through black into green: red goes before green comes, and black lies between.
TEST_F(TransitionTest, AFadeThroughBlackFadesOutToBlackThenIn) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenClip);
  List().SetTransition({tkThroughBlack, 1000});
  const std::vector<TSample> Samples = SampleFade();
  ASSERT_GE(Samples.size(), 5u) << "too few paints during the fade to judge it";
  int Darkest = 255 * 3;
  bool GreenCame = false;
  for (std::size_t I = 0; I < Samples.size(); ++I) {
    const TSample& S = Samples[I];
    Darkest = std::min(Darkest, S.Sum());
    EXPECT_LT(std::min(S.R, S.G), 40) << "red and green at once at paint " << I;
    if (GreenCame) {
      EXPECT_LT(S.R, 40) << "red came back at paint " << I;
    }
    GreenCame = GreenCame || S.G > 40;
  }
  EXPECT_LT(Darkest, 40) << "no black between the two";
  EXPECT_GT(Samples.front().R, 150);
  EXPECT_GT(Samples.back().G, 150);
}

// Paused during a fade, the mix holds; resumed, it goes on; a seek ends the fade at once.
TEST_F(TransitionTest, PausingHoldsTheFadeAndSeekingEndsIt) {
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenClip);
  List().SetTransition({tkCrossFade, 2000});  // half the red clip: time to pause in
  const auto Green = [] {
    const QImage Image = vizmoraFM->VW->CurrentImage();
    return Image.isNull() ? -1 : qGreen(Image.pixel(Image.width() / 2, Image.height() / 2));
  };
  PlayFromLoop(0);
  ASSERT_TRUE(RunUntil([&] { return Graph().Fading() && Green() > 40; }, 60000)) << "no fade began";
  List().PauseResume();
  EXPECT_EQ(gsPaused, Graph().GraphState());
  const int Held = Green();
  RunFor(500);
  EXPECT_NEAR(Held, Green(), 3) << "the fade went on while paused";
  EXPECT_TRUE(Graph().Fading());
  List().PauseResume();
  EXPECT_TRUE(RunUntil([&] { return Green() > Held + 20; }, 30000)) << "the fade did not go on";
  List().Seek(50);
  EXPECT_FALSE(Graph().Fading());
  List().Stop();
}

// Video, a picture with a sound of its own, a picture carrying that sound on, video: the sound is
// prepared while the first video plays and taken at its picture's turn, rises with the picture
// from silence to the user's volume, stays whole under the picture carrying it on, and falls
// with that picture into the video, then stops. No graph is left behind.
TEST_F(TransitionTest, APicturesSoundIsPreparedAheadAndFadesInAndOutWithItsPictureButCarriesOnWhole) {
  ASSERT_FALSE(TestMediaPath(TTestMedia::LowTone).empty());
  Add(TTestMedia::RedClip);
  Add(TTestMedia::GreenJpeg);
  Add(TTestMedia::GreenJpeg);
  Add(TTestMedia::GreenClip);
  auto& WithSound = static_cast<TGIFPLE&>(*List().Items(1));
  WithSound.DisplayTime = 3;
  WithSound.SoundFile = TestMediaPath(TTestMedia::LowTone);
  auto& CarriesOn = static_cast<TGIFPLE&>(*List().Items(2));
  CarriesOn.DisplayTime = 3;
  CarriesOn.ContinueSound = true;
  List().SetTransition({tkCrossFade, 1500});
  const int Stopped = GraphsWhenStopped();
  TFilterGraph& Sound = *vizmoraFM->SG;
  Sound.SetVolume(8000);  // the user's volume: the curve's top
  constexpr LONG Top = -2000;
  const auto Volume = [&] {
    ComPtr<IBasicAudio> Audio;
    LONG Value = 1;
    if (SUCCEEDED(Sound.QueryInterface(Audio))) Audio->get_Volume(&Value);
    return Value;
  };
  struct TLevel {
    int Entry;
    bool Fading;
    float Level;
    LONG Volume;
    TGraphState State;
  };
  std::vector<TLevel> Levels;  // each change seen from the first picture's turn on
  bool PreparedAhead = false;
  TRenderCount Renders;
  Sound.AddObserver(&Renders);
  const int Taken = Sound.NextTaken();
  PlayFromLoop(0);
  int Entry = 0;  // whose turn it is, up to the last video: its sound's fade may end later
  EXPECT_TRUE(RunUntil(
      [&] {
        if (Entry < 3) Entry = List().Current;
        if (Entry == 0) {
          PreparedAhead = PreparedAhead || Sound.NextPrepared({WithSound.SoundFile});
          return false;
        }
        const TLevel Now{Entry, Sound.Fading(), Sound.FadeLevel(), Volume(), Sound.GraphState()};
        const TLevel& Last = Levels.empty() ? Now : Levels.back();
        if (Levels.empty() || Last.Entry != Now.Entry || Last.Fading != Now.Fading || Last.Level != Now.Level ||
            Last.Volume != Now.Volume || Last.State != Now.State)
          Levels.push_back(Now);
        return Entry == 3 && !Now.Fading;
      },
      90000))
      << "the show did not reach the last video with its sound's fade ended";
  Sound.RemoveObserver(&Renders);
  EXPECT_TRUE(PreparedAhead) << "the sound was not prepared while the video before played";
  EXPECT_LT(Taken, Sound.NextTaken()) << "the sound prepared was not taken";
  EXPECT_EQ(0, Renders.Renders) << "the sound was opened at its picture's turn";

  // Rising (falling) steadily; quieter than the top in the half of the fade nearer silence.
  const auto Fade = [&](int Entry, bool Rises) {
    std::vector<TLevel> Steps;
    for (const TLevel& L : Levels)
      if (L.Entry == Entry && L.Fading) Steps.push_back(L);
    int Quiet = 0;
    for (std::size_t I = 0; I < Steps.size(); ++I) {
      EXPECT_LE(Steps[I].Volume, Top) << "entry " << Entry << " step " << I;
      if (I > 0) {
        EXPECT_TRUE(Rises ? Steps[I].Volume >= Steps[I - 1].Volume : Steps[I].Volume <= Steps[I - 1].Volume)
            << "entry " << Entry << " step " << I;
      }
      if ((Steps[I].Level < 0.5f) == Rises) {
        EXPECT_LT(Steps[I].Volume, Top - 500) << "entry " << Entry << " at level " << Steps[I].Level;
        ++Quiet;
      }
    }
    EXPECT_GT(Quiet, 0) << "entry " << Entry << ": no step seen in the fade's quiet half";
  };
  Fade(1, true);
  Fade(3, false);
  // Once risen, the sound keeps the user's volume, running, under the picture carrying it on.
  int Whole = 0;
  for (const TLevel& L : Levels)
    if ((L.Entry == 1 || L.Entry == 2) && !L.Fading) {
      EXPECT_EQ(Top, L.Volume) << "entry " << L.Entry << ": the sound is not at the user's volume";
      EXPECT_EQ(gsRunning, L.State) << "entry " << L.Entry << ": the sound stopped";
      Whole += L.Entry == 2;
    }
  EXPECT_GT(Whole, 0) << "the sound was never seen carried on";
  EXPECT_EQ(gsStopped, Levels.back().State) << "the sound ran on into the video";
  List().Stop();
  EXPECT_TRUE(GraphsSettleAt(Stopped)) << TGstFilterGraph::Count() << " graphs after the stop; " << Stopped << " before";
}

// A picture whose sound cannot open, prepared or not, fails at its turn in the same words.
TEST_F(TransitionTest, APicturesSoundThatCannotOpenFailsItsPlayAsWhenNotPrepared) {
  Add(TTestMedia::GreenJpeg);
  Add(TTestMedia::GreenJpeg);
  static_cast<TGIFPLE&>(*List().Items(1)).SoundFile = MissingMediaPath();
  const auto Failure = [&](bool Preload) {
    List().SetPreload(Preload);
    List().PlayIndex(0);
    EXPECT_EQ(Preload, vizmoraFM->SG->NextPrepared({MissingMediaPath()}));
    std::string Why;
    try {
      List().PlayIndex(1);
    } catch (const std::exception& E) {
      Why = E.what();
    }
    List().Stop();
    return Why;
  };
  const std::string Unprepared = Failure(false);
  EXPECT_FALSE(Unprepared.empty());
  EXPECT_EQ(Unprepared, Failure(true));
}
