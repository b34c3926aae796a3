// The graph's control, seeking, volume, member renderers, publication and log on real media.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/GstTestSupport.h"
#include "media/TestMedia.h"
#include "platform/dshow/EventCodes.h"
#include "platform/dshow/RunningObjectTable.h"
#include "platform/gst/GstFilter.h"
#include "platform/gst/GstRenderers.h"
#include "platform/win/WorkItems.h"

namespace {
// A renderer with two inputs over compositor, standing in for the mixing renderer: it hands
// out its inputs on demand, first the ones that were disconnected.
class TTwoInputMixer : public TGstFilter {
public:
  static ComPtr<TTwoInputMixer> Create() {
    GstElement* Bin = gst_bin_new(nullptr);
    GstElement* Mixer = gst_element_factory_make("compositor", "mixer");
    GstElement* Sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(Sink, "sync", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(Bin), Mixer, Sink, nullptr);
    gst_element_link(Mixer, Sink);
    return ComPtr<TTwoInputMixer>(new TTwoInputMixer(Bin, Mixer));
  }

  GstPad* FreeStreamInput(GstCaps*) override {
    for (GstPad* Input : FInputs)
      if (!gst_pad_is_linked(Input)) return GST_PAD(gst_object_ref(Input));
    if (FInputs.size() == 2) return nullptr;
    GstPad* Request = gst_element_request_pad_simple(FMixer, "sink_%u");
    GstPad* Input = gst_ghost_pad_new(("input" + std::to_string(FInputs.size())).c_str(), Request);
    gst_object_unref(Request);
    gst_pad_set_active(Input, TRUE);
    gst_element_add_pad(Element(), Input);
    FInputs.push_back(Input);
    return GST_PAD(gst_object_ref(Input));
  }

private:
  TTwoInputMixer(GstElement* Bin, GstElement* Mixer) : TGstFilter(Bin), FMixer(Mixer) {}
  GstElement* FMixer;
  std::vector<GstPad*> FInputs;  // owned by the bin
};

std::string Slurp(const std::string& Path) {
  std::ostringstream Out;
  Out << std::ifstream(Path).rdbuf();
  return Out.str();
}

std::string Output(const std::string& Command) {
  std::string Output;
  if (FILE* Pipe = ::popen(Command.c_str(), "r")) {
    char Buffer[512];
    while (std::fgets(Buffer, sizeof Buffer, Pipe)) Output += Buffer;
    ::pclose(Pipe);
  }
  return Output;
}
}  // namespace

TEST(GraphControl, DurationStateAndSeekingOfAClip) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMpeg4Mp3)));
  const auto Seeking = As<IMediaSeeking>(Graph);
  LONGLONG Duration = 0;
  ASSERT_EQ(S_OK, Seeking->GetDuration(&Duration));
  EXPECT_NEAR(20'000'000, Duration, 400'000);  // 2 s, within one frame at 25 frames/s
  LONGLONG Stop = 0;
  EXPECT_EQ(S_OK, Seeking->GetStopPosition(&Stop));
  EXPECT_EQ(Duration, Stop);

  LONGLONG Target = 10'000'000;
  ASSERT_EQ(S_OK, Seeking->SetPositions(&Target, AM_SEEKING_AbsolutePositioning, &Stop, AM_SEEKING_NoPositioning));
  WaitForState(Graph);
  EXPECT_NEAR(Target, PositionOf(Graph), 400'000);
  Seeking->GetStopPosition(&Stop);
  EXPECT_EQ(Duration, Stop);  // left alone

  const auto Control = As<IMediaControl>(Graph);
  OAFilterState State = -1;
  EXPECT_TRUE(SUCCEEDED(Control->Run()));
  Control->GetState(0, &State);
  EXPECT_EQ(State_Running, State);
  EXPECT_EQ(S_OK, Control->Stop());
  Control->GetState(0, &State);
  EXPECT_EQ(State_Stopped, State);
}

TEST(GraphControl, VolumeReachesEveryAudioRendererInLinearUnits) {
  const auto Graph = NewGraph();
  const auto Audio = As<IBasicAudio>(Graph);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Wav)));
  const auto Level = [&](std::size_t I) {
    gdouble Linear = -1;
    g_object_get(VolumeOf(ElementOf(FiltersNamed(Graph, "Audio Renderer")[I])), "volume", &Linear, nullptr);
    return Linear;
  };
  EXPECT_DOUBLE_EQ(1.0, Level(0));
  ASSERT_EQ(S_OK, Audio->put_Volume(-10000));
  EXPECT_EQ(0.0, Level(0));
  ASSERT_EQ(S_OK, Audio->put_Volume(-2000));
  EXPECT_NEAR(0.1, Level(0), 1e-6);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Mp3)));
  EXPECT_NEAR(0.1, Level(1), 1e-6);  // a renderer added later plays at the graph's level
  ASSERT_EQ(S_OK, Audio->put_Volume(0));
  EXPECT_DOUBLE_EQ(1.0, Level(0));
  EXPECT_DOUBLE_EQ(1.0, Level(1));
  EXPECT_EQ(E_INVALIDARG, Audio->put_Volume(1));
}

