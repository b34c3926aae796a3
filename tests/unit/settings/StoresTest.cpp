// The text forms of values, the in-memory store and the registry store.
#include <gtest/gtest.h>

#include <fstream>

#include "settings/IniStrings.h"
#include "settings/Registry.h"
#include "unit/settings/TempRegistry.h"

namespace {
TEST(ValueText, FloatsHaveFifteenDigitsAndTheUsersSeparator) {
  EXPECT_EQ(FloatToStr(0.1 + 0.2, "."), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3, ","), "0,333333333333333");
  EXPECT_EQ(FloatToStr(-2.0, ","), "-2");
  EXPECT_EQ(FloatToStr(1e20, "."), "1E20");
  EXPECT_EQ(FloatToStr(1.5e-7, "."), "1.5E-7");
  double V = 0;
  EXPECT_TRUE(TryStrToFloat(" 0,5 ", V, ","));
  EXPECT_EQ(V, 0.5);
  EXPECT_FALSE(TryStrToFloat("0.5", V, ",")) << "only the user's separator";
  EXPECT_TRUE(TryStrToFloat("-1.5E-7", V, "."));
  EXPECT_EQ(V, -1.5e-7);
  for (const char* Bad : {"", "abc", "1.2.3", "inf", "nan", "0x10", "1e", "."}) EXPECT_FALSE(TryStrToFloat(Bad, V, ".")) << Bad;
  int I = 0;
  EXPECT_TRUE(TryStrToInt(" -12", I));
  EXPECT_EQ(I, -12);
  for (const char* Bad : {"", "12 ", "1.5", "abc", "2147483648", "0x10"}) EXPECT_FALSE(TryStrToInt(Bad, I)) << Bad;
}

TEST(IniStrings, FirstWriteMakesThreeLinesAndNewEntriesGoBeforeAnEmptyLine) {
  QStringList Lines;
  TIniStrings Store(Lines);
  Store.WriteString("PlayLstFm", ".Left", "700");
  EXPECT_EQ(Lines, (QStringList{"", "[PlayLstFm]", ".Left=700"}));

  Lines = QStringList{"[PlayLstFm]", ".Left=700", "", "[Other]", "X=1"};
  Store.WriteString("playlstfm", ".Top", "150");
  Store.WriteString("PLAYLSTFM", ".left", "701");
  Store.WriteString("Other", "Y", "2");
  EXPECT_EQ(Lines, (QStringList{"[PlayLstFm]", ".left=701", ".Top=150", "", "[Other]", "X=1", "Y=2"}));
  EXPECT_EQ(Store.ReadString("PlayLstFm", ".LEFT", "d"), "701");
  EXPECT_EQ(Store.ReadString("PlayLstFm", "X", "d"), "d") << "the next section is not searched";
  EXPECT_EQ(Store.ReadString("Missing", ".Left", "d"), "d");
}

// An identifier that is the beginning of another one reads its own value, not the longer one's.
TEST(IniStrings, IdentifiersSharingAPrefixStayApart) {
  QStringList Lines{"[S]", "Aspect.CheckedState=7"};
  TIniStrings Store(Lines);
  EXPECT_EQ(Store.ReadInteger("S", "Aspect.Checked", 3), 3);
  Store.WriteInteger("S", "Aspect.Checked", 1);
  EXPECT_EQ(Lines, (QStringList{"[S]", "Aspect.CheckedState=7", "Aspect.Checked=1"}));
  EXPECT_EQ(Store.ReadInteger("S", "Aspect.Checked", 3), 1);
  EXPECT_EQ(Store.ReadInteger("S", "Aspect.CheckedState", 3), 7);

  Lines = QStringList{"[S]", "  Name=  spaced", "NoEquals", "F=x"};
  EXPECT_EQ(Store.ReadString("S", "name", "d"), "  spaced");
  EXPECT_EQ(Store.ReadString("S", "NoEquals", "d"), "d");
  EXPECT_EQ(Store.ReadFloat("S", "F", 1.5), 1.5);
}

TEST(RegistryStore, TypesTextAndRefusals) {
  TTempRegistry Reg;
  const std::string Path = "Software\\Quorvex Software\\Vizmora";
  {
    TRegistry Store(Path);
    EXPECT_EQ(Store.ReadString("PlayLstFm", ".Left", "d"), "d");
    EXPECT_TRUE(KeyExists(Path)) << "the key is created by the first read";
    EXPECT_TRUE(Reg.KeysBelow(Path).empty()) << "sections only by writes";
    Store.WriteInteger("PlayLstFm", ".Left", 700);
    Store.WriteString("PlayLstFm", "Text", "not a number");
    Store.WriteFloat("PlayLstFm", "F", 0.25);
  }
  const TStoredValue Left = QueryValue(Path + "\\PlayLstFm", ".Left");
  EXPECT_EQ(Left.Type, REG_SZ);
  EXPECT_EQ(Left.Data, (std::vector<BYTE>{'7', '0', '0', 0}));
  SetDword(Path + "\\PlayLstFm", ".Top", 150);
  SetValue(Path + "\\PlayLstFm", "Expand", REG_EXPAND_SZ, {'a', 0, 'b', 0});

  TRegistry Store(Path);
  EXPECT_EQ(Store.ReadInteger("PlayLstFm", ".Left", 1), 700);
  EXPECT_EQ(Store.ReadInteger("PlayLstFm", "Text", 1), 1);
  EXPECT_EQ(Store.ReadString("PlayLstFm", "Expand", ""), "a");
  EXPECT_EQ(Store.ReadFloat("PlayLstFm", "F", 1), 0.25);
  EXPECT_EQ(Store.ReadFloat("PlayLstFm", "Missing", 1.5), 1.5);
  try {
    Store.ReadInteger("PlayLstFm", ".Top", 1);
    FAIL();
  } catch (const ERegistryException& E) {
    EXPECT_EQ(E.Message, "Invalid data type for '.Top'");
  }
  try {
    Store.ReadFloat("PlayLstFm", "Text", 1);
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message, "'not a number' is not a valid floating point value");
  }

  // A registry file that cannot be written: below a plain file.
  std::ofstream(Reg.Folder() + "/plain") << "x";
  setenv("VIZMORA_REGISTRY", (Reg.Folder() + "/plain/registry.reg").c_str(), 1);
  TRegistry Refusing(Path);
  EXPECT_EQ(Refusing.ReadString("S", "X", "d"), "d");
  try {
    Refusing.WriteString("S", "X", "1");
    FAIL();
  } catch (const ERegistryException& E) {
    EXPECT_EQ(E.Message, "Failed to set data for 'X'");
  }
}
}  // namespace
