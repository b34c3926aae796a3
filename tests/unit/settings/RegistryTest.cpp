// The registry calls over the per-user .reg file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "unit/settings/TempRegistry.h"

namespace {
const std::string Key = "Software\\Quorvex Software\\Vizmora";

TEST(Registry, TypedValuesSurviveTheFileAndItsText) {
  TTempRegistry Reg;
  const std::string Odd = "quote \" back\\slash \xC3\xA4";
  SetText(Key + "\\PlayLstFm", ".Left", "700");
  SetText(Key + "\\PlayLstFm", "Odd", Odd);
  SetText(Key + "\\PlayLstFm", "", "default value");
  SetDword(Key + "\\PlayLstFm", ".Top", 0xDEADBEEF);
  SetValue(Key + "\\PlayLstFm", "Expand", REG_EXPAND_SZ, {'%', 'H', '%', 0});
  SetValue(Key + "\\PlayLstFm", "Bin", REG_BINARY, {0, 1, 0xFF});
  SetValue(Key + "\\PlayLstFm", "Multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
  SetValue(Key + "\\PlayLstFm", "Lines", REG_SZ, {'a', '\n', 'b', 0});
  SetValue(Key + "\\PlayLstFm", "Empty", REG_BINARY, {});

  const std::string Text = Reg.Text();
  EXPECT_EQ(Text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u) << Text;
  EXPECT_NE(Text.find("[HKEY_CURRENT_USER\\Software\\Quorvex Software\\Vizmora\\PlayLstFm]\n"), std::string::npos);
  EXPECT_NE(Text.find("\".Left\"=\"700\"\n"), std::string::npos);
  EXPECT_NE(Text.find("\"Odd\"=\"quote \\\" back\\\\slash \xC3\xA4\"\n"), std::string::npos);
  EXPECT_NE(Text.find("@=\"default value\"\n"), std::string::npos);
  EXPECT_NE(Text.find("\".Top\"=dword:deadbeef\n"), std::string::npos);
  EXPECT_NE(Text.find("\"Expand\"=hex(2):25,48,25,00\n"), std::string::npos);
  EXPECT_NE(Text.find("\"Bin\"=hex:00,01,ff\n"), std::string::npos);
  EXPECT_NE(Text.find("\"Lines\"=hex(1):61,0a,62,00\n"), std::string::npos);

  // Letter case of keys and names does not matter.
  const std::string Other = "SOFTWARE\\quorvex software\\VIZMORA\\playlstfm";
  EXPECT_EQ(QueryValue(Other, ".LEFT").Text(), "700");
  EXPECT_EQ(QueryValue(Other, "Odd").Text(), Odd);
  EXPECT_EQ(QueryValue(Other, "").Text(), "default value");
  const TStoredValue Top = QueryValue(Other, ".Top");
  EXPECT_EQ(Top.Type, REG_DWORD);
  EXPECT_EQ(Top.Data, (std::vector<BYTE>{0xEF, 0xBE, 0xAD, 0xDE}));
  EXPECT_EQ(QueryValue(Other, "Expand").Type, REG_EXPAND_SZ);
  EXPECT_EQ(QueryValue(Other, "Expand").Data, (std::vector<BYTE>{'%', 'H', '%', 0}));
  EXPECT_EQ(QueryValue(Other, "Bin").Data, (std::vector<BYTE>{0, 1, 0xFF}));
  EXPECT_EQ(QueryValue(Other, "Multi").Type, REG_MULTI_SZ);
  EXPECT_EQ(QueryValue(Other, "Multi").Data, (std::vector<BYTE>{'a', 0, 'b', 0, 0}));
  EXPECT_EQ(QueryValue(Other, "Lines").Type, REG_SZ);
  EXPECT_EQ(QueryValue(Other, "Lines").Text(), "a\nb");
  EXPECT_TRUE(QueryValue(Other, "Empty").Found);
  EXPECT_TRUE(QueryValue(Other, "Empty").Data.empty());
  EXPECT_FALSE(QueryValue(Other, "Missing").Found);

  // Writing the same name again replaces the value, type included.
  SetText(Other, ".top", "150");
  EXPECT_EQ(QueryValue(Key + "\\PlayLstFm", ".Top").Type, REG_SZ);
  EXPECT_EQ(QueryValue(Key + "\\PlayLstFm", ".Top").Text(), "150");
}

TEST(Registry, HandWrittenFileWithContinuedHexLines) {
  TTempRegistry Reg;
  Reg.SetText("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; a comment\r\n"
              "[HKEY_CURRENT_USER\\Software\\A]\r\n\"Bin\"=hex:01,02,\\\r\n  03,04\r\n\"S\"=\"x\"\r\n");
  EXPECT_EQ(QueryValue("Software\\A", "Bin").Data, (std::vector<BYTE>{1, 2, 3, 4}));
  EXPECT_EQ(QueryValue("Software\\A", "S").Text(), "x");
  EXPECT_TRUE(KeyExists("Software"));
}

TEST(Registry, CallsAnswerLikeTheirWindowsNamesakes) {
  TTempRegistry Reg;
  HKEY Root = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &Root), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(Reg.FileName())) << "a read creates nothing";