TEST(GraphMembers, DecodedVideoGoesToTheMixersFreeInputsAndTheMixerOutlastsAClear) {
  const auto Graph = NewGraph();
  const auto Mixer = TTwoInputMixer::Create();
  ASSERT_EQ(S_OK, Graph->AddFilter(Mixer.Get(), u"VW"));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMjpegPcm)));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Jpeg)));
  EXPECT_TRUE(FiltersNamed(Graph, "Video Renderer").empty());
  ASSERT_EQ(2u, PinsOf(ComPtr<IBaseFilter>(Mixer.Get())).size());  // both inputs in use
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Vob)));
  EXPECT_EQ(1u, FiltersNamed(Graph, "Video Renderer").size());  // the mixer is full

  // Clearing: stop, disconnect every pin, remove every filter but the mixer.
  As<IMediaControl>(Graph)->Stop();
  for (const auto& F : FiltersOf(Graph))
    for (const auto& Pin : PinsOf(F)) Pin->Disconnect();
  for (const auto& F : FiltersOf(Graph)) {
    if (ElementOf(F) == Mixer->Element()) continue;
    EXPECT_EQ(S_OK, Graph->RemoveFilter(F.Get()));
  }
  EXPECT_EQ(std::vector<std::string>{"VW"}, FilterNames(Graph));

  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMpeg4Mp3)));
  EXPECT_TRUE(FiltersNamed(Graph, "Video Renderer").empty());
  EXPECT_TRUE(IsConnected(PinsOf(ComPtr<IBaseFilter>(Mixer.Get()))[0]));
  EXPECT_EQ(S_OK, Graph->RemoveFilter(Mixer.Get()));
}

// A picture has no end of its own: mixed over a clip it stays until the clip ends, then ends with
// it, so the graph completes; played again from the start, it does so again.
TEST(GraphMembers, APictureMixedOverAClipEndsWithIt) {
  const auto Graph = NewGraph();
  const auto Mixer = TTwoInputMixer::Create();
  ASSERT_EQ(S_OK, Graph->AddFilter(Mixer.Get(), u"VW"));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMjpegPcm)));
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Jpeg)));
  ASSERT_TRUE(FiltersNamed(Graph, "Video Renderer").empty());
  const auto Control = As<IMediaControl>(Graph);
  for (int Round = 0; Round < 2; ++Round) {
    ASSERT_TRUE(SUCCEEDED(Control->Run()));
    std::vector<LONG> Seen;
    EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 30000, &Seen)) << Round;
    EXPECT_EQ(0, std::count(Seen.begin(), Seen.end(), EC_ERRORABORT)) << Round;
    EXPECT_GT(PositionOf(Graph), 15'000'000) << Round;  // the clip (2 s) played to its end
    LONGLONG Start = 0;
    As<IMediaSeeking>(Graph)->SetPositions(&Start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    WaitForState(Graph);
  }
  EXPECT_EQ(S_OK, Graph->RemoveFilter(Mixer.Get()));
}

