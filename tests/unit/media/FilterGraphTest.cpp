#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "media/DirectShowException.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/RunningObjectTable.h"
#include "unit/media/GraphFixture.h"

namespace {
std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path);
  return {std::istreambuf_iterator<char>(In), {}};
}

// Runs Call, which must raise EDirectShowException with Code and Message.
template <typename F>
void ExpectGraphError(F&& Call, HRESULT Code, const std::string& Message) {
  try {
    Call();
    ADD_FAILURE() << "no exception";
  } catch (const EDirectShowException& E) {
    EXPECT_EQ(E.ResultCode, Code);
    EXPECT_EQ(E.Message, Message);
  }
}

// Points the running object table at a folder of the test's own for the test's lifetime.
class TRuntimeFolder {
public:
  TRuntimeFolder() {
    if (const char* Old = std::getenv("XDG_RUNTIME_DIR")) FOld = Old;
    setenv("XDG_RUNTIME_DIR", FDir.path().toLocal8Bit().constData(), 1);
  }
  ~TRuntimeFolder() {
    if (FOld.empty())
      unsetenv("XDG_RUNTIME_DIR");
    else
      setenv("XDG_RUNTIME_DIR", FOld.c_str(), 1);
  }
  std::vector<std::string> Registrations() const {
    std::vector<std::string> Names;
    std::error_code Error;
    for (const auto& E : std::filesystem::directory_iterator(RunningObjectTableFolder(), Error))
      Names.push_back(E.path().filename().string());
    return Names;
  }

private:
  QTemporaryDir FDir;
  std::string FOld;
};
}  // namespace

TEST_F(GraphFixture, ActivationAddsMembersOneAfterTheOtherAndTellsObserversAfterOnActivate) {
  FG->AddMember(&A);
  FG->AddMember(&B);
  FG->AddObserver(&Observer);
  FG->OnActivate = [this](QObject* Sender) { Log.Add(Sender == FG.get() ? "OnActivate" : "OnActivate from elsewhere"); };
  EXPECT_TRUE(Log.Take().empty());  // registering tells nobody while inactive

  FG->SetActive(true);
  EXPECT_EQ(Log.Take(), (TCalls{"create G1", "G1 SetNotifyFlags 0", "G1 SetNotifyWindow $8001 self", "G1 SetLogFile 0",
                                "A before-add", "A name", "A filter", "G1 AddFilter A", "A after-add",
                                "B before-add", "B name", "B filter", "G1 AddFilter B", "B after-add",
                                "OnActivate", "observe control 7 1"}));
  FG->SetActive(true);
  EXPECT_TRUE(Log.Take().empty());
  EXPECT_EQ(Classes.Graphs.size(), 1u);

  FG->SetActive(false);
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 7 0", "A before-remove", "A filter", "G1 RemoveFilter A",
                                "A after-remove", "B before-remove", "B filter", "G1 RemoveFilter B", "B after-remove",
                                "G1 SetNotifyFlags 1", "G1 SetLogFile 0"}));
  EXPECT_EQ(References(Classes.Latest()), 1u) << "the component released every reference to its graph";
  FG->SetActive(false);
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(GraphFixture, MembersRegisteringWhileActiveJoinAndLeaveAtOnce) {
  FG->SetActive(true);
  Log.Take();
  FG->AddMember(&A);
  FG->RemoveMember(&A);
  EXPECT_EQ(Log.Take(), (TCalls{"A before-add", "A name", "A filter", "G1 AddFilter A", "A after-add",
                                "A before-remove", "A filter", "G1 RemoveFilter A", "A after-remove"}));
  FG->SetActive(false);
  Log.Take();
  FG->SetActive(true);
  EXPECT_EQ(Graph().FilterNames(), TCalls{}) << "a removed member does not come back";
}

