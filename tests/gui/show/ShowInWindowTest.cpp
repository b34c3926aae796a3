// A mixed playlist played by the program's own form on real GStreamer in a window: the entries
// in order and round again, the overlay mixed into the picture, seeking and pausing a video.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <QTemporaryDir>
#include <QTimer>
#include <sstream>

#include "app/EntryKinds.h"
#include "engine/AVIPLE.h"
#include "engine/GIFPLE.h"
#include "engine/VizmoraPlayer.h"
#include "main/Program.h"
#include "media/TestMedia.h"
#include "media/VideoWindow.h"
#include "platform/dshow/Control.h"
#include "platform/gst/GstMixerLayout.h"
#include "platform/gst/GstPlatform.h"
#include "platform/win/WorkItems.h"
#include "support/WaitUntil.h"
#include "ui/vizmoraFM.h"
#include "VideoFormFixture.h"

namespace {
int Entries(const char* Folder) {
  int N = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Folder)) ++N;
  return N;
}

long ResidentKb() {
  std::ifstream Status("/proc/self/status");
  for (std::string Line; std::getline(Status, Line);)
    if (Line.rfind("VmRSS:", 0) == 0) return std::stol(Line.substr(6));
  return 0;
}

bool Near(QRgb Seen, int R, int G, int B) {
  return std::abs(qRed(Seen) - R) < 60 && std::abs(qGreen(Seen) - G) < 60 && std::abs(qBlue(Seen) - B) < 60;
}

class ShowInWindowTest : public VideoFormFixture {
protected:
  void SetUp() override {
    for (auto Kind : {TTestMedia::RedClip, TTestMedia::BlueClip, TTestMedia::AviMjpegPcm, TTestMedia::GreenJpeg,
                      TTestMedia::AnimatedGif, TTestMedia::Wav})
      ASSERT_FALSE(TestMediaPath(Kind).empty()) << "test media could not be generated";
    // The video form alone, its show of two rounds reporting on Events.
    Line.Loops = 2;
    Line.Events = true;
    VideoFormFixture::SetUp();
  }
  TVideoWindow& Window() { return *vizmoraFM->VW; }
  // The area of the window's picture that the first stream covers.
  TMixerBox Picture() {
    return PictureArea(Window().width(), Window().height(), 160, 120, Window().VMROptions()->KeepAspectRatio());
  }
  QImage CurrentImage() { return Window().CurrentImage(); }
};
}  // namespace

TEST_F(ShowInWindowTest, AMixedPlaylistPlaysInOrderRoundAgainWithItsOverlayMixedIn) {
  Kinds->AddMediaFile(TestMediaPath(TTestMedia::RedClip));
  auto* Overlaid = static_cast<TAVIPLE*>(ThePlayer->PlayList->Items(0));
  Overlaid->AdditionalFile = TestMediaPath(TTestMedia::BlueClip);
  Overlaid->OverlayRect = {0.5f, 0.5f, 1, 1};
  Overlaid->OverlayAlpha = 0.5f;
  Kinds->AddMediaFile(TestMediaPath(TTestMedia::AviMjpegPcm));
  Kinds->AddMediaFile(TestMediaPath(TTestMedia::GreenJpeg));
  auto* WithSound = static_cast<TGIFPLE*>(ThePlayer->PlayList->Items(2));
  WithSound->DisplayTime = 1;
  WithSound->SoundFile = TestMediaPath(TTestMedia::Wav);
  Kinds->AddMediaFile(TestMediaPath(TTestMedia::AnimatedGif));
  auto* CarriesOn = static_cast<TGIFPLE*>(ThePlayer->PlayList->Items(3));
  CarriesOn->DisplayTime = 1;
  CarriesOn->ContinueSound = true;

  // While the first entry plays, its picture is red with the blue overlay half through it in
  // the lower right quarter, in the renderer's frame and in what the window shows.
  bool MixedFrame = false, MixedWindow = false, GreenPicture = false;
  QTimer Look;
  QObject::connect(&Look, &QTimer::timeout, [&] {
    const TMixerBox Area = Picture();
    const QPoint Main(Area.X + Area.Width / 4, Area.Y + Area.Height / 4);
    const QPoint Corner(Area.X + Area.Width * 3 / 4, Area.Y + Area.Height * 3 / 4);
    const auto Mixed = [&](const QImage& I) {
      return I.valid(Corner) && Near(I.pixel(Main), 255, 0, 0) && Near(I.pixel(Corner), 128, 0, 128);
    };
    if (ThePlayer->PlayList->Items(0)->State == esPlaying) {
      MixedFrame = MixedFrame || Mixed(CurrentImage());
      MixedWindow = MixedWindow || Mixed(Window().grab().toImage());
    }
    if (ThePlayer->PlayList->Items(2)->State == esPlaying) {
      const QImage I = CurrentImage();
      GreenPicture = GreenPicture || (I.valid(Main) && Near(I.pixel(Main), 0, 255, 0));
    }
  });
  Look.start(100);

  Program->Start();
  QTimer Limit;  // goes with the test, so it never ends a later test's loop
  Limit.setSingleShot(true);
  QObject::connect(&Limit, &QTimer::timeout, [] { QCoreApplication::exit(3); });
  Limit.start(120000);
  EXPECT_EQ(0, QCoreApplication::exec());
  Look.stop();

  std::vector<std::string> Seen;
  std::istringstream Lines(Events.str());
  for (std::string Line; std::getline(Lines, Line);) {
    // A field's value: text up to its closing quote, or a number up to the comma.
    const auto Field = [&](const std::string& Key) {
      auto At = Line.find("\"" + Key + "\":") + Key.size() + 3;
      const char End = Line[At] == '"' ? '"' : ',';
      if (End == '"') ++At;
      return Line.substr(At, Line.find(End, At) - At);
    };
    if (Field("event") != "frame") Seen.push_back(Field("event") + " " + Field("index"));
  }
  std::vector<std::string> Expected;
  for (int Round = 0; Round < 2; ++Round)
    for (int Entry = 0; Entry < 4; ++Entry)
      for (const char* What : {"started ", "finished "}) Expected.push_back(What + std::to_string(Entry));
  EXPECT_EQ(Expected, Seen) << Events.str();
  EXPECT_TRUE(MixedFrame) << "the overlay was not seen mixed into the renderer's frame";
  EXPECT_TRUE(MixedWindow) << "the overlay was not seen mixed in the window";
  EXPECT_TRUE(GreenPicture) << "the picture was not seen";
}

