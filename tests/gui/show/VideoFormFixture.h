#pragma once
// The program's video form on real GStreamer under X, with a registry of the test's own and the
// entry kinds wired to its graphs and window, as the show tests play entries through it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "engine/VizmoraPlayer.h"
#include "platform/gst/GstPlatform.h"
#include "ui/EntryKinds.h"
#include "ui/StatusLine.h"
#include "ui/vizmoraFM.h"

class VideoFormFixture : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    SetStatusDisplay([](const std::string&) {});
    GstPlatformInitialize();
    vizmoraFM = CreateForm<TvizmoraFM>();
    Kinds = std::make_unique<TEntryKinds>(ThePlayer->PlayList, vizmoraFM->FG, vizmoraFM->SG, vizmoraFM->VW);
  }
  void TearDown() override {
    Kinds.reset();
    FreeForms();
    vizmoraFM = nullptr;
    delete ThePlayer;
    ThePlayer = nullptr;
    SetStatusDisplay({});
  }
  TVizmoraPlayList& List() { return *ThePlayer->PlayList; }

  QTemporaryDir Dir;
  std::unique_ptr<TEntryKinds> Kinds;
};