TEST_F(GraphFixture, ClearGraphLeavesOnlyTheMembersFiltersUnconnected) {
  ActivateWithMemberAndObserver();
  const auto Source = MakeFilter(Log, "source");
  const auto Decoder = MakeFilter(Log, "decoder");
  Connect(Source->AddPin("out", PINDIR_OUTPUT), Decoder->AddPin("in", PINDIR_INPUT));
  Connect(Decoder->AddPin("out", PINDIR_OUTPUT), A.Filter->Pin(0));
  Graph().AddFilter(Source.Get(), u"source");
  Graph().AddFilter(Decoder.Get(), u"decoder");
  Log.Take();

  FG->ClearGraph();
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 2 0", "G1 Stop", "Disconnect A.in", "Disconnect source.out",
                                "Disconnect decoder.in", "Disconnect decoder.out", "A filter", "G1 RemoveFilter source",
                                "G1 RemoveFilter decoder"}));
  EXPECT_EQ(Graph().FilterNames(), TCalls{"A"});
  EXPECT_EQ(A.Filter->Pin(0)->Peer, nullptr);
}

TEST_F(GraphFixture, AFailingDisconnectStopsClearGraphBeforeAnyFilterIsRemoved) {
  ActivateWithMemberAndObserver();
  const auto Source = MakeFilter(Log, "source");
  Source->AddPin("out", PINDIR_OUTPUT)->DisconnectResult = E_UNEXPECTED;
  Graph().AddFilter(Source.Get(), u"source");
  Log.Take();

  ExpectGraphError([&] { FG->ClearGraph(); }, E_UNEXPECTED,
                   "The operation came at an unexpected time. ($8000FFFF).");
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 2 0", "G1 Stop", "Disconnect A.in", "Disconnect source.out"}));
  EXPECT_EQ(Graph().FilterNames(), (TCalls{"A", "source"}));
}

TEST_F(GraphFixture, AnInactiveComponentDoesNothingAndTellsNobody) {
  FG->AddMember(&A);
  FG->AddObserver(&Observer);
  FG->ClearGraph();
  FG->DisconnectAll();
  EXPECT_EQ(FG->RenderFile("/media/clip.avi"), S_FALSE);
  EXPECT_FALSE(FG->Play());
  EXPECT_FALSE(FG->Pause());
  EXPECT_FALSE(FG->Stop());
  FG->SetVolume(5000);
  EXPECT_EQ(FG->GraphState(), gsNone);
  EXPECT_EQ(FG->Duration(), 0);
  ComPtr<IMediaControl> Control;
  EXPECT_EQ(FG->QueryInterface(Control), E_NOINTERFACE);
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(GraphFixture, PlayAcceptsAnySuccessWhilePauseAndStopWantExactlySOk) {
  ActivateWithMemberAndObserver();
  Graph().RunResult = Graph().PauseResult = Graph().StopResult = S_FALSE;
  EXPECT_TRUE(FG->Play());
  EXPECT_FALSE(FG->Pause());
  EXPECT_FALSE(FG->Stop());
  Graph().RunResult = Graph().PauseResult = Graph().StopResult = S_OK;
  EXPECT_TRUE(FG->Play());
  EXPECT_TRUE(FG->Pause());
  EXPECT_TRUE(FG->Stop());
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 0 0", "G1 Run", "observe control 1 0", "G1 Pause",
                                "observe control 2 0", "G1 Stop", "observe control 0 0", "G1 Run",
                                "observe control 1 0", "G1 Pause", "observe control 2 0", "G1 Stop"}));

  Graph().RunResult = VFW_E_WRONG_STATE;
  ExpectGraphError([&] { FG->Play(); }, VFW_E_WRONG_STATE,
                   "The operation is not possible in the graph's current state. ($80040227).");
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 0 0", "G1 Run"}));
}

