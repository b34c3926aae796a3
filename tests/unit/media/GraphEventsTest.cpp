#include <QCoreApplication>
#include <functional>
#include <thread>

#include "framework/Exception.h"
#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "platform/dshow/EventCodes.h"
#include "support/WaitUntil.h"
#include "unit/media/GraphEventLog.h"
#include "unit/media/GraphFixture.h"

namespace {
// The typed events of a log: what the handlers received, without OnDSEvent.
TCalls Typed(const TCalls& Calls) {
  TCalls Result;
  for (const std::string& C : Calls)
    if (C.rfind("On", 0) == 0 && C.rfind("OnDSEvent", 0) != 0) Result.push_back(C);
  return Result;
}

// Nine time-code fields packed from the most significant end.
LONG_PTR TimeCode(std::initializer_list<unsigned> Fields) {
  static const int Shifts[] = {28, 24, 20, 16, 12, 8, 4, 2, 0};
  std::uint32_t V = 0;
  int I = 0;
  for (unsigned F : Fields) V |= F << Shifts[I++];
  return static_cast<LONG_PTR>(V);
}

class GraphEventsTest : public GraphFixture {
protected:
  void SetUp() override {
    ActivateWithMemberAndObserver();
    WireAllEvents(*FG, Log);
  }
  void TearDown() override { SetExceptionReporter({}); }
};
}  // namespace

TEST_F(GraphEventsTest, ANotificationPostedFromAnotherThreadDrainsOnTheUserInterfaceThread) {
  std::thread::id HandlerThread;
  FG->OnGraphComplete = [&](QObject*, HRESULT, IBaseFilter*) { HandlerThread = std::this_thread::get_id(); };
  Graph().Queue(EC_COMPLETE);
  std::thread Poster([this] { Graph().Notify(); });
  Poster.join();
  EXPECT_EQ(HandlerThread, std::thread::id()) << "the post only queues the drain";
  ASSERT_TRUE(RunUntil([&] { return HandlerThread != std::thread::id(); }));
  EXPECT_EQ(HandlerThread, std::this_thread::get_id());
}

TEST_F(GraphEventsTest, ObserversComeFirstThenOnDSEventThenTheTypedEventThenTheParamsAreFreed) {
  const auto Renderer = MakeFilter(Log, "renderer");
  Graph().Queue(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(Renderer.Get())));
  FG->HandleGraphEvents();
  EXPECT_EQ(Log.Take(), (TCalls{"observe event 1", "OnDSEvent 1", "OnGraphComplete 0 object", "G1 FreeEventParams 1"}));
}

TEST_F(GraphEventsTest, CodesWithoutATypedEventReachOnlyTheObserversAndOnDSEvent) {
  const LONG Codes[] = {4, 5, 12, 15, 19, 20, 21, 22, 23, 25, 29, 30, 32, 33, 34, 35, 0x7777};
  for (LONG Code : Codes) Graph().Queue(Code, 1, 1);
  FG->HandleGraphEvents();
  TCalls Expected;
  for (LONG Code : Codes) {
    Expected.push_back("observe event " + std::to_string(Code));
    Expected.push_back("OnDSEvent " + std::to_string(Code));
    Expected.push_back("G1 FreeEventParams " + std::to_string(Code));
  }
  EXPECT_EQ(Log.Take(), Expected);
}

