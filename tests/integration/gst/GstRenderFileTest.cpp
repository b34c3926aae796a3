// RenderFile on real GStreamer: each kind of media connects to its renderers; each kind of
// failure answers its own code and leaves the graph as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/GstTestSupport.h"
#include "media/TestMedia.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/EventCodes.h"
#include "platform/gst/GstRenderDeadline.h"
#include "platform/gst/GstRenderers.h"

namespace {
struct TCase {
  TTestMedia Media;
  int Video, Audio, Still;
  int Decoders = 1;  // an animation comes decoded from its source
};

class RenderFileTest : public ::testing::TestWithParam<TCase> {};

// Every pin of the renderers and the still frame is connected.
void ExpectConnected(const ComPtr<IGraphBuilder>& Graph, const std::string& Prefix) {
  for (const auto& F : FiltersNamed(Graph, Prefix))
    for (const auto& Pin : PinsOf(F)) EXPECT_TRUE(IsConnected(Pin)) << Prefix;
}
}  // namespace

TEST_P(RenderFileTest, ConnectsEveryDecodedStreamToARenderer) {
  const TCase C = GetParam();
  const std::string Path = TestMediaPath(C.Media);
  ASSERT_FALSE(Path.empty());
  const auto Graph = NewGraph();
  ASSERT_TRUE(Graph);
  ASSERT_EQ(S_OK, Render(Graph, Path));
  EXPECT_EQ(std::size_t(C.Video), FiltersNamed(Graph, "Video Renderer").size());
  EXPECT_EQ(std::size_t(C.Audio), FiltersNamed(Graph, "Audio Renderer").size());
  EXPECT_EQ(std::size_t(C.Still), FiltersNamed(Graph, "Still Frame").size());
  EXPECT_EQ(std::size_t(C.Decoders), FiltersNamed(Graph, "Decoder").size());
  ExpectConnected(Graph, "Video Renderer");
  ExpectConnected(Graph, "Audio Renderer");
  ExpectConnected(Graph, "Still Frame");
  OAFilterState State = -1;
  EXPECT_EQ(S_OK, As<IMediaControl>(Graph)->GetState(0, &State));
  EXPECT_EQ(State_Stopped, State);
}

INSTANTIATE_TEST_SUITE_P(Media, RenderFileTest,
                         ::testing::Values(TCase{TTestMedia::AviMjpegPcm, 1, 1, 0}, TCase{TTestMedia::AviMpeg4Mp3, 1, 1, 0},
                                           TCase{TTestMedia::Vob, 1, 1, 0}, TCase{TTestMedia::Jpeg, 1, 0, 1},
                                           TCase{TTestMedia::Gif, 1, 0, 1}, TCase{TTestMedia::AnimatedGif, 1, 0, 0, 0},
                                           TCase{TTestMedia::Wav, 0, 1, 0}, TCase{TTestMedia::Mp3, 0, 1, 0}));

// Paths that name no media file: a folder, and a pipe, which nothing writes to (opening it would
// wait for ever), named like media files.
TEST(RenderFileFailure, EachCauseAnswersItsOwnCodeAndLeavesTheGraphEmpty) {
  char Dir[] = "/tmp/vizmora-paths-XXXXXX";
  ASSERT_TRUE(::mkdtemp(Dir));
  const std::string Folder = std::string(Dir) + "/clip.avi", Pipe = std::string(Dir) + "/pipe.avi";
  ASSERT_EQ(0, ::mkdir(Folder.c_str(), 0700));
  ASSERT_EQ(0, ::mkfifo(Pipe.c_str(), 0600));
  const std::pair<std::string, HRESULT> Cases[] = {
      {MissingMediaPath(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {"/no/such/folder/clip.avi", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
      {Folder, HRESULT_FROM_WIN32(ERROR_DIRECTORY_NOT_SUPPORTED)},
      {Pipe, HRESULT_FROM_WIN32(ERROR_BAD_FILE_TYPE)},
      {TestMediaPath(TTestMedia::UnknownType), VFW_E_UNKNOWN_FILE_TYPE},
      {TestMediaPath(TTestMedia::NoDecoder), VFW_E_UNSUPPORTED_STREAM},
  };
  for (const auto& [Path, Code] : Cases) {
    const auto Graph = NewGraph();
    EXPECT_EQ(Code, Render(Graph, Path)) << Path;
    EXPECT_TRUE(FilterNames(Graph).empty()) << Path;
    char Text[256];
    EXPECT_GT(AMGetErrorTextA(Code, Text, sizeof Text), 0u);
  }
  std::filesystem::remove_all(Dir);
}

TEST(RenderFileFailure, TruncatedFileFailsInsteadOfHanging) {
  const auto Graph = NewGraph();
  const HRESULT Result = Render(Graph, TestMediaPath(TTestMedia::Truncated));
  EXPECT_TRUE(Result == VFW_E_INVALID_FILE_FORMAT || Result == VFW_E_TIMEOUT) << std::hex << Result;
  EXPECT_TRUE(FilterNames(Graph).empty());
}

// Failing into a running graph, whether before or after opening the file, leaves it playing.
TEST(RenderFileFailure, FailedFileLeavesTheFileRenderedBeforeIt) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Wav)));
  const auto Before = FilterNames(Graph);
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  EXPECT_EQ(VFW_E_UNKNOWN_FILE_TYPE, Render(Graph, TestMediaPath(TTestMedia::UnknownType)));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), Render(Graph, MissingMediaPath()));
  EXPECT_EQ(Before, FilterNames(Graph));
  EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 20000));
}

