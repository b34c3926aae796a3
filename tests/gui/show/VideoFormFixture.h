#pragma once
// The program made headless (its video form, no playlist window) on real GStreamer under X,
// with a registry of the test's own, as the show tests play entries through it. A test sets
// Line before SetUp for a show of its own.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QTemporaryDir>
#include <memory>
#include <sstream>

#include "app/EntryKinds.h"
#include "engine/VizmoraPlayer.h"
#include "main/Program.h"
#include "platform/gst/GstPlatform.h"
#include "ui/vizmoraFM.h"

class VideoFormFixture : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VIZMORA_REGISTRY", (Dir.path() + "/registry.reg").toUtf8());
    GstPlatformInitialize();
    Line.Headless = true;
    Program = std::make_unique<TProgram>(Line, TProgramContext{Events, Errors, {}, QDBusConnection(QStringLiteral("no bus"))});
    ASSERT_TRUE(Program->Create());
    Kinds = &Program->Kinds();
  }
  void TearDown() override { Program.reset(); }
  TVizmoraPlayList& List() { return *Program->Player().PlayList; }

  QTemporaryDir Dir;
  TCommandLine Line;
  std::ostringstream Events, Errors;
  std::unique_ptr<TProgram> Program;
  TEntryKinds* Kinds = nullptr;
};