TEST_F(GraphEventsTest, ParametersAreConvertedToTheTypedArguments) {
  const REFERENCE_TIME StreamTime = 123'456'789'012LL;
  const std::u16string First = u"first", Second = u"second";
  const auto Pin = MakeFilter(Log, "f")->AddPin("out", PINDIR_OUTPUT);
  const auto At = [](const void* P) { return reinterpret_cast<LONG_PTR>(P); };
  const TFakeEvent Events[] = {
      {EC_VIDEO_SIZE_CHANGED, (480 << 16) | 640, 0},
      {EC_OPENING_FILE, 1, 0},
      {EC_OPENING_FILE, 0, 0},
      {EC_OPENING_FILE, 2, 0},
      {EC_BUFFERING_DATA, 2, 0},
      {EC_DVD_STILL_ON, 2, 5},
      {EC_DVD_ANGLES_AVAILABLE, 1, 0},
      {EC_DVD_KARAOKE_MODE, 2, 0},
      {EC_DVD_PLAYBACK_RATE_CHANGE, 20000, 0},
      {EC_DVD_CURRENT_TIME, TimeCode({1, 0, 3, 2, 5, 4, 2, 1, 1}), 0},
      {EC_DVD_CURRENT_TIME, TimeCode({1, 0, 3, 2, 5, 4, 2, 1, 3}), 0},
      {EC_DVD_CURRENT_TIME, TimeCode({1, 0, 3, 2, 5, 4, 2, 1, 2}), 0},
      {EC_DVD_CURRENT_HMSF_TIME, 0x0C2D1701, TimeCode({1, 0, 3, 2, 5, 4, 2, 1, 1})},
      {EC_END_OF_SEGMENT, At(&StreamTime), 3},
      {EC_OLE_EVENT, At(First.c_str()), At(Second.c_str())},
      {EC_STREAM_CONTROL_STARTED, At(static_cast<IPin*>(Pin)), 42},
      {EC_STREAM_ERROR_STOPPED, E_FAIL, 7},
      {EC_DEVICE_LOST, 0, 1},
      {EC_SNDDEV_OUT_ERROR, 3, 0xFFFFFFFF},
  };
  for (const TFakeEvent& E : Events) Graph().Queue(E.Code, E.Param1, E.Param2);
  FG->HandleGraphEvents();
  EXPECT_EQ(Typed(Log.Take()), (TCalls{"OnGraphVideoSizeChanged 640 480",
                                       "OnGraphOpeningFile true",
                                       "OnGraphOpeningFile false",
                                       "OnGraphOpeningFile false",
                                       "OnGraphBufferingData false",
                                       "OnDVDStillOn false 5",
                                       "OnDVDAnglesAvailable true",
                                       "OnDVDKaraokeMode true",
                                       "OnDVDPlaybackRateChange 2",
                                       "OnDVDCurrentTime 1:23:45.12 at 25",
                                       "OnDVDCurrentTime 1:23:45.12 at 30",
                                       "OnDVDCurrentTime 1:23:45.12 at 0",
                                       "OnDVDCurrentHMSFTime 1:23:45.12 digits 103254211",
                                       "OnGraphEndOfSegment 123456789012 3",
                                       "OnGraphOleEvent first second",
                                       "OnGraphStreamControlStarted object 42",
                                       "OnGraphStreamErrorStopped -2147467259 7",
                                       "OnGraphDeviceLost none true",
                                       "OnGraphSNDDevOutError 3 4294967295"}));
}

TEST_F(GraphEventsTest, DvdSubCodesOutsideTheirFamiliesRaiseNothing) {
  for (LONG_PTR Domain : {0, 1, 2, 3, 4, 5, 6}) Graph().Queue(EC_DVD_DOMAIN_CHANGE, Domain);
  for (LONG_PTR Error : {1, 8, 9}) Graph().Queue(EC_DVD_ERROR, Error);
  for (LONG_PTR Warning : {1, 6, 7, -1}) Graph().Queue(EC_DVD_WARNING, Warning);
  FG->HandleGraphEvents();
  EXPECT_EQ(Typed(Log.Take()),
            (TCalls{"OnDVDDomainFirstPlay", "OnDVDDomainVideoManagerMenu", "OnDVDDomainVideoTitleSetMenu",
                    "OnDVDDomainTitle", "OnDVDDomainStop", "OnDVDErrorUnexpected",
                    "OnDVDErrorIncompatibleDiscAndDecoderRegions", "OnDVDWarningInvalidDVD1_0Disc", "OnDVDWarningRead"}));
}

TEST_F(GraphEventsTest, StreamLanguagesWithoutDvdInformationRaiseNothing) {
  Graph().Queue(EC_DVD_AUDIO_STREAM_CHANGE, 1);
  Graph().Queue(EC_DVD_SUBPICTURE_STREAM_CHANGE, 1);
  FG->HandleGraphEvents();
  EXPECT_TRUE(Typed(Log.Take()).empty());
}

TEST_F(GraphEventsTest, StreamLanguagesAreLookedUpOnlyForAssignedEvents) {
  FG->SetActive(false);
  FG->SetMode(gmDVD);
  FG->SetActive(true);
  TFakeDvdInfo& Info = *Classes.DvdBuilders.back()->Info.Get();
  Info.SubpictureLanguage = 0x7F;  // no language of that id
  Log.Take();
  Graph().Queue(EC_DVD_AUDIO_STREAM_CHANGE, 2);
  Graph().Queue(EC_DVD_SUBPICTURE_STREAM_CHANGE, 1);
  FG->HandleGraphEvents();
  FG->OnDVDAudioStreamChange.Clear();
  Graph().Queue(EC_DVD_AUDIO_STREAM_CHANGE, 3);
  FG->HandleGraphEvents();
  EXPECT_EQ(Log.Take(),
            (TCalls{"observe event 260", "OnDSEvent 260", "GetAudioLanguage 2", "OnDVDAudioStreamChange 2 1033 English",
                    "G2 FreeEventParams 260", "observe event 261", "OnDSEvent 261", "GetSubpictureLanguage 1",
                    "OnDVDSubpictureStreamChange 1 127 ", "G2 FreeEventParams 261", "observe event 260",
                    "OnDSEvent 260", "G2 FreeEventParams 260"}));

  Info.Result = E_FAIL;
  FG->OnDVDSubpictureStreamChange = [](QObject*, LONG, LONG, const std::string&) { FAIL() << "raised after a failure"; };
  Graph().Queue(EC_DVD_SUBPICTURE_STREAM_CHANGE, 1);
  Graph().Queue(EC_COMPLETE);
  EXPECT_THROW(FG->HandleGraphEvents(), EDirectShowException);
  EXPECT_EQ(Graph().Events.size(), 1u) << "the next event stays queued";
}

