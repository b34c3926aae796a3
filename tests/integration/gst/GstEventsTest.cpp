// Graph events on real GStreamer, delivered as the notify message on the user-interface thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>

#include "support/GstTestSupport.h"
#include "support/WaitUntil.h"
#include "media/TestMedia.h"
#include "platform/dshow/EventCodes.h"
#include "platform/win/Messages.h"

namespace {
constexpr UINT NotifyMessage = WM_APP + 1;
constexpr LONG_PTR Instance = 42;

struct TEvent {
  LONG Code;
  LONG_PTR Param1, Param2;
};

// Stands for the graph component's notification window: drains the queue on each message.
class TNotifyWindow : public QObject {
public:
  explicit TNotifyWindow(ComPtr<IGraphBuilder> Graph) : FGraph(std::move(Graph)) {
    FEvents = As<IMediaEventEx>(FGraph);
    FEvents->SetNotifyWindow(HandleOf(this), NotifyMessage, Instance);
    FEvents->SetNotifyFlags(0);
  }
  ~TNotifyWindow() override { FEvents->SetNotifyFlags(1); }

  bool event(QEvent* E) override {
    if (E->type() != TWindowMessage::EventType()) return QObject::event(E);
    const auto* M = static_cast<TWindowMessage*>(E);
    ++Messages;
    if (M->Msg != NotifyMessage || M->lParam != Instance || QThread::currentThread() != thread()) ++WrongMessages;
    LONG Code = 0;
    LONG_PTR P1 = 0, P2 = 0;
    while (FEvents->GetEvent(&Code, &P1, &P2, 0) == S_OK) {
      Events.push_back({Code, P1, P2});
      FEvents->FreeEventParams(Code, P1, P2);
    }
    return true;
  }

  int Count(LONG Code) const {
    return int(std::count_if(Events.begin(), Events.end(), [&](const TEvent& E) { return E.Code == Code; }));
  }
  // Runs the event loop until Code has come.
  bool PumpUntil(LONG Code) {
    return RunUntil([this, Code] { return Count(Code) > 0; });
  }

  std::vector<TEvent> Events;
  int Messages = 0;
  int WrongMessages = 0;

private:
  ComPtr<IGraphBuilder> FGraph;
  ComPtr<IMediaEventEx> FEvents;
};
}  // namespace

TEST(GraphEvents, EndOfStreamGivesOneCompletionOnTheUserInterfaceThreadNoSoonerThanTheClipLasts) {
  const auto Graph = NewGraph();
  TNotifyWindow Window(Graph);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::AviMjpegPcm)));
  QElapsedTimer Played;
  Played.start();
  ASSERT_TRUE(SUCCEEDED(As<IMediaControl>(Graph)->Run()));
  ASSERT_TRUE(Window.PumpUntil(EC_COMPLETE));
  EXPECT_GE(Played.elapsed(), 1900);  // played in real time, not as fast as it decodes
  RunFor(1000);  // no second completion follows
  EXPECT_EQ(1, Window.Count(EC_COMPLETE));
  EXPECT_EQ(0, Window.Count(EC_ERRORABORT));
  EXPECT_EQ(0, Window.WrongMessages);
  const auto Complete = std::find_if(Window.Events.begin(), Window.Events.end(), [](const TEvent& E) { return E.Code == EC_COMPLETE; });
  EXPECT_EQ(S_OK, Complete->Param1);
}

TEST(GraphEvents, PauseGivesPausedAndResumingChangesNoClock) {
  const auto Graph = NewGraph();
  TNotifyWindow Window(Graph);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Vob)));
  const auto Control = As<IMediaControl>(Graph);
  Control->Run();
  WaitForState(Graph);
  Control->Pause();
  ASSERT_TRUE(Window.PumpUntil(EC_PAUSED));
  OAFilterState State = -1;
  Control->GetState(0, &State);
  EXPECT_EQ(State_Paused, State);
  Control->Run();
  ASSERT_TRUE(Window.PumpUntil(EC_COMPLETE));
  EXPECT_EQ(1, Window.Count(EC_PAUSED));
  EXPECT_EQ(0, Window.Count(EC_CLOCK_CHANGED));
}

// A picture has no end of its own: a graph of pictures alone completes once they are shown, as
// a clip of one frame would, and they stay on screen: frames go on reaching the renderer (an
// animation goes on looping) and the graph does not complete a second time.
TEST(GraphEvents, PicturesAloneCompleteOnceShownAndStayOnScreen) {
  for (const TTestMedia Picture : {TTestMedia::Jpeg, TTestMedia::Gif, TTestMedia::AnimatedGif}) {
    const auto Graph = NewGraph();
    TNotifyWindow Window(Graph);
    ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(Picture)));
    const auto Renderer = FiltersNamed(Graph, "Video Renderer");
    ASSERT_EQ(1u, Renderer.size());
    GstPad* Sink = gst_element_get_static_pad(ElementOf(Renderer[0]), "sink");
    std::atomic<int> Frames{0};
    gst_pad_add_probe(
        Sink, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer Count) {
          ++*static_cast<std::atomic<int>*>(Count);
          return GST_PAD_PROBE_OK;
        },
        &Frames, nullptr);
    gst_object_unref(Sink);
    As<IMediaControl>(Graph)->Run();
    ASSERT_TRUE(Window.PumpUntil(EC_COMPLETE)) << int(Picture);
    const int AtCompletion = Frames;
    RunUntil([&] { return Frames >= AtCompletion + 15; });
    EXPECT_GE(Frames, AtCompletion + 15) << int(Picture);  // more than the animation's ten
    EXPECT_EQ(1, Window.Count(EC_COMPLETE)) << int(Picture);
    EXPECT_EQ(0, Window.Count(EC_ERRORABORT)) << int(Picture);
    As<IMediaControl>(Graph)->Stop();
  }
}

TEST(GraphEvents, NothingIsPostedWhileNotificationsAreOff) {
  const auto Graph = NewGraph();
  TNotifyWindow Window(Graph);
  As<IMediaEventEx>(Graph)->SetNotifyFlags(1);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::Wav)));
  As<IMediaControl>(Graph)->Run();
  EXPECT_TRUE(WaitForEvent(Graph, EC_COMPLETE, 20000));
  RunFor(300);
  EXPECT_EQ(0, Window.Messages);
}

TEST(GraphEvents, DecodedSizeChangeIsReportedWithTheNewSize) {
  const auto Graph = NewGraph();
  TNotifyWindow Window(Graph);
  ASSERT_EQ(S_OK, Render(Graph, TestMediaPath(TTestMedia::VobSizeChange)));
  As<IMediaControl>(Graph)->Run();
  ASSERT_TRUE(Window.PumpUntil(EC_VIDEO_SIZE_CHANGED));
  const auto Size = std::find_if(Window.Events.begin(), Window.Events.end(),
                                 [](const TEvent& E) { return E.Code == EC_VIDEO_SIZE_CHANGED; });
  EXPECT_EQ(320 | (240 << 16), Size->Param1);
  As<IMediaControl>(Graph)->Stop();
}
