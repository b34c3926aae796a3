#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <iostream>

#include "app/StatusLine.h"
#include "engine/VizmoraPlayer.h"
#include "fakes/FakeGraphClasses.h"
#include "fakes/FakeVideoRenderers.h"
#include "media/FilterGraph.h"
#include "media/VideoWindow.h"
#include "platform/dshow/EventCodes.h"
#include "ui/vizmoraFM.h"

namespace {
using TCalls = std::vector<std::string>;

class VideoFormTest : public ::testing::Test {
protected:
  VideoFormTest() {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    StatusLine.SetDisplay([this](const std::string& Text) { Status.push_back(Text); });
    vizmoraFM = CreateForm<TvizmoraFM>(&Player);
    vizmoraFM->StatusLine = &StatusLine;
  }
  ~VideoFormTest() override {
    if (vizmoraFM) vizmoraFM->Free();
    vizmoraFM = nullptr;
    ThePlayer = nullptr;
  }
  TFakeFilterGraph& Main() { return *Classes.Graphs.at(0).Get(); }
  bool Logged(const std::string& Call) const {
    return std::find(Log.Calls.begin(), Log.Calls.end(), Call) != Log.Calls.end();
  }

  QTemporaryDir Dir;
  TVizmoraPlayer Player;
  TStatusLine StatusLine{std::cerr};
  TCallLog Log;
  TFakeRendererClasses Renderers{Log};
  TFakeGraphClasses Classes{Log};
  TCalls Status;
};
}  // namespace

TEST_F(VideoFormTest, StartUpBuildsTheFormItsGraphsAndTakesThePlayer) {
  ASSERT_EQ(ThePlayer, &Player);
  EXPECT_EQ(ThePlayer->PlayList->Count(), 0);
  EXPECT_EQ(vizmoraFM->Caption(), "Quorvex Vizmora! v1.3");
  EXPECT_EQ(vizmoraFM->objectName(), "vizmoraFM");
  EXPECT_TRUE(vizmoraFM->FG->Active());
  EXPECT_TRUE(vizmoraFM->FG->GraphEdit());
  EXPECT_TRUE(vizmoraFM->SG->Active());
  EXPECT_FALSE(vizmoraFM->SG->GraphEdit());
  EXPECT_EQ(vizmoraFM->VW->FilterGraph(), vizmoraFM->FG);
  EXPECT_EQ(vizmoraFM->VW->Mode(), vmVMR);
  EXPECT_EQ(vizmoraFM->VW->VMROptions()->Mode(), vmrWindowless);
  EXPECT_TRUE(Logged("G1 AddFilter VW")) << "the video window's renderer joined the main graph";
  EXPECT_TRUE(vizmoraFM->isVisible());
  EXPECT_EQ(vizmoraFM->VW->geometry(), vizmoraFM->rect()) << "the video window fills the client area";
}

TEST_F(VideoFormTest, MainGraphEventsBecomeStatusTexts) {
  REFERENCE_TIME StreamTime = 12345;
  for (auto [Code, P1, P2] : std::vector<std::tuple<LONG, LONG_PTR, LONG_PTR>>{
           {EC_BUFFERING_DATA, 1, 0},
           {EC_BUFFERING_DATA, 0, 0},
           {EC_OPENING_FILE, 1, 0},
           {EC_OPENING_FILE, 2, 0},
           {EC_PAUSED, S_OK, 0},
           {EC_STEP_COMPLETE, 0, 0},
           {EC_END_OF_SEGMENT, reinterpret_cast<LONG_PTR>(&StreamTime), 2},
           {EC_END_OF_SEGMENT, reinterpret_cast<LONG_PTR>(&StreamTime), 0},
           {EC_STREAM_CONTROL_STARTED, 0, 1},
           {EC_STREAM_CONTROL_STOPPED, 0, 1},
           {EC_COMPLETE, S_OK, 0}})
    Main().Queue(Code, P1, P2);
  vizmoraFM->FG->HandleGraphEvents();
  EXPECT_EQ(Status, (TCalls{"Buffering Data", "Opening File", "Paused", "Step Complete", "End of segment 2",
                            "End of segment 0", "Stream Control Started", "Stream Control Stoped"}));
}

TEST_F(VideoFormTest, AClockChangeRewindsTheMainGraph) {
  Main().Length = 40000000;
  Main().Position = 25000000;
  Log.Take();
  Main().Queue(EC_CLOCK_CHANGED);
  vizmoraFM->FG->HandleGraphEvents();
  EXPECT_TRUE(Logged("G1 SetPositions 0 1 40000000 0"));
  EXPECT_EQ(Main().Position, 0);
}

TEST_F(VideoFormTest, ClosingStopsClearsAndReleasesTheMainGraph) {
  vizmoraFM->FG->RenderFile(std::string("/show/clip.avi"));
  Log.Take();
  vizmoraFM->close();
  const TCalls Calls = Log.Take();
  const auto At = [&](const std::string& Call) { return std::find(Calls.begin(), Calls.end(), Call) - Calls.begin(); };
  ASSERT_LT(At("G1 SetNotifyFlags 1"), static_cast<long>(Calls.size())) << "the main graph was deactivated";
  EXPECT_LT(At("G1 Stop"), At("G1 SetNotifyFlags 1"));
  EXPECT_FALSE(vizmoraFM->FG->Active());
  EXPECT_TRUE(vizmoraFM->SG->Active()) << "the sound graph goes with the form";
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  vizmoraFM = nullptr;  // freed by its close action
}
