// The settings component without a window: property paths, stores, failures, the ini path.
#include <gtest/gtest.h>

#include "platform/win/Environment.h"
#include "settings/RegAuto.h"
#include "unit/settings/TempRegistry.h"
#include "unit/settings/TestComponents.h"

namespace {
const std::string Key = "Software\\Quorvex Software\\Vizmora";

class RegAutoStore : public ::testing::Test {
protected:
  RegAutoStore() : Auto(new TRegAuto(&Owner)) {
    Auto->setObjectName("RegAuto1");
    Auto->SetRegPath(QString::fromStdString(Key));
  }
  std::string Stored(const std::string& Name) const { return QueryValue(Key + "\\PlayLstFm", Name).Text(); }

  TTempRegistry Reg;
  TTestOwner Owner;
  TRegAuto* Auto;
};

TEST_F(RegAutoStore, PropertiesOfEveryKindRoundTripThroughTheRegistry) {
  Auto->SetProps({"Aspect.Checked", "VW.VMROptions.Ratio", "VW.VMROptions.Label", "VW.VMROptions.State",
                  "VW.VMROptions.Align", "VW.VMROptions.Spot", "VW.VMROptions.Big", "VW.VMROptions", "VW.Nothing.X", "Aspect.Tag.Ignored"});
  Owner.Aspect->Checked = true;
  Owner.Aspect->Tag = -5;
  Owner.VW->VMROptions->Ratio = 0.1 + 0.2;
  Owner.VW->VMROptions->Label = "x y";
  Owner.VW->VMROptions->State = Qt::Checked;
  Auto->Save();
  EXPECT_EQ(Stored("Aspect.Checked"), "1");
  EXPECT_EQ(Stored("VW.VMROptions.Ratio"), FloatToStr(0.3));
  EXPECT_EQ(Stored("VW.VMROptions.Label"), "x y");
  EXPECT_EQ(Stored("VW.VMROptions.State"), "2");
  EXPECT_EQ(Stored("Aspect.Tag.Ignored"), "-5") << "segments after a value are ignored";
  for (const char* Skipped : {"VW.VMROptions.Align", "VW.VMROptions.Spot", "VW.VMROptions.Big", "VW.VMROptions", "VW.Nothing.X"})
    EXPECT_FALSE(QueryValue(Key + "\\PlayLstFm", Skipped).Found) << Skipped;

  Owner.Aspect->Checked = false;
  Owner.Aspect->Tag = 0;
  Owner.VW->VMROptions->Ratio = 9;
  Owner.VW->VMROptions->Label.clear();
  Owner.VW->VMROptions->State = Qt::Unchecked;
  Auto->Load();
  EXPECT_TRUE(Owner.Aspect->Checked);
  EXPECT_EQ(Owner.Aspect->Tag, -5);
  EXPECT_EQ(Owner.VW->VMROptions->Ratio, 0.3);
  EXPECT_EQ(Owner.VW->VMROptions->Label, "x y");
  EXPECT_EQ(Owner.VW->VMROptions->State, Qt::Checked);
}

TEST_F(RegAutoStore, MissingComponentsAndTheOwnersNameInPaths) {
  Auto->SetProps({"Missing.Checked", "PlayLstFm.Caption", "Caption", "aspect.CHECKED", "x", ""});
  Owner.Aspect->Checked = true;
  Auto->Save();
  EXPECT_EQ(Stored(".Caption"), "Play List");
  EXPECT_EQ(Stored("Caption"), "Play List");
  EXPECT_EQ(Stored("aspect.CHECKED"), "1");
  EXPECT_FALSE(QueryValue(Key + "\\PlayLstFm", "Missing.Checked").Found);

  SetText(Key + "\\PlayLstFm", ".Caption", "From owner path");
  SetText(Key + "\\PlayLstFm", "aspect.checked", "0");
  Auto->SetProps({"Missing.Checked", "PlayLstFm.Caption", "Aspect.Checked"});
  Auto->Load();
  EXPECT_EQ(Owner.Caption, "From owner path");
  EXPECT_FALSE(Owner.Aspect->Checked);
}

TEST_F(RegAutoStore, NothingStoredKeepsValuesAndCreatesOnlyTheKey) {
  Auto->SetProps({"Aspect.Checked", "VW.VMROptions.Ratio"});
  Owner.Aspect->Checked = true;
  Auto->Load();
  EXPECT_TRUE(Owner.Aspect->Checked);
  EXPECT_EQ(Owner.VW->VMROptions->Ratio, 1.5);
  EXPECT_TRUE(KeyExists(Key));
  EXPECT_TRUE(Reg.KeysBelow(Key).empty());
}

TEST_F(RegAutoStore, FailuresAreWrappedWithTheirPath) {
  int AfterLoads = 0, AfterSaves = 0;
  Auto->AfterLoad = [&](QObject* Sender) { EXPECT_EQ(Sender, Auto), ++AfterLoads; };
  Auto->AfterSave = [&](QObject*) { ++AfterSaves; };
  Auto->SetProps({"Aspect.Checked", "Aspect.Tag", "VW.VMROptions.Ratio"});
  SetText(Key + "\\PlayLstFm", "Aspect.Checked", "1");
  SetDword(Key + "\\PlayLstFm", "Aspect.Tag", 3);
  SetText(Key + "\\PlayLstFm", "VW.VMROptions.Ratio", "2");
  try {
    Auto->Load();
    FAIL();
  } catch (const ERegAutoError& E) {
    EXPECT_EQ(E.Message, "Could not load property: Invalid data type for 'Aspect.Tag'");
  }
  EXPECT_TRUE(Owner.Aspect->Checked) << "applied before the failure";
  EXPECT_EQ(Owner.VW->VMROptions->Ratio, 1.5) << "later lines are not loaded";

  SetText(Key + "\\PlayLstFm", "Aspect.Tag", "3");
  SetText(Key + "\\PlayLstFm", "VW.VMROptions.Ratio", "two");
  try {
    Auto->Load();
    FAIL();
  } catch (const ERegAutoError& E) {
    EXPECT_EQ(E.Message, "Could not load property: 'two' is not a valid floating point value");
  }
  EXPECT_EQ(AfterLoads, 0);

  // SaveWindowPlace cannot be set on an owner that is no window.
  Auto->SetSaveWindowPlace(true);
  EXPECT_FALSE(Auto->SaveWindowPlace());

  std::ofstream(Reg.Folder() + "/plain") << "x";
  setenv("VIZMORA_REGISTRY", (Reg.Folder() + "/plain/registry.reg").c_str(), 1);
  try {
    Auto->Save();
    FAIL();
  } catch (const ERegAutoError& E) {
    EXPECT_EQ(E.Message, "Could not save property Aspect.Checked");
  }
  Auto->SetProps({});
  Auto->Save();
  EXPECT_EQ(AfterSaves, 1) << "nothing to write, nothing refused";
}

TEST_F(RegAutoStore, GlobalOverridesApplyPerAccessAndAreRestored) {
  Auto->SetProps({"Aspect.Tag"});
  Owner.Aspect->Tag = 4;
  GlobalRegPath = "Software\\Global";
  Auto->Save();
  EXPECT_EQ(QueryValue("Software\\Global\\PlayLstFm", "Aspect.Tag").Text(), "4");
  EXPECT_EQ(Auto->RegPath().toStdString(), Key);
  Auto->SetGlobalSettings(false);
  Auto->Save();
  GlobalRegPath.clear();
  EXPECT_EQ(Stored("Aspect.Tag"), "4");
  Auto->SetSection("Fixed");
  Auto->Save();
  EXPECT_EQ(QueryValue(Key + "\\Fixed", "Aspect.Tag").Text(), "4");
}

TEST_F(RegAutoStore, StreamOnlyValuesPickTheStore) {
  EXPECT_TRUE(Auto->ReadStreamValue("UseStr", true));
  EXPECT_EQ(Auto->Storage(), raIniStrings);
  EXPECT_TRUE(Auto->ReadStreamValue("UseReg", false));
  EXPECT_EQ(Auto->Storage(), raIniStrings) << "false changes nothing";
  EXPECT_FALSE(Auto->ReadStreamValue("UseNothing", true));

  Auto->SetProps({"Aspect.Tag", "Caption"});
  Owner.Aspect->Tag = 9;
  Auto->Save();
  EXPECT_EQ(Auto->IniStrings(), (QStringList{"", "[PlayLstFm]", "Aspect.Tag=9", "Caption=Play List"}));
  EXPECT_FALSE(std::ifstream(Reg.FileName()).good()) << "the registry is not touched";
  Auto->SetIniStrings({"[PlayLstFm]", "Aspect.Tag=12"});
  Auto->Load();
  EXPECT_EQ(Owner.Aspect->Tag, 12);

  Auto->ReadStreamValue("UseIni", true);
  Auto->SetIniFile(QString::fromStdString(Reg.Folder() + "/settings.ini"));
  Auto->Save();
  std::ifstream Ini(Reg.Folder() + "/settings.ini");
  std::string Line;
  std::getline(Ini, Line);
  EXPECT_EQ(Line, "[PlayLstFm]");
  std::getline(Ini, Line);
  EXPECT_EQ(Line, "Aspect.Tag=12");
}

class IniPath : public ::testing::Test {
protected:
  IniPath() {
    const char* Old = std::getenv("USERPROFILE");
    if (Old) FOld = Old;
    FHadOld = Old != nullptr;
  }
  ~IniPath() override {
    if (FHadOld)
      setenv("USERPROFILE", FOld.c_str(), 1);
    else
      unsetenv("USERPROFILE");
  }
  std::string Expanded(const char* IniFile) {
    Auto.SetIniFile(IniFile);
    return Auto.ExpandedIniFile();
  }
  static std::string ProgramFolder() {
    char Path[4096];
    const DWORD N = GetModuleFileNameA(nullptr, Path, sizeof Path);
    const std::string Program(Path, N);
    return Program.substr(0, Program.rfind('/') + 1);
  }