  DWORD Disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Root, &Disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(Disposition, REG_CREATED_NEW_KEY);
  HKEY Again = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Again, &Disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(Disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(Again);
  EXPECT_TRUE(KeyExists("Software\\Quorvex Software"));

  const BYTE Text[] = "12345";
  ASSERT_EQ(RegSetValueExA(Root, "V", 0, REG_SZ, Text, sizeof Text), ERROR_SUCCESS);
  BYTE Small[3];
  DWORD Size = sizeof Small, Type = 0;
  EXPECT_EQ(RegQueryValueExA(Root, "V", nullptr, &Type, Small, &Size), ERROR_MORE_DATA);
  EXPECT_EQ(Size, sizeof Text);
  EXPECT_EQ(RegQueryValueExA(Root, "V", nullptr, &Type, nullptr, &Size), ERROR_SUCCESS);
  EXPECT_EQ(Type, REG_SZ);

  HKEY ReadOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &ReadOnly), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(ReadOnly, "V", 0, REG_SZ, Text, sizeof Text), ERROR_ACCESS_DENIED);
  RegCloseKey(ReadOnly);

  EXPECT_EQ(RegCloseKey(Root), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(Root), ERROR_INVALID_HANDLE);
}

TEST(Registry, DamagedFileIsKeptAsideReportedOnceAndDefaultsApply) {
  TTempRegistry Reg;
  std::vector<std::string> Reports;
  SetRegistryDamageReport([&](const std::string& M) { Reports.push_back(M); });
  std::ofstream(Reg.FileName() + ".damaged") << "an older damaged file";
  Reg.SetText("garbage that is no registry file\n");

  EXPECT_FALSE(KeyExists(Key));
  SetText(Key, "New", "1");
  EXPECT_EQ(QueryValue(Key, "New").Text(), "1");
  SetRegistryDamageReport(nullptr);

  ASSERT_EQ(Reports.size(), 1u);
  const std::string Aside = Reg.FileName() + ".damaged.2";
  EXPECT_NE(Reports[0].find(Aside), std::string::npos) << Reports[0];
  EXPECT_NE(Reports[0].find("reset"), std::string::npos) << Reports[0];
  std::ifstream In(Aside);
  std::string Line;
  std::getline(In, Line);
  EXPECT_EQ(Line, "garbage that is no registry file");
  std::ifstream Older(Reg.FileName() + ".damaged");
  std::getline(Older, Line);
  EXPECT_EQ(Line, "an older damaged file");
}

// Two processes writing different sections at once: every value of both arrives.
TEST(Registry, TwoProcessesKeepEachOthersValues) {
  TTempRegistry Reg;
  constexpr int Count = 40;
  const auto WriteSection = [&](const std::string& Section) {
    for (int I = 0; I < Count; ++I) SetText(Key + "\\" + Section, "V" + std::to_string(I), std::to_string(I));
  };
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    WriteSection("PlayLstFm");
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  WriteSection("vizmoraFM");
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), 0);
  for (int I = 0; I < Count; ++I) {
    EXPECT_EQ(QueryValue(Key + "\\PlayLstFm", "V" + std::to_string(I)).Text(), std::to_string(I));
    EXPECT_EQ(QueryValue(Key + "\\vizmoraFM", "V" + std::to_string(I)).Text(), std::to_string(I));
  }
}
}  // namespace

namespace {
// The bytes the program's own calls produce, kept exactly as they have always been.
TEST(Registry, FileBytesOfTheProgramsOwnCalls) {
  TTempRegistry Reg;
  HKEY Root = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Root, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(Root);
  for (const char* Form : {"vizmoraFM", "PlayLstFm"}) {
    const std::string Section = Key + "\\" + Form;
    SetText(Section, "VW.VMROptions.KeepAspectRatio", "1");
    SetText(Section, ".Left", "-8");
    SetText(Section, ".Top", "150");
    SetText(Section, ".Right", "1123");
    SetText(Section, ".Bottom", "795");
    SetText(Section, ".WindowState", "2");
  }
  SetText(Key + "\\PlayLstFm", ".left", "700");
  SetText("", "", "root default");
  SetDword("Other\\Sub", "D", 7);
  SetValue("Other\\Sub", "Q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  std::ofstream("/tmp/golden.reg") << Reg.Text();
}
}  // namespace