TEST_F(GraphEventsTest, AHandlerReplacingItsOwnEventTakesEffectFromTheNextEvent) {
  FG->OnGraphComplete = [this](QObject*, HRESULT, IBaseFilter*) {
    Log.Add("first handler");
    FG->OnGraphComplete = [this](QObject*, HRESULT, IBaseFilter*) { Log.Add("second handler"); };
  };
  Graph().Queue(EC_COMPLETE);
  Graph().Queue(EC_COMPLETE);
  FG->HandleGraphEvents();
  EXPECT_EQ(Log.Take(), (TCalls{"observe event 1", "OnDSEvent 1", "first handler", "G1 FreeEventParams 1",
                                "observe event 1", "OnDSEvent 1", "second handler", "G1 FreeEventParams 1"}));
}

TEST_F(GraphEventsTest, OneNotificationDrainsEveryQueuedEventInOrder) {
  Graph().Queue(EC_PAUSED, S_OK);
  Graph().Queue(EC_CLOCK_CHANGED);
  Graph().Queue(EC_COMPLETE, E_FAIL);
  Graph().Notify();
  ASSERT_TRUE(RunUntil([this] { return Graph().Events.empty(); }));
  EXPECT_EQ(Log.Take(), (TCalls{"observe event 14", "OnDSEvent 14", "OnGraphPaused 0", "G1 FreeEventParams 14",
                                "observe event 13", "OnDSEvent 13", "OnGraphClockChanged", "G1 FreeEventParams 13",
                                "observe event 1", "OnDSEvent 1", "OnGraphComplete -2147467259 none",
                                "G1 FreeEventParams 1"}));
}

TEST_F(GraphEventsTest, AHandlerDeactivatingTheGraphEndsTheDrainAndTheParamsGoBackToTheirSource) {
  FG->OnGraphComplete = [this](QObject*, HRESULT, IBaseFilter*) { FG->SetActive(false); };
  Graph().Queue(EC_COMPLETE);
  Graph().Queue(EC_PAUSED);
  Classes.Graphs.clear();  // the component holds the only references to its graph now
  FG->HandleGraphEvents();
  EXPECT_EQ(Log.Take(), (TCalls{"observe event 1", "OnDSEvent 1", "observe control 7 0", "A before-remove", "A filter",
                                "G1 RemoveFilter A", "A after-remove", "G1 SetNotifyFlags 1", "G1 SetLogFile 0",
                                "G1 FreeEventParams 1"}));
}

TEST_F(GraphEventsTest, AHandlerRebuildingTheGraphGoesOnWithTheNewGraphsQueue) {
  Classes.OnCreateGraph = [](TFakeFilterGraph& New) { New.Queue(EC_STEP_COMPLETE); };
  FG->OnGraphComplete = [this](QObject*, HRESULT, IBaseFilter*) {
    FG->SetActive(false);
    FG->SetActive(true);
    Log.Take();
  };
  Graph().Queue(EC_COMPLETE);
  Graph().Queue(EC_PAUSED);
  FG->HandleGraphEvents();
  EXPECT_EQ(Log.Take(), (TCalls{"G1 FreeEventParams 1", "observe event 36", "OnDSEvent 36", "OnGraphStepComplete",
                                "G2 FreeEventParams 36"}));
  EXPECT_EQ(Classes.Graphs[0]->Events.size(), 1u);
}

TEST_F(GraphEventsTest, AnExceptionFromAHandlerGoesToTheReportAndLeavesTheRestQueued) {
  std::vector<std::string> Reports;
  SetExceptionReporter([&](const std::string& Message) { Reports.push_back(Message); });
  FG->OnGraphComplete = [](QObject*, HRESULT, IBaseFilter*) { throw Exception("the handler failed"); };
  Graph().Queue(EC_COMPLETE);
  Graph().Queue(EC_PAUSED);
  Graph().Queue(EC_CLOCK_CHANGED);
  Graph().Notify();
  ASSERT_TRUE(RunUntil([&] { return !Reports.empty(); }));
  EXPECT_EQ(Reports, TCalls{"the handler failed"});
  EXPECT_EQ(Log.Take(), (TCalls{"observe event 1", "OnDSEvent 1", "G1 FreeEventParams 1"}));
  EXPECT_EQ(Graph().Events.size(), 2u);

  FG->OnGraphComplete.Clear();
  Graph().Notify();
  ASSERT_TRUE(RunUntil([this] { return Graph().Events.empty(); }));
  EXPECT_EQ(Typed(Log.Take()), (TCalls{"OnGraphPaused 0", "OnGraphClockChanged"}));
  EXPECT_EQ(Reports.size(), 1u);
}