TEST_F(GraphFixture, RenderFileTellsObserversAroundASuccessAndOnlyBeforeAFailure) {
  ActivateWithMemberAndObserver();
  Graph().RenderResult = VFW_S_STATE_INTERMEDIATE;
  EXPECT_EQ(FG->RenderFile("/media/Ärger.avi"), VFW_S_STATE_INTERMEDIATE);
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 3 0", "G1 RenderFile /media/Ärger.avi", "observe control 4 0"}));

  // The failure keeps the code's text first, then names the file and what the graph said.
  Graph().RenderResult = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  ExpectGraphError([&] { FG->RenderFile(u"/media/missing.avi"); }, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                   "The file was not found. ($80070002). /media/missing.avi");
  Graph().Said = "Resource not found.";
  ExpectGraphError([&] { FG->RenderFile(u"/media/missing.avi"); }, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                   "The file was not found. ($80070002). /media/missing.avi: Resource not found.");
  Graph().RunResult = E_FAIL;
  ExpectGraphError([&] { FG->Play(); }, E_FAIL, "The operation failed. ($80004005). Resource not found.");
  Graph().RunResult = S_OK;
  Graph().Said.clear();
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 3 0", "G1 RenderFile /media/missing.avi", "observe control 3 0",
                                "G1 RenderFile /media/missing.avi", "observe control 0 0", "G1 Run"}));

  // A path holding a NUL names no file: the file named by the part before it is not played.
  Graph().RenderResult = S_OK;
  ExpectGraphError([&] { FG->RenderFile(std::string("/media/clip.avi\0.jpg", 20)); },
                   HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "The file was not found. ($80070002). /media/clip.avi\\0.jpg");
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 3 0"}));
}

TEST(CheckGraphResult, PassesSuccessCodesAndNamesUnknownFailuresByCodeAlone) {
  EXPECT_EQ(CheckGraphResult(S_OK), S_OK);
  EXPECT_EQ(CheckGraphResult(0x7FFFFFFF), 0x7FFFFFFF);
  ExpectGraphError([] { CheckGraphResult(static_cast<HRESULT>(0x8004ABCDu)); }, static_cast<HRESULT>(0x8004ABCDu),
                   " ($8004ABCD).");
}

TEST_F(GraphFixture, VolumeDurationAndStateAreMapped) {
  FG->SetActive(true);
  Log.Take();
  FG->SetVolume(10000);
  FG->SetVolume(0);
  FG->SetVolume(5000);
  EXPECT_EQ(Log.Take(), (TCalls{"G1 put_Volume 0", "G1 put_Volume -10000", "G1 put_Volume -5000"}));

  Graph().Length = 90LL * 60 * 10'000'000;  // 90 minutes in 100-ns units
  EXPECT_EQ(FG->Duration(), 5'400'000);
  Graph().Length = 19'999;
  EXPECT_EQ(FG->Duration(), 1);
  Graph().Length = -19'999;
  EXPECT_EQ(FG->Duration(), -1) << "truncated toward zero";

  const std::pair<OAFilterState, TGraphState> States[] = {
      {State_Stopped, gsStopped}, {State_Paused, gsPaused}, {State_Running, gsRunning}, {3, gsNone}, {-1, gsNone}};
  for (const auto& [Reported, Expected] : States) {
    Graph().State = Reported;
    EXPECT_EQ(FG->GraphState(), Expected) << Reported;
  }
}

TEST_F(GraphFixture, GraphEditPublishesTheGraphOnlyWhileActive) {
  const TRuntimeFolder Runtime;
  FG->SetGraphEdit(true);
  EXPECT_TRUE(Runtime.Registrations().empty());

  FG->SetActive(true);
  const auto Names = Runtime.Registrations();
  ASSERT_EQ(Names.size(), 1u);
  char Expected[64];
  std::snprintf(Expected, sizeof Expected, "FilterGraph %016llX pid %X",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(static_cast<IGraphBuilder*>(Classes.Latest()))),
                static_cast<unsigned>(::getpid()));
  EXPECT_EQ(Names[0], Expected);

  FG->SetGraphEdit(false);
  EXPECT_TRUE(Runtime.Registrations().empty()) << "revoked at once";
  FG->SetGraphEdit(true);
  EXPECT_EQ(Runtime.Registrations().size(), 1u);
  FG->SetActive(false);
  EXPECT_TRUE(Runtime.Registrations().empty());
  FG->SetActive(true);
  EXPECT_EQ(Runtime.Registrations().size(), 1u) << "activation applies the stored value";
}

