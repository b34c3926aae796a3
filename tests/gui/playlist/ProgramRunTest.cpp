// The playlist window over the program's run: its aspect option and placement kept across a
// restart, and the run ending when the video form closes, whatever dialogs are open.
#include "gui/playlist/PlayListWindowFixture.h"
#include "settings/Registry.h"
#include "ui/PLEProp.h"

namespace {
const std::string Key = "Software\\Quorvex Software\\Vizmora";
}  // namespace

TEST_F(PlayListWindow, AspectOptionAndPlacementOutliveARestartAndRestoringTouchesNoRenderer) {
  TVMROptions* Options = vizmoraFM->VW->VMROptions();
  EXPECT_FALSE(Window().Aspect->isChecked()) << "nothing saved yet";
  EXPECT_TRUE(Options->KeepAspectRatio()) << "the video window's own default";
  ChooseMenuItem("View", Window().Aspect);
  EXPECT_TRUE(Window().Aspect->isChecked());
  EXPECT_TRUE(Options->KeepAspectRatio());
  ChooseMenuItem("View", Window().Aspect);
  EXPECT_FALSE(Window().Aspect->isChecked());
  EXPECT_FALSE(Options->KeepAspectRatio());
  ChooseMenuItem("View", Window().Aspect);
  EXPECT_TRUE(Window().Aspect->isChecked());
  EXPECT_TRUE(Options->KeepAspectRatio());
  Window().SetBounds(700, 150, 423, 645);

  Program.reset();
  TRegistry Store(Key);
  EXPECT_EQ(Store.ReadString("PlayLstFm", "Aspect.Checked", ""), "1");
  EXPECT_EQ(Store.ReadString("PlayLstFm", ".Left", ""), "700");
  EXPECT_EQ(Store.ReadString("PlayLstFm", ".Bottom", ""), "795");
  // The two settings go their own ways: the check mark restored runs no handler.
  Store.WriteString("vizmoraFM", "VW.VMROptions.KeepAspectRatio", "0");

  Start();
  EXPECT_TRUE(Window().Aspect->isChecked());
  EXPECT_FALSE(vizmoraFM->VW->VMROptions()->KeepAspectRatio());
  EXPECT_EQ(QRect(Window().Left(), Window().Top(), Window().Width(), Window().Height()), QRect(700, 150, 423, 645));
  EXPECT_TRUE(Reports.empty());
}

TEST_F(PlayListWindow, ExitEndsTheProgramWhilePropertiesDialogsAreOpen) {
  Add(TTestMedia::RedClip);
  PlayRow(0);
  ClickRow(0);
  ClickButton(Window().Properties);
  QPointer<TPLEProp> Dialog = PLEProp;
  ASSERT_TRUE(Dialog && Dialog->isVisible());

  QTimer::singleShot(0, [this] { ChooseMenuItem("File", Window().Exit1); });
  EXPECT_EQ(RunProgram(60000), 0) << "the program did not end";
  EXPECT_FALSE(vizmoraFM->FG->Active()) << "the main graph was shut down";
  Program.reset();
  EXPECT_TRUE(Dialog.isNull());
  Start();  // for the fixture's end
}