TEST_F(ShowInWindowTest, SeekingHalfwayLandsWithinAFrameAndPauseStopsAndResumes) {
  Kinds->AddMediaFile(TestMediaPath(TTestMedia::RedClip));  // 4 s
  auto* Video = static_cast<TAVIPLE*>(ThePlayer->PlayList->Items(0));
  ComPtr<IMediaSeeking> Seeking;
  const auto PositionMs = [&] {
    LONGLONG Position = -1;
    vizmoraFM->FG->QueryInterface(Seeking);
    Seeking->GetCurrentPosition(&Position);
    return Position / 10000;
  };
  Video->Play();
  RunUntil([&] { return vizmoraFM->FG->GraphState() == gsRunning && PositionMs() > 200; });
  Video->Pause();
  EXPECT_EQ(esPaused, Video->State);
  Video->Seek(50);
  RunUntil([&] { return std::abs(PositionMs() - 2000) <= 40; }, 5000);
  EXPECT_NEAR(2000, PositionMs(), 40) << "one frame at 25 frames/s";

  Video->Pause();  // paused: resumes
  EXPECT_EQ(esPlaying, Video->State);
  RunUntil([&] { return PositionMs() > 2300; }, 5000);
  EXPECT_GT(PositionMs(), 2300);

  Video->Stop();
  Video->Pause();  // stopped: starts again from the beginning
  EXPECT_EQ(esPlaying, Video->State);
  RunUntil([&] { return vizmoraFM->FG->GraphState() == gsRunning; }, 5000);
  EXPECT_LT(PositionMs(), 1500);
}

TEST_F(ShowInWindowTest, FiveHundredGraphRenewalsEachGiveANewRendererAndLeakNothing) {
  TFilterGraph& Graph = *vizmoraFM->FG;
  ComPtr<IBaseFilter> Previous;
  const auto Renew = [&](int Cycle) {
    Graph.SetActive(false);
    Graph.SetActive(true);
    ComPtr<IBaseFilter> Renderer;
    Window().QueryInterface(Renderer);
    EXPECT_TRUE(Renderer && Renderer.Get() != Previous.Get()) << "cycle " << Cycle;
    Previous = Renderer;
    if (Cycle % 50 == 0) {  // now and then a clip played into it
      Graph.RenderFile(TestMediaPath(TTestMedia::RedClip));
      Graph.Play();
      RunUntil([&] { return CurrentImage().valid(10, 10); }, 10000);
    }
    QCoreApplication::processEvents();
  };
  for (int Cycle = 0; Cycle < 20; ++Cycle) Renew(Cycle);
  const int Descriptors = Entries("/proc/self/fd"), Threads = Entries("/proc/self/task");
  const auto Windows = QGuiApplication::allWindows().size();
  const long Resident = ResidentKb();
  for (int Cycle = 20; Cycle < 520; ++Cycle) Renew(Cycle);
  Previous.Reset();
  Graph.SetActive(false);
  // Graphs are freed on work items, whose threads end a while after.
  EXPECT_TRUE(RunUntil([&] {
    return WaitForWorkItems(0) && Entries("/proc/self/fd") <= Descriptors + 2 && Entries("/proc/self/task") <= Threads + 2;
  })) << Entries("/proc/self/fd") << " descriptors, " << Entries("/proc/self/task") << " threads";
  EXPECT_LE(QGuiApplication::allWindows().size(), Windows);
  EXPECT_LT(ResidentKb() - Resident, 20000) << "kB gained over 500 renewals";
}