TEST_F(GraphFixture, LogFileIsCreatedAfreshOnActivationAndABadPathKeepsTheOldValueWithLoggingOff) {
  const QTemporaryDir Dir;
  const std::string Path = Dir.filePath("graph.log").toStdString();
  std::ofstream(Path) << "an old log";
  FG->SetLogFile(Path);
  EXPECT_EQ(ReadFile(Path), "an old log") << "nothing happens while inactive";
  EXPECT_EQ(FG->property("LogFile").toString().toStdString(), Path);

  FG->SetActive(true);
  EXPECT_EQ(ReadFile(Path), "");
  ASSERT_NE(Graph().LogHandle, 0u);
  ASSERT_EQ(::write(static_cast<int>(Graph().LogHandle), "logged", 6), 6);
  EXPECT_EQ(ReadFile(Path), "logged") << "the graph got the file's handle";
  Log.Take();

  FG->SetLogFile(Dir.filePath("no such folder/graph.log").toStdString());
  EXPECT_EQ(FG->LogFile(), Path);
  EXPECT_EQ(Log.Take(), (TCalls{"G1 SetLogFile 0", "G1 SetLogFile 0"}));
  EXPECT_EQ(Graph().LogHandle, 0u);

  FG->SetLogFile("");
  EXPECT_EQ(FG->LogFile(), "");
}

TEST_F(GraphFixture, ChangingModeRebuildsAnActiveGraphAndOnlyStoresOnAnInactiveOne) {
  ActivateWithMemberAndObserver();
  FG->SetMode(gmNormal);
  EXPECT_TRUE(Log.Take().empty());

  FG->SetMode(gmCapture);
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 7 0", "A before-remove", "A filter", "G1 RemoveFilter A", "A after-remove",
                                "G1 SetNotifyFlags 1", "G1 SetLogFile 0", "create capture builder", "create G2",
                                "capture SetFiltergraph", "G2 SetNotifyFlags 0", "G2 SetNotifyWindow $8001 self",
                                "G2 SetLogFile 0", "A before-add", "A name", "A filter", "G2 AddFilter A", "A after-add",
                                "observe control 7 1"}));
  EXPECT_TRUE(FG->Active());
  EXPECT_EQ(FG->Mode(), gmCapture);

  FG->SetActive(false);
  Log.Take();
  FG->setProperty("Mode", QVariant::fromValue(gmNormal));
  EXPECT_EQ(FG->Mode(), gmNormal);
  EXPECT_TRUE(Log.Take().empty());
  EXPECT_FALSE(FG->Active());
}

TEST_F(GraphFixture, WithoutACaptureBuilderTheCaptureModeStillGetsItsFilterGraph) {
  Classes.CaptureAvailable = false;
  FG->SetMode(gmCapture);
  FG->SetActive(true);
  EXPECT_EQ(Log.Take(), (TCalls{"create G1", "G1 SetNotifyFlags 0", "G1 SetNotifyWindow $8001 self", "G1 SetLogFile 0"}));
  EXPECT_TRUE(FG->Play());
}

TEST_F(GraphFixture, TheDvdModeAsksTheBuilderThenItsDvdInterfacesThenTheGraph) {
  FG->SetMode(gmDVD);
  FG->SetActive(true);
  EXPECT_EQ(Log.Take(), (TCalls{"create dvd builder", "create G1", "dvd GetFiltergraph", "G1 SetNotifyFlags 0",
                                "G1 SetNotifyWindow $8001 self", "G1 SetLogFile 0"}));
  ComPtr<IDvdGraphBuilder> Builder;
  ComPtr<IDvdInfo2> Info;
  ComPtr<IMediaControl> Control;
  EXPECT_EQ(FG->QueryInterface(Builder), S_OK);
  EXPECT_EQ(Builder.Get(), static_cast<IDvdGraphBuilder*>(Classes.DvdBuilders[0].Get()));
  EXPECT_EQ(FG->QueryInterface(Info), S_OK);
  EXPECT_EQ(Info.Get(), static_cast<IDvdInfo2*>(Classes.DvdBuilders[0]->Info.Get()));
  EXPECT_EQ(FG->QueryInterface(Control), S_OK);
  EXPECT_EQ(Control.Get(), static_cast<IMediaControl*>(Classes.Latest()));
}

