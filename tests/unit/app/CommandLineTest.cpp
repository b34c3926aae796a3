#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/JsonLine.h"
#include "app/TransitionText.h"

#include <QJsonDocument>
#include <tuple>

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

TEST(CommandLine, RemoteOptions) {
  EXPECT_EQ(TCommandLine::Parse({}).RemotePort, -1);
  const auto C = TCommandLine::Parse({"--remote", "8080", "--upload-limit", "3M", "--remote-timeout", "5"});
  EXPECT_EQ(std::tie(C.RemoteAddress, C.RemotePort, C.UploadLimit, C.RemoteTimeout),
            std::make_tuple(std::string("127.0.0.1"), 8080, std::uint64_t(3) << 20, 5));
  const auto V6 = TCommandLine::Parse({"--remote", "[::1]:0"});
  EXPECT_EQ(std::tie(V6.RemoteAddress, V6.RemotePort), std::make_tuple(std::string("::1"), 0));
  EXPECT_EQ(TCommandLine::Parse({"--remote", "0.0.0.0:9"}).RemoteAddress, "0.0.0.0");
  for (const std::vector<std::string>& Bad : {std::vector<std::string>{"--remote", "70000"}, {"--remote", ":80"},
                                             {"--upload-limit", "2T"}, {"--remote-timeout", "0"}, {"--remote-cert", "c.pem"}})
    EXPECT_FALSE(TCommandLine::Parse(Bad).Error.empty()) << Bad[0] << " " << Bad[1];
}

TEST(JsonLine, AnyBytesMakeOneValidLineAndFloatsReadAsWritten) {
  // Each text written and parsed back: what it reads as.
  const std::pair<std::string, QString> Texts[] = {
      {"a\"b\\c\nd", "a\"b\\c\nd"},
      {"caf\xc3\xa9", QString::fromUtf8("caf\xc3\xa9")},       // UTF-8 as it is
      {"caf\xe9", QString::fromLatin1("caf\xe9")},               // a lone byte as its Latin-1 character
      {std::string("a\0b", 3), QString("a") + QChar(0) + "b"},  // a NUL stays
      {"\xed\xa0\x80", QString::fromLatin1("\xed\xa0\x80")}};  // a UTF-16 surrogate is not UTF-8
  for (const auto& [Text, Reads] : Texts) {
    const std::string Line = JsonLine(QJsonObject{{"t", JsonText(Text)}});
    EXPECT_EQ(Line.find('\n'), std::string::npos) << Line;
    const QJsonDocument Back = QJsonDocument::fromJson(QByteArray::fromStdString(Line));
    ASSERT_TRUE(Back.isObject()) << Line;
    EXPECT_EQ(Back["t"].toString(), Reads) << Line;
  }
  EXPECT_EQ(JsonLine(QJsonObject{{"f", JsonFloat(0.1f)}, {"n", JsonFloat(1.0f / 0.0f)}, {"d", 2.0}}),
            "{\"d\":2,\"f\":0.1,\"n\":null}");
}

TEST(CommandLine, TransitionsAndPreloading) {
  EXPECT_FALSE(TCommandLine::Parse({}).NoPreload);
  EXPECT_TRUE(TCommandLine::Parse({"--no-preload"}).NoPreload);
  EXPECT_FALSE(TCommandLine::Parse({}).Transition);
  EXPECT_EQ((TTransition{tkCrossFade, 1500}), TCommandLine::Parse({"--transition", "crossfade:1.5"}).Transition);
  EXPECT_EQ((TTransition{tkThroughBlack, 500}), TCommandLine::Parse({"--transition=black:0.5"}).Transition);
  EXPECT_EQ((TTransition{tkCrossFade, 1000}), TCommandLine::Parse({"--transition", "crossfade"}).Transition);
  EXPECT_EQ(TTransition{}, TCommandLine::Parse({"--transition", "cut"}).Transition);
  for (const char* Bad : {"crossfade:0.1", "black:6", "wipe:1", "cut:1", "crossfade:x"})
    EXPECT_NE(TCommandLine::Parse({"--transition", Bad}).Error.find(Bad), std::string::npos) << Bad;
  EXPECT_EQ("crossfade:1.5", TransitionText({tkCrossFade, 1500}));
  EXPECT_EQ("cut", TransitionText({}));
}
