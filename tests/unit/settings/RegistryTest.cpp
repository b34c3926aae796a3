// The registry calls over the per-user .reg file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/FileSizeLimit.h"
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
    for (const char* Name : {"VW.VMROptions.KeepAspectRatio", ".Left", ".Top", ".Right", ".Bottom", ".WindowState"})
      SetText(Section, Name, "1");
  }
  SetText(Key + "\\PlayLstFm", ".left", "700");
  SetText("", "", "root default");
  SetDword("Other\\Sub", "D", 7);
  SetValue("Other\\Sub", "Q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  const std::string Form = "\"VW.VMROptions.KeepAspectRatio\"=\"1\"\n\".Left\"=\"1\"\n\".Top\"=\"1\"\n"
                           "\".Right\"=\"1\"\n\".Bottom\"=\"1\"\n\".WindowState\"=\"1\"\n";
  EXPECT_EQ(Reg.Text(),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvex Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvex Software\\Vizmora]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvex Software\\Vizmora\\vizmoraFM]\n" + Form + "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvex Software\\Vizmora\\PlayLstFm]\n" +
            std::string(Form).replace(Form.find(".Left\"=\"1"), 9, ".Left\"=\"700") + "\n"
            "[HKEY_CURRENT_USER]\n@=\"root default\"\n\n[HKEY_CURRENT_USER\\Other]\n\n"
            "[HKEY_CURRENT_USER\\Other\\Sub]\n\"D\"=dword:00000007\n\"Q\"=hex(b):01,02,03,04,05,06,07,08\n");
}

// Names compare as Qt compares without letter case; bytes that are no UTF-8 stay distinct.
TEST(Registry, NamesFoldTheirLetterCaseOnly) {
  TTempRegistry Reg;
  SetText(Key, "\xC3\x84rger", "upper");  // Ärger
  SetText(Key, "\xC3\xA4RGER", "lower");  // äRGER: the same name
  SetText(Key, "\xFF", "ff");
  SetText(Key, "\xFE", "fe");
  SetText(Key, "\xC3", "cut");
  EXPECT_EQ(QueryValue(Key, "\xC3\x84rger").Text(), "lower");
  EXPECT_EQ(QueryValue(Key, "\xFF").Text(), "ff");
  EXPECT_EQ(QueryValue(Key, "\xFE").Text(), "fe");
  EXPECT_EQ(QueryValue(Key, "\xC3").Text(), "cut");
  EXPECT_EQ(Reg.Text().find("\xC3\xA4RGER"), std::string::npos) << "the name keeps the case it was made with";
}