TEST_F(GraphFixture, AutoCreateActivatesWhenLoadingEnds) {
  FG->BeginLoading();
  FG->setProperty("AutoCreate", true);
  FG->setProperty("GraphEdit", false);
  EXPECT_FALSE(FG->Active());
  FG->EndLoading();
  EXPECT_TRUE(FG->Active());

  TFilterGraph Plain;
  Plain.BeginLoading();
  Plain.EndLoading();
  EXPECT_FALSE(Plain.Active());
}

TEST_F(GraphFixture, DestructionDeactivatesFirst) {
  ActivateWithMemberAndObserver();
  FG.reset();
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 7 0", "A before-remove", "A filter", "G1 RemoveFilter A",
                                "A after-remove", "G1 SetNotifyFlags 1", "G1 SetLogFile 0"}));
  EXPECT_EQ(References(Classes.Latest()), 1u);
}

TEST_F(GraphFixture, TheLastVolumeSetReachesEveryGraphBuiltLater) {
  const auto VolumeCalls = [this] {
    TCalls Volumes;
    for (const std::string& Call : Log.Take())
      if (Call.find("put_Volume") != std::string::npos) Volumes.push_back(Call);
    return Volumes;
  };
  FG->SetActive(true);
  FG->SetActive(false);
  FG->SetActive(true);
  EXPECT_EQ(VolumeCalls(), TCalls{}) << "graphs keep the platform's volume until one is set";
  FG->SetVolume(0);
  FG->SetActive(false);
  FG->SetVolume(2500);  // while inactive: kept for the next graph
  FG->SetActive(true);
  FG->SetActive(false);
  FG->SetActive(true);
  EXPECT_EQ(VolumeCalls(), (TCalls{"G2 put_Volume -10000", "G3 put_Volume -7500", "G4 put_Volume -7500"}));
}

// A graph that renders on a thread of its own is waited for in the event loop: RenderFile gives
// its result, or, when something comes first (a control call, the loop's end, the component
// freed), calls it off and raises EAbort.
TEST_F(GraphFixture, ARenderInTheBackgroundIsAwaitedInTheEventLoopAndCalledOffByWhatComesFirst) {
  ActivateWithMemberAndObserver();
  Graph().Background = true;
  const auto Meanwhile = [](std::function<void()> Then) { QTimer::singleShot(0, std::move(Then)); };
  Meanwhile([&] { Graph().FinishRender(S_FALSE); });
  EXPECT_EQ(S_FALSE, FG->RenderFile(std::string("a.avi")));
  Meanwhile([&] { Graph().FinishRender(VFW_E_UNKNOWN_FILE_TYPE); });
  EXPECT_THROW(FG->RenderFile(std::string("b.avi")), EDirectShowException);
  Meanwhile([&] { FG->Stop(); });
  EXPECT_THROW(FG->RenderFile(std::string("c.avi")), EAbort);
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 3 0", "G1 BeginRenderFile a.avi", "observe control 4 0",
                                "observe control 3 0", "G1 BeginRenderFile b.avi", "observe control 3 0",
                                "G1 BeginRenderFile c.avi", "G1 Abort", "observe control 2 0", "G1 Stop"}));

  Meanwhile([] { QCoreApplication::exit(0); });
  EXPECT_THROW(FG->RenderFile(std::string("d.avi")), EAbort);
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();  // later loops would end at once otherwise
  Meanwhile([&] { FG.reset(); });
  TFilterGraph* Freed = FG.get();
  EXPECT_THROW(Freed->RenderFile(std::string("e.avi")), EAbort);
  EXPECT_EQ(Log.Take(), (TCalls{"observe control 3 0", "G1 BeginRenderFile d.avi", "G1 Abort", "observe control 3 0",
                                "G1 BeginRenderFile e.avi", "G1 Abort", "observe control 7 0", "A before-remove",
                                "A filter", "G1 RemoveFilter A", "A after-remove", "G1 SetNotifyFlags 1",
                                "G1 SetLogFile 0"}));
}
