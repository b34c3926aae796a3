#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/JsonText.h"

TEST(CommandLine, FilesAndSwitchesInTheOrderGiven) {
  const auto C = TCommandLine::Parse({"a.avi", "--headless", "show.PLL", "--loops", "3", "--events", "b.jpg"});
  EXPECT_TRUE(C.Error.empty()) << C.Error;
  EXPECT_EQ(C.Files, (std::vector<std::string>{"a.avi", "show.PLL", "b.jpg"}));
  EXPECT_TRUE(C.Headless);
  EXPECT_TRUE(C.Events);
  EXPECT_EQ(C.Loops, 3);
  EXPECT_TRUE(IsPlayListPath("show.PLL"));
  EXPECT_FALSE(IsPlayListPath("show.pll.avi"));
  EXPECT_TRUE(IsPlayListPath("vlc.M3U8"));
  EXPECT_TRUE(IsPlayListPath("list.xspf"));
}

TEST(CommandLine, BadArgumentsAreNamed) {
  EXPECT_NE(TCommandLine::Parse({"--loops"}).Error.find("--loops needs a value"), std::string::npos);
  EXPECT_NE(TCommandLine::Parse({"--loops", "0"}).Error.find("\"0\""), std::string::npos);
  EXPECT_NE(TCommandLine::Parse({"--loops", "2x"}).Error.find("\"2x\""), std::string::npos);
  EXPECT_NE(TCommandLine::Parse({"--frobnicate"}).Error.find("unknown option --frobnicate"), std::string::npos);
  const auto Dashes = TCommandLine::Parse({"--", "--odd-name.avi"});
  EXPECT_TRUE(Dashes.Error.empty());
  EXPECT_EQ(Dashes.Files, (std::vector<std::string>{"--odd-name.avi"}));
}

TEST(JsonText, StringsAreAlwaysValidJson) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c\nd"), "\"a\\\"b\\\\c\\nd\"");
  EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");        // UTF-8 passes through
  EXPECT_EQ(JsonString("caf\xe9"), "\"caf\\u00e9\"");              // a lone Latin-1 byte
  EXPECT_EQ(JsonString(std::string("\x01", 1)), "\"\\u0001\"");
  EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // a UTF-16 surrogate is not UTF-8
  EXPECT_EQ(JsonNumber(0.1), "0.1");
  EXPECT_EQ(JsonNumber(2.0), "2");
  EXPECT_EQ(JsonNumber(0.1f), "0.1");
  EXPECT_EQ(JsonNumber(1.0 / 0.0), "null");
}
