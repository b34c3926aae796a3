#include "framework/ExceptionReport.h"
#include "media/DirectShowException.h"
#include "platform/dshow/EventCodes.h"
#include "unit/media/videowindow/VideoWindowFixture.h"

namespace {
class VideoWindowTest : public VideoWindowFixture {};

TEST_F(VideoWindowTest, OptionsStartWithTheirDefaultsAndClampTheStreamCount) {
  TVMROptions& O = *VW->VMROptions();
  EXPECT_EQ(O.Streams(), 4u);
  EXPECT_EQ(O.Preferences(), TVMRPreferences(vpForceMixer));
  EXPECT_EQ(O.Mode(), vmrWindowed);
  EXPECT_TRUE(O.KeepAspectRatio());
  EXPECT_EQ(VW->Mode(), vmNormal);
  for (const auto& [Given, Stored] : {std::pair{0u, 1u}, {1u, 1u}, {16u, 16u}, {17u, 1u}, {0xFFFFFFFFu, 1u}}) {
    O.SetStreams(Given);
    EXPECT_EQ(O.Streams(), Stored) << Given;
  }
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(VideoWindowTest, ActivationCreatesTheRendererInItsModeThenConfiguresIt) {
  JoinMixing();
  FG->SetActive(true);
  EXPECT_EQ(RendererCalls(), (TCalls{"create VMR2", "VMR2 SetRenderingMode 2", "G1 AddFilter VW"} + WindowlessConfiguration("VMR2")));

  // Windowed: the renderer's own window, no clipping window or video position.
  FG->SetActive(false);
  VW->VMROptions()->SetMode(vmrWindowed);
  Log.Take();
  FG->SetActive(true);
  EXPECT_EQ(RendererCalls(), (TCalls{"create VMR3", "VMR3 SetRenderingMode 1", "G2 AddFilter VW", "VMR3 SetNumberOfStreams 4",
                                     "VMR3 GetNumberOfStreams", "VMR3 SetRenderingPrefs 0", "VMR3 GetRenderingPrefs",
                                     "VMR3 SetAspectRatioMode 1"}));
  // The rendering device names the renderer's window after the component.
  Graphs.Latest()->Queue(EC_VMR_RENDERDEVICE_SET);
  FG->HandleGraphEvents();
  EXPECT_EQ(RendererCalls(), (TCalls{"VMR3 put_Caption VW", "VMR3 put_MessageDrain " + Handle(VW.get())}));
}

struct TStreamRule {
  DWORD Streams;
  TVMRPreferences Preferences;
  TCalls Expected;
};

TEST_F(VideoWindowTest, TheStreamCountIsForcedOnlyWhenItDiffersFromFourOrTheMixerIsForced) {
  const TStreamRule Rules[] = {
      {4, vpForceMixer, {"SetNumberOfStreams 4", "GetNumberOfStreams"}},
      {4, {}, {}},
      {2, {}, {"SetNumberOfStreams 2", "GetNumberOfStreams"}},
  };
  JoinMixing();
  for (const TStreamRule& Rule : Rules) {
    VW->VMROptions()->SetStreams(Rule.Streams);
    VW->VMROptions()->SetPreferences(Rule.Preferences);
    FG->SetActive(true);
    TCalls Streams;
    for (const std::string& Call : RendererCalls())
      if (Call.find("Streams") != std::string::npos) Streams.push_back(Call.substr(Call.find(' ') + 1));
    EXPECT_EQ(Streams, Rule.Expected) << Rule.Streams;
    EXPECT_EQ(VW->VMROptions()->Streams(), Rule.Streams);
    FG->SetActive(false);
  }
}

TEST_F(VideoWindowTest, PreferencesReachTheRendererWithoutForceMixerAndComeBackAsReported) {
  Renderers.OnCreateMixer = [](TFakeVMR9& R) { R.ExtraPrefs = 0x1A2; };
  JoinMixing();
  VW->VMROptions()->SetPreferences(vpForceOffscreen | vpForceMixer);
  FG->SetActive(true);
  const TCalls Calls = RendererCalls();
  EXPECT_NE(std::find(Calls.begin(), Calls.end(), "VMR2 SetRenderingPrefs 1"), Calls.end());
  // The low byte of what the renderer reports (0xA3), plus the window's own switch.
  EXPECT_EQ(VW->VMROptions()->Preferences().toInt(), 0xA3u | vpForceMixer);

  FG->SetActive(false);
  VW->VMROptions()->SetPreferences({});
  FG->SetActive(true);
  EXPECT_EQ(VW->VMROptions()->Preferences().toInt(), 0xA2u);
}

TEST_F(VideoWindowTest, KeepAspectRatioReachesAConfiguredRendererOnlyAndNeverRebuildsIt) {
  JoinMixing();
  VW->VMROptions()->SetKeepAspectRatio(false);  // inactive: stored only
  EXPECT_TRUE(RendererCalls().empty());
  FG->SetActive(true);
  EXPECT_EQ(RendererCalls().back(), "VMR2 SetAspectRatioMode 0");

  VW->VMROptions()->SetKeepAspectRatio(true);
  EXPECT_EQ(RendererCalls(), TCalls{"VMR2 SetAspectRatioMode 1"});
  // The settings store reaches the option through the window's properties.
  QObject* Options = VW->property("VMROptions").value<QObject*>();
  ASSERT_EQ(Options, VW->VMROptions());
  Options->setProperty("KeepAspectRatio", false);
  EXPECT_EQ(RendererCalls(), TCalls{"VMR2 SetAspectRatioMode 0"});

  // A renderless renderer is never asked; the options store the value (set while inactive).
  FG->SetActive(false);
  VW->VMROptions()->SetMode(vmrRenderless);
  Log.Take();
  VW->VMROptions()->SetKeepAspectRatio(true);
  EXPECT_TRUE(VW->VMROptions()->KeepAspectRatio());
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(VideoWindowTest, AnOptionAssignmentWhileMixingRebuildsTheRendererUnderTheSameName) {
  JoinMixing();
  FG->SetActive(true);
  Log.Take();
  const TCalls Teardown{"VMR2 Stop", "Disconnect VMR2.in0", "Disconnect VMR2.in1", "G1 RemoveFilter VW", "VMR2 freed"};
  VW->VMROptions()->SetMode(vmrWindowless);  // the value it has
  EXPECT_EQ(RendererCalls(), (Teardown + TCalls{"create VMR3", "VMR3 SetRenderingMode 2", "G1 AddFilter VW"} +
                              WindowlessConfiguration("VMR3")));
  EXPECT_EQ(Graphs.Latest()->FilterNames(), TCalls{"VW"});

  // The window's mode rebuilds too, after the probe for the mixing renderer.
  VW->SetMode(vmVMR);
  const TCalls Calls = RendererCalls();
  ASSERT_GE(Calls.size(), 4u);
  EXPECT_EQ(TCalls(Calls.begin(), Calls.begin() + 4),
            (TCalls{"create VMR4", "VMR4 freed", "VMR3 Stop", "Disconnect VMR3.in0"}));
}

TEST_F(VideoWindowTest, NoCallsForAnOptionWithTheClassicRendererOrForTheSameGraph) {
  VW->SetFilterGraph(FG.get());
  FG->SetActive(true);
  EXPECT_EQ(RendererCalls(), (TCalls{"create VR1", "G1 AddFilter VW"}));
  VW->VMROptions()->SetMode(vmrWindowless);
  VW->VMROptions()->SetStreams(2);
  VW->VMROptions()->SetPreferences({});
  VW->VMROptions()->SetKeepAspectRatio(false);
  VW->SetFilterGraph(FG.get());
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(VideoWindowTest, TheWindowAnswersForTheMixingRendererOnlyWhileItHasOne) {
  ComPtr<IVMRMixerControl9> Mixer;
  EXPECT_EQ(VW->QueryInterface(Mixer), E_NOINTERFACE);
  JoinMixing();
  EXPECT_EQ(VW->QueryInterface(Mixer), E_NOINTERFACE);  // joined, graph inactive
  FG->SetActive(true);
  ASSERT_EQ(VW->QueryInterface(Mixer), S_OK);
  EXPECT_EQ(Mixer.Get(), static_cast<IVMRMixerControl9*>(Renderers.LatestMixer()));
  ComPtr<IVMRWindowlessControl9> Windowless;
  ASSERT_EQ(VW->QueryInterface(Windowless), S_OK);
  EXPECT_EQ(Windowless.Get(), static_cast<IVMRWindowlessControl9*>(Renderers.LatestMixer()));
  void* Member = nullptr;
  ASSERT_EQ(VW->QueryInterface(IGraphMember::IID, &Member), S_OK);
  EXPECT_EQ(Member, static_cast<IGraphMember*>(VW.get()));
  Mixer.Reset();
  Windowless.Reset();
  FG->SetActive(false);
  EXPECT_EQ(VW->QueryInterface(Mixer), E_NOINTERFACE);

  // The classic renderer has no mixer.
  VW->SetMode(vmNormal);
  FG->SetActive(true);
  EXPECT_EQ(VW->QueryInterface(Mixer), E_NOINTERFACE);
  ComPtr<IVideoWindow> Window;
  EXPECT_EQ(VW->QueryInterface(Window), S_OK);
}

TEST_F(VideoWindowTest, WithoutTheMixingRendererTheModeFallsBackToTheClassicOne) {
  Renderers.MixingAvailable = false;
  VW->SetMode(vmVMR);
  EXPECT_EQ(VW->Mode(), vmNormal);
  VW->SetFilterGraph(FG.get());
  FG->SetActive(true);
  EXPECT_EQ(RendererCalls(), (TCalls{"create VR1", "G1 AddFilter VW"}));
}

TEST_F(VideoWindowTest, RenderlessWithoutAnAllocatorRaisesBeforeAnyRendererIsMade) {
  JoinMixing(vmrRenderless);
  try {
    FG->SetActive(true);
    ADD_FAILURE() << "no exception";
  } catch (const EDirectShowException&) {
    ADD_FAILURE() << "a graph error";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "Allocator class not set.");
  }
  EXPECT_EQ(RendererCalls(), TCalls{});
  ComPtr<IBaseFilter> Filter;
  EXPECT_EQ(VW->QueryInterface(Filter), E_NOINTERFACE);
}

TEST_F(VideoWindowTest, AFailingCallRaisesAGraphErrorAndLeavingTheGraphStillUnregisters) {
  JoinMixing();
  Renderers.FailingCall = "SetRenderingPrefs";
  EXPECT_THROW(FG->SetActive(true), EDirectShowException);
  Renderers.FailingCall.clear();
  FG->SetActive(false);
  FG->SetActive(true);
  Log.Take();

  // A teardown that fails inside the destructor is reported; the graph no longer knows the window.
  Renderers.LatestMixer()->FailingCall = "Stop";
  std::string Reported;
  SetExceptionReporter([&](const std::string& Message) { Reported = Message; });
  VW.reset();
  SetExceptionReporter({});
  EXPECT_EQ(Reported, GraphErrorText(E_FAIL) + " ($80004005).");
  FG->SetActive(false);  // would reach the freed window if it were still a member
  EXPECT_EQ(RendererCalls(), TCalls{"VMR3 Stop"});
}

TEST_F(VideoWindowTest, AGraphDestroyedFirstTearsTheRendererDownAndIsForgotten) {
  JoinMixing();
  FG->SetActive(true);
  Log.Take();
  FG.reset();
  EXPECT_EQ(RendererCalls(),
            (TCalls{"VMR2 Stop", "Disconnect VMR2.in0", "Disconnect VMR2.in1", "G1 RemoveFilter VW", "VMR2 freed"}));
  EXPECT_EQ(VW->FilterGraph(), nullptr);
  VW.reset();
  EXPECT_TRUE(Log.Take().empty());
}
}  // namespace