TEST(RenderFile, SecondFilePlaysAlongWithTheFirst) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMjpegPcm)));
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  WaitForState(Graph);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Mp3)));
  EXPECT_EQ(2u, FiltersNamed(Graph, "Decoder").size());
  EXPECT_EQ(2u, FiltersNamed(Graph, "Audio Renderer").size());
  // Both end, so the graph completes once; nothing fails on the way.
  std::vector<LONG> Seen;
  EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 15000, &Seen));
  EXPECT_EQ(0, std::count(Seen.begin(), Seen.end(), EC_ERRORABORT));
}

namespace {
// The worker threads asked of the decoder inside a file's decoder filter; -1 if none has the setting.
int DecoderThreads(const ComPtr<IGraphBuilder>& Graph) {
  int Threads = -1;
  GstIterator* It = gst_bin_iterate_recurse(GST_BIN(ElementOf(FiltersNamed(Graph, "Decoder").at(0))));
  GValue Item = G_VALUE_INIT;
  while (gst_iterator_next(It, &Item) == GST_ITERATOR_OK) {
    GObject* Element = G_OBJECT(g_value_get_object(&Item));
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(Element), "max-threads")) g_object_get(Element, "max-threads", &Threads, nullptr);
    g_value_reset(&Item);
  }
  g_value_unset(&Item);
  gst_iterator_free(It);
  return Threads;
}
}  // namespace

// A small picture is decoded on one thread; a large one as the decoder chooses.
TEST(RenderFile, DecoderThreadsFollowThePictureSize) {
  const std::pair<TTestMedia, int> Cases[] = {{TTestMedia::AviMpeg4Mp3, 1}, {TTestMedia::AviMpeg4Hd, 0}};
  for (const auto& [Media, Threads] : Cases) {
    const auto Graph = NewGraph();
    ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(Media)));
    EXPECT_EQ(Threads, DecoderThreads(Graph)) << TestMediaPath(Media);
  }
}

// A running graph starts an added source at once; an animation must still wait to be linked.
TEST(RenderFile, AnimationRenderedIntoARunningGraphPlaysWithoutAnError) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Wav)));
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  WaitForState(Graph);
  for (int Round = 0; Round < 5; ++Round) ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AnimatedGif))) << Round;
  EXPECT_FALSE(WaitForEvent(Graph, EC_ERRORABORT, 500));
}

TEST(Graph, DisconnectAndRemoveLeaveNoFilterBehind) {
  const auto Graph = NewGraph();
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMjpegPcm)));
  As<IMediaControl>(Graph)->Run();
  WaitForState(Graph);
  As<IMediaControl>(Graph)->Stop();
  for (const auto& F : FiltersOf(Graph))
    for (const auto& Pin : PinsOf(F)) EXPECT_TRUE(SUCCEEDED(Pin->Disconnect()));
  for (const auto& F : FiltersOf(Graph))
    for (const auto& Pin : PinsOf(F)) EXPECT_FALSE(IsConnected(Pin));
  for (const auto& F : FiltersOf(Graph)) EXPECT_EQ(S_OK, Graph->RemoveFilter(F.Get()));
  EXPECT_TRUE(FilterNames(Graph).empty());
  EXPECT_FALSE(WaitForEvent(Graph, EC_ERRORABORT, 500));
}

// A busy machine slows a render down without stopping it: the bound counts progress, so a render
// that keeps moving outlasts the stall limit; one that stops, or never gets anywhere, still ends.
TEST(RenderDeadline, OutlastsSlowProgressAndStillEndsAStuckOrEndlessRender) {
  using namespace std::chrono_literals;
  const auto Start = TRenderDeadline::TClock::now();
  TRenderDeadline Stuck(Start, 10s, 60s);
  EXPECT_FALSE(Stuck.Passed(Start + 9s));
  EXPECT_TRUE(Stuck.Passed(Start + 10s));

  TRenderDeadline Slow(Start, 10s, 60s);
  for (auto At = 8s; At < 48s; At += 8s) {
    Slow.Moved(Start + At);
    EXPECT_FALSE(Slow.Passed(Start + At + 9s));
  }
  EXPECT_TRUE(Slow.Passed(Start + 50s));  // stopped moving at 40 s

  TRenderDeadline Endless(Start, 10s, 60s);
  for (auto At = 5s; At < 70s; At += 5s) Endless.Moved(Start + At);
  EXPECT_FALSE(Endless.Passed(Start + 59s));
  EXPECT_TRUE(Endless.Passed(Start + 60s));
}