TEST(GraphPublication, PublishedGraphIsListedAndPrintedByTheToolUntilRevoked) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Wav)));
  ComPtr<IRunningObjectTable> Table;
  ASSERT_EQ(S_OK, GetRunningObjectTable(0, Table.ReleaseAndGetAddressOf()));
  const std::string Item = "FilterGraph test graph pid " + std::to_string(::getpid());
  ComPtr<IMoniker> Name;
  CreateItemMoniker(u"!", QString::fromStdString(Item).toStdU16String().c_str(), Name.ReleaseAndGetAddressOf());
  DWORD Cookie = 0;
  ASSERT_EQ(S_OK, Table->Register(0, Graph.Get(), Name.Get(), &Cookie));

  // A registration left behind by a process that died is not listed.
  const pid_t Dead = ::fork();
  if (Dead == 0) ::_exit(0);
  ::waitpid(Dead, nullptr, 0);
  const std::string Stale = RunningObjectTableFolder() + "/FilterGraph stale";
  std::ofstream(Stale) << "pid " << Dead << "\nstate stopped\n";

  const std::string Tool = VIZMORA_GRAPHS_TOOL;
  const std::string Listed = Output("'" + Tool + "'");
  EXPECT_NE(std::string::npos, Listed.find(Item));
  EXPECT_EQ(std::string::npos, Listed.find("FilterGraph stale"));
  As<IMediaControl>(Graph)->Run();
  WaitForState(Graph);
  const std::string Printed = Output("'" + Tool + "' '" + Item + "'");
  EXPECT_NE(std::string::npos, Printed.find("state running"));
  EXPECT_NE(std::string::npos, Printed.find("filter Decoder"));
  EXPECT_NE(std::string::npos, Printed.find("-> Audio Renderer.sink"));

  EXPECT_EQ(S_OK, Table->Revoke(Cookie));
  EXPECT_EQ(std::string::npos, Output("'" + Tool + "'").find(Item));
  std::filesystem::remove(Stale);
}

TEST(GraphLog, LogFileReceivesThisGraphsLinesOnlyWhileSet) {
  char Path[] = "/tmp/vizmora-log-XXXXXX";
  const int File = ::mkstemp(Path);
  ASSERT_GT(File, 0);
  const auto Logged = NewGraph();
  const auto Other = NewGraph();
  ASSERT_EQ(S_OK, Logged->SetLogFile(std::uintptr_t(File)));
  ASSERT_EQ(S_OK, Render(Logged, TestMediaPath(TTestMedia::Wav)));
  ASSERT_EQ(S_OK, Render(Other, TestMediaPath(TTestMedia::Mp3)));
  ASSERT_EQ(S_OK, Logged->SetLogFile(0));
  const auto Size = std::filesystem::file_size(Path);
  ASSERT_EQ(S_OK, Render(Logged, TestMediaPath(TTestMedia::Mp3)));
  const std::string Log = Slurp(Path);
  EXPECT_NE(std::string::npos, Log.find("tone.wav"));
  EXPECT_EQ(std::string::npos, Log.find("tone.mp3"));
  EXPECT_EQ(Size, std::filesystem::file_size(Path));
  ::close(File);
  std::filesystem::remove(Path);
}

namespace {
int OpenDescriptors() {
  int Count = 0;
  for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) ++Count;
  return Count;
}
}  // namespace

// A graph made, rendered, run until a frame was shown, cleared and let go, again and again, as
// the show does for every video entry: nothing of it may stay behind.
TEST(GraphLifetime, ManyGraphCyclesLeaveNoDescriptorsBehind) {
  const std::string Clip = TestMediaPath(TTestMedia::AviMjpegPcm);
  const std::string Picture = TestMediaPath(TTestMedia::Jpeg);
  const auto Cycle = [&](const std::string& Path) {
    const auto Graph = NewGraph();
    ASSERT_EQ(S_OK, Render(Graph, Path));
    As<IMediaControl>(Graph)->Run();
    WaitForState(Graph);
    As<IMediaControl>(Graph)->Stop();
    for (const auto& Filter : FiltersOf(Graph)) Graph->RemoveFilter(Filter.Get());
    As<IMediaEventEx>(Graph)->SetNotifyFlags(1);
  };
  Cycle(Clip);  // GStreamer's own threads and caches are made once
  Cycle(Picture);
  ASSERT_TRUE(WaitForWorkItems(20000));  // graphs and their files are freed off this thread
  const int Before = OpenDescriptors();
  for (int I = 0; I < 20; ++I) Cycle(I % 2 ? Picture : Clip);
  ASSERT_TRUE(WaitForWorkItems(20000));
  EXPECT_EQ(OpenDescriptors(), Before);
}
