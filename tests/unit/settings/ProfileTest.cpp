// The profile-file calls and the ini-file store over them.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "platform/win/Profile.h"
#include "settings/MyIniFile.h"

namespace {
class ProfileFile : public ::testing::Test {
protected:
  std::string Name() const { return FDir.path().toStdString() + "/test.ini"; }
  std::string Text() const {
    std::ifstream In(Name(), std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  void SetText(const std::string& Text) const { std::ofstream(Name(), std::ios::binary) << Text; }
  std::string Get(const char* Section, const char* Key, const char* Default = "dflt") const {
    char Buffer[256];
    GetPrivateProfileStringA(Section, Key, Default, Buffer, sizeof Buffer, Name().c_str());
    return Buffer;
  }

  QTemporaryDir FDir;
};

TEST_F(ProfileFile, LookupIgnoresLetterCaseAndStripsBlanksAndQuotes) {
  SetText("[Main]\r\nLeft = 700 \r\nName=\"  quoted  \"\r\nOther='x'\r\n\r\n[Second]\r\nLeft=1\r\n");
  EXPECT_EQ(Get("MAIN", "left"), "700");
  EXPECT_EQ(Get("main", "NAME"), "  quoted  ");
  EXPECT_EQ(Get("Main", "Other"), "x");
  EXPECT_EQ(Get("second", "Left"), "1");
  EXPECT_EQ(Get("Main", "Missing"), "dflt");
  EXPECT_EQ(Get("Missing", "Left", "keep   "), "keep") << "the default loses its trailing blanks";
  EXPECT_EQ(Get("Main", "Left", nullptr), "700");

  char List[64];
  const DWORD N = GetPrivateProfileStringA("Main", nullptr, "", List, sizeof List, Name().c_str());
  EXPECT_EQ(std::string(List, N), std::string("Left\0Name\0Other\0", 16));
  const DWORD S = GetPrivateProfileStringA(nullptr, nullptr, "", List, sizeof List, Name().c_str());
  EXPECT_EQ(std::string(List, S), std::string("Main\0Second\0", 12));

  char Small[4];
  EXPECT_EQ(GetPrivateProfileStringA("Main", "Left", "", Small, sizeof Small, Name().c_str()), 3u);
  EXPECT_STREQ(Small, "700");
  EXPECT_EQ(GetPrivateProfileStringA("Main", "Name", "", Small, sizeof Small, Name().c_str()), 3u);
  EXPECT_STREQ(Small, "  q");
}

TEST_F(ProfileFile, WritesReplaceInsertAndDelete) {
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "Left", "700", Name().c_str()));
  EXPECT_EQ(Text(), "[Main]\nLeft=700\n");
  SetText("[Main]\r\nLeft=700\r\n\r\n[Other]\r\nX=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("main", "TOP", "150", Name().c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("MAIN", "left", "701", Name().c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Third", "Y", "2", Name().c_str()));
  EXPECT_EQ(Text(), "[Main]\r\nleft=701\r\nTOP=150\r\n\r\n[Other]\r\nX=1\r\n\r\n[Third]\r\nY=2\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "Top", nullptr, Name().c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Other", nullptr, nullptr, Name().c_str()));
  EXPECT_EQ(Text(), "[Main]\r\nleft=701\r\n\r\n[Third]\r\nY=2\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, Name().c_str())) << "flush";
  EXPECT_FALSE(WritePrivateProfileStringA("A", "B", "C", (Name() + "/no/such/folder").c_str()));
}

TEST_F(ProfileFile, IniStoreReadsLongValuesHexAndRefusals) {
  TMyIniFile Ini(Name());
  const std::string Long(3000, 'v');
  Ini.WriteString("S", "Long", Long);
  EXPECT_EQ(Ini.ReadString("S", "Long", ""), std::string(2047, 'v'));
  Ini.WriteString("S", "Hex", "0x1F");
  Ini.WriteString("S", "BadHex", "0xZZ");
  Ini.WriteString("S", "Text", "abc");
  Ini.WriteString("S", "Empty", "");
  EXPECT_EQ(Ini.ReadInteger("S", "Hex", 7), 31);
  EXPECT_EQ(Ini.ReadInteger("S", "BadHex", 7), 7);
  EXPECT_EQ(Ini.ReadInteger("S", "Text", 7), 7);
  EXPECT_EQ(Ini.ReadInteger("S", "Missing", 7), 7);
  Ini.WriteInteger("S", "Int", -42);
  EXPECT_EQ(Ini.ReadInteger("S", "Int", 7), -42);
  EXPECT_EQ(Ini.ReadFloat("S", "Text", 2.5), 2.5);
  EXPECT_EQ(Ini.ReadFloat("S", "Empty", 2.5), 2.5);
  Ini.WriteFloat("S", "F", 0.125);
  EXPECT_EQ(Ini.ReadFloat("S", "F", 2.5), 0.125);

  TMyIniFile Refusing(Name() + "/no/such/folder");
  try {
    Refusing.WriteString("S", "X", "1");
    FAIL() << "the write was refused";
  } catch (const EIniFileException& E) {
    EXPECT_EQ(E.Message, "Unable to write to " + Name() + "/no/such/folder");
  }
}
}  // namespace
