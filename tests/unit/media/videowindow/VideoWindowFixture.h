#pragma once
// A video window on a shown form, joined to a graph component over the scripted graph and
// renderer classes. The window goes before the graph, the graph before the form.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <memory>

#include "fakes/FakeGraphClasses.h"
#include "fakes/FakeVideoRenderers.h"
#include "media/VideoWindow.h"
#include "platform/win/Messages.h"

using TCalls = std::vector<std::string>;

// A form that counts the context-menu requests reaching it.
class TTestForm : public QWidget {
public:
  int MenuRequests = 0;

protected:
  void contextMenuEvent(QContextMenuEvent* Event) override {
    ++MenuRequests;
    Event->accept();
  }
};

class VideoWindowFixture : public ::testing::Test {
protected:
  VideoWindowFixture() {
    Form.resize(800, 600);
    Form.show();
    VW->setObjectName("VW");
    VW->setGeometry(10, 20, 320, 240);
    VW->show();
  }

  // Mixing in the given mode, joined to the inactive graph; the calls so far are forgotten.
  void JoinMixing(TVMRVideoMode Mode = vmrWindowless) {
    VW->SetMode(vmVMR);
    VW->VMROptions()->SetMode(Mode);
    VW->SetFilterGraph(FG.get());
    Log.Take();
  }
  // The renderers' calls, the graph's filter additions and removals, and the creations of
  // renderers, since the last look; the graph's other calls are left out.
  TCalls RendererCalls() {
    TCalls Calls;
    for (std::string& Call : Log.Take())
      if (!(Call.starts_with("G") && Call.find("Filter ") == std::string::npos) && !Call.starts_with("create G"))
        Calls.push_back(std::move(Call));
    return Calls;
  }
  std::string Handle(QObject* Window) const { return std::to_string(HandleOf(Window)); }
  // What configuring the windowless mixing renderer Id of a 320 x 240 window with the default
  // options calls, after its creation.
  TCalls WindowlessConfiguration(const std::string& Id) {
    return {Id + " SetNumberOfStreams 4", Id + " GetNumberOfStreams", Id + " SetVideoClippingWindow " + Handle(VW.get()),
            Id + " SetRenderingPrefs 0",  Id + " GetRenderingPrefs",  Id + " SetVideoPosition 0,0,320,240",
            Id + " SetAspectRatioMode 1"};
  }

  TCallLog Log;
  TFakeRendererClasses Renderers{Log};  // outlives the graphs, which may still hold a renderer
  TFakeGraphClasses Graphs{Log};
  TTestForm Form;
  std::unique_ptr<TFilterGraph> FG = std::make_unique<TFilterGraph>();
  std::unique_ptr<TVideoWindow> VW = std::make_unique<TVideoWindow>(&Form);
};

inline TCalls operator+(TCalls A, const TCalls& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}