  TRegAuto Auto{nullptr};
  std::string FOld;
  bool FHadOld = false;
};

TEST_F(IniPath, HomeIsTheUserProfileAndRelativeNamesLieInTheProgramFolder) {
  setenv("USERPROFILE", "C:\\Profiles\\user1", 1);
  EXPECT_EQ(Expanded("$HOME/.Vizmora"), "C:\\Profiles\\user1/.Vizmora");
  setenv("USERPROFILE", "/home/u$HOME", 1);
  EXPECT_EQ(Expanded("$HOME/a/$HOME/b"), "/home/u$HOME/a//home/u$HOME/b") << "inserted text is not scanned";
  EXPECT_EQ(Expanded("$home/x"), ProgramFolder() + "$home/x") << "letter case counts";
  unsetenv("USERPROFILE");
  EXPECT_EQ(Expanded("$HOME/.Vizmora"), ProgramFolder() + "/.Vizmora");
  EXPECT_EQ(Expanded("settings.ini"), ProgramFolder() + "settings.ini");
  EXPECT_EQ(Expanded("D:\\x.ini"), "D:\\x.ini");
  EXPECT_EQ(Expanded("/etc/x.ini"), "/etc/x.ini");
  EXPECT_EQ(Expanded("C:"), ProgramFolder() + "C:");
}
}  // namespace