// Keys listed without their parents, thousands of them and one very deep, read as written and
// are rewritten at about their own size.
TEST(Registry, LargeAndDeepFilesKeepTheirShape) {
  TTempRegistry Reg;
  std::string Text = "Windows Registry Editor Version 5.00\n";
  for (int I = 0; I < 20000; ++I)
    Text += "\n[HKEY_CURRENT_USER\\Bulk\\K" + std::to_string(I) + "]\n\"V\"=\"" + std::to_string(I) + "\"\n";
  std::string Deep = "Deep";
  for (int I = 0; I < 600; ++I) Deep += "\\d";
  Text += "\n[HKEY_CURRENT_USER\\" + Deep + "]\n\"V\"=dword:00000001\n";
  Reg.SetText(Text);

  EXPECT_EQ(QueryValue("bulk\\k19999", "v").Text(), "19999");
  EXPECT_EQ(QueryValue(Deep, "V").Data, (std::vector<BYTE>{1, 0, 0, 0}));
  EXPECT_TRUE(KeyExists("Deep\\d\\d")) << "a parent the file only implies exists";
  EXPECT_FALSE(KeyExists("Deep\\e"));
  EXPECT_FALSE(QueryValue("Deep\\d", "V").Found);

  SetText("Deep\\d", "New", "x");
  const std::string After = Reg.Text();
  EXPECT_LT(After.size(), Text.size() + 100) << "implied parents are not written out";
  EXPECT_EQ(After.find("[HKEY_CURRENT_USER\\Bulk]\n"), std::string::npos);
  EXPECT_NE(After.find("[HKEY_CURRENT_USER\\Deep\\d]\n\"New\"=\"x\"\n"), std::string::npos);
  EXPECT_EQ(QueryValue(Deep, "V").Data, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST(Registry, ALinkedFileIsWrittenWhereTheLinkPoints) {
  TTempRegistry Reg;
  const std::string Real = Reg.Folder() + "/elsewhere/real.reg";
  std::filesystem::create_directories(Reg.Folder() + "/elsewhere");
  ::symlink("elsewhere/real.reg", Reg.FileName().c_str());
  SetText(Key, "V", "1");
  EXPECT_TRUE(std::filesystem::is_symlink(Reg.FileName()));
  EXPECT_NE(Reg.Text().find("\"V\"=\"1\""), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(Real + ".lock")) << "processes lock the file itself, by any name";

  // A damaged file behind the link is moved aside where it lies; the link stays.
  SetRegistryDamageReport([](const std::string&) {});
  std::ofstream(Real) << "garbage";
  EXPECT_FALSE(KeyExists(Key));
  SetRegistryDamageReport(nullptr);
  EXPECT_TRUE(std::filesystem::exists(Real + ".damaged"));
  SetText(Key, "W", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(Reg.FileName()));
  EXPECT_NE(Reg.Text().find("\"W\"=\"2\""), std::string::npos);
}

// What cannot be a settings file (a FIFO, a device, a folder, a file past the limit) never
// blocks or fills the program: reads give the defaults, writes fail, the thing at the path is
// left as it is, and the user is told once.
TEST(Registry, UnusableFilesAreLeftAloneWithOneMessage) {
  TTempRegistry Reg;
  const std::string Folder = Reg.Folder();
  ::mkfifo((Folder + "/fifo.reg").c_str(), 0600);
  ::symlink("/dev/zero", (Folder + "/zero.reg").c_str());
  std::filesystem::create_directories(Folder + "/folder.reg");
  std::ofstream(Folder + "/huge.reg") << "Windows Registry Editor Version 5.00\n";
  std::filesystem::resize_file(Folder + "/huge.reg", 17u << 20);
  struct Case {
    const char* Name;
    const char* Says;
  };
  for (const Case& C : {Case{"fifo.reg", "is not a regular file"}, Case{"zero.reg", "is not a regular file"},
                        Case{"folder.reg", "is not a regular file"}, Case{"huge.reg", "is larger than 16 MB"}}) {
    const std::string Path = Folder + "/" + C.Name;
    setenv("VIZMORA_REGISTRY", Path.c_str(), 1);
    std::vector<std::string> Reports;
    SetRegistryDamageReport([&](const std::string& M) { Reports.push_back(M); });
    const auto Before = std::filesystem::symlink_status(Path).type();
    EXPECT_FALSE(KeyExists(Key)) << C.Name;
    HKEY Created = nullptr;
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Created, nullptr),
              ERROR_SUCCESS)
        << C.Name;
    EXPECT_FALSE(QueryValue(Key, "V").Found);
    SetRegistryDamageReport(nullptr);
    ASSERT_EQ(Reports.size(), 1u) << C.Name;
    EXPECT_EQ(Reports[0], "The settings file \"" + Path + "\" " + C.Says +
                              ". The settings have their defaults and are not saved; the file is left as it is.");
    EXPECT_EQ(std::filesystem::symlink_status(Path).type(), Before) << C.Name;
  }
  EXPECT_EQ(std::filesystem::file_size(Folder + "/huge.reg"), 17u << 20);
  EXPECT_FALSE(std::filesystem::exists("/dev/zero.lock"));
}

// A disk that fills while the file is written: the call fails, the old file stays byte for
// byte, and later calls still read the old values.
TEST(Registry, AWriteFailingHalfwayLeavesTheOldFile) {
  TTempRegistry Reg;
  SetText(Key, "Kept", "old");
  const std::string Before = Reg.Text();
  HKEY Open = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_ALL_ACCESS, &Open), ERROR_SUCCESS);
  const std::vector<BYTE> Big(256 * 1024, 'x');
  {
    TFileSizeLimit Limit(64 * 1024);
    EXPECT_NE(RegSetValueExA(Open, "Big", 0, REG_BINARY, Big.data(), static_cast<DWORD>(Big.size())), ERROR_SUCCESS);
  }
  RegCloseKey(Open);
  EXPECT_EQ(Reg.Text(), Before);
  EXPECT_FALSE(QueryValue(Key, "Big").Found);
  EXPECT_EQ(QueryValue(Key, "Kept").Text(), "old");
}
}  // namespace
