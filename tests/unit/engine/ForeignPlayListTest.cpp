#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "engine/M3UFile.h"
#include "engine/PlayListFormats.h"
#include "engine/XSPFFile.h"
#include "framework/Streams.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {
// Names other players' playlists must carry through unharmed.
const Strings AwkwardPaths = {"/m/plain.avi",        "/m/with space.jpg", "/m/\xC3\xBCn\xC3\xAF.gif",
                              "/m/line\nbreak.avi",  "/m/trailing.vob ",  "/m/100%25 #1.jpeg",
                              "/m/http:not-a-url.avi", "/m/bad-utf8-\xFF.gif"};

std::vector<TPlayListItem> ItemsOf(const Strings& Paths) {
  std::vector<TPlayListItem> Items;
  for (const std::string& P : Paths) Items.push_back({P, 0});
  return Items;
}
}  // namespace

TEST(M3UTest, VlcLikeFileWithDirectivesCrLfAndByteOrderMark) {
  const std::string Text =
      "\xEF\xBB\xBF#EXTM3U\r\n"
      "#EXTINF:123,Artist - A Title, with comma\r\n"
      "#EXTVLCOPT:network-caching=1000\r\n"
      "/abs/a.avi\r\n"
      "#EXTINF:-1,Radio\r\n"
      "http://example.com/stream.avi\r\n"
      "file:///abs/b%20c.jpg\r\n"
      "FILE://localhost/abs/d.gif\r\n"
      "file://otherhost/abs/e.gif\r\n"
      "\r\n";
  const TPlayListPaths R = ParseM3U(Text, "/base/");
  EXPECT_EQ(R.Files, (Strings{"/abs/a.avi", "/abs/b c.jpg", "/abs/d.gif"}));
  EXPECT_EQ(R.Notes, (Strings{"line 6: http://example.com/stream.avi is a URL, skipped",
                              "line 9: file://otherhost/abs/e.gif is a URL, skipped"}));
  EXPECT_TRUE(R.Error.empty());
}

TEST(M3UTest, MpvLikePlainListResolvesAgainstThePlaylistsFolder) {
  const std::string Text = "clip.avi\nsub/pic.jpg\n../up.gif\n  ./spaced name.vob  \n# a comment\nrtsp://cam/1\nC:\\x.avi\nno-newline.avi";
  const TPlayListPaths R = ParseM3U(Text, "/media/show/");
  EXPECT_EQ(R.Files, (Strings{"/media/show/clip.avi", "/media/show/sub/pic.jpg", "/media/up.gif",
                              "/media/show/spaced name.vob", "/media/show/C:\\x.avi", "/media/show/no-newline.avi"}));
  EXPECT_EQ(R.Notes, (Strings{"line 6: rtsp://cam/1 is a URL, skipped"}));
  // In the working folder the references stay relative; a NUL byte makes no path.
  EXPECT_EQ(ParseM3U(std::string("a.avi\nb\0c.avi\n", 14), "").Files, (Strings{"a.avi"}));
  EXPECT_EQ(ParseM3U(std::string("a.avi\nb\0c.avi\n", 14), "").Notes, (Strings{"line 2: not a file name, skipped"}));
  EXPECT_TRUE(ParseM3U("", "/x/").Files.empty());
}

TEST(M3UTest, WrittenFilesReadBackWhereverThePlaylistLies) {
  std::vector<TPlayListItem> Items = ItemsOf(AwkwardPaths);
  Items[0].Seconds = 65.4;
  Items[1].Seconds = 1e300;  // a length from a broken file counts as unknown
  const std::string Text = FormatM3U(Items);
  EXPECT_EQ(Text.rfind("#EXTM3U\n#EXTINF:65,plain.avi\n/m/plain.avi\n#EXTINF:-1,with space.jpg\n", 0), 0u) << Text;
  // A name that no plain line carries goes as a file: URI.
  EXPECT_NE(Text.find("\nfile:///m/line%0Abreak.avi\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nfile:///m/trailing.vob%20\n"), std::string::npos) << Text;
  EXPECT_EQ(ParseM3U(Text, "/elsewhere/").Files, AwkwardPaths);
  EXPECT_TRUE(ParseM3U(Text, "/elsewhere/").Notes.empty());
  EXPECT_EQ(FormatM3U({}), "#EXTM3U\n");
}

TEST(XSPFTest, VlcLikeFileWithExtensionsAndRelativeLocations) {
  const std::string Text = R"(<?xml version="1.0" encoding="UTF-8"?>
<playlist xmlns="http://xspf.org/ns/0/" xmlns:vlc="http://www.videolan.org/vlc/playlist/ns/0/" version="1">
  <title>Playlist</title>
  <trackList>
    <track>
      <location>file:///home/u/Videos/a%20b.avi</location>
      <title>A B</title>
      <duration>2000</duration>
      <extension application="http://www.videolan.org/vlc/playlist/0">
        <vlc:id>0</vlc:id>
        <location>file:///not/this/one.avi</location>
      </extension>
    </track>
    <track><location>pics/p%20q.jpg</location></track>
    <track><location>https://example.com/v.avi</location></track>
    <track><location> file://localhost/x/first.gif </location><location>file:///x/second.gif</location></track>
    <track><title>no location</title></track>
  </trackList>
  <extension application="http://www.videolan.org/vlc/playlist/0">
    <vlc:item tid="0"/>
  </extension>
</playlist>)";
  const TPlayListPaths R = ParseXSPF(Text, "/lists/");
  EXPECT_EQ(R.Files, (Strings{"/home/u/Videos/a b.avi", "/lists/pics/p q.jpg", "/x/first.gif"}));
  ASSERT_EQ(R.Notes.size(), 1u);
  EXPECT_EQ(R.Notes[0], "line 15, column 21: https://example.com/v.avi is a URL, skipped");
  EXPECT_TRUE(R.Error.empty()) << R.Error;
  // Without the namespace, as some writers leave it out.
  EXPECT_EQ(ParseXSPF("<playlist><trackList><track><location>/a.avi</location></track></trackList></playlist>", "/b/").Files,
            (Strings{"/a.avi"}));
}

TEST(XSPFTest, WrittenFilesReadBackWithTitlesAndLengths) {
  std::vector<TPlayListItem> Items = ItemsOf(AwkwardPaths);
  Items[0].Seconds = 2.5;
  const std::string Text = FormatXSPF(Items);
  EXPECT_NE(Text.find("<location>file:///m/plain.avi</location>"), std::string::npos) << Text;
  EXPECT_NE(Text.find("<title>plain.avi</title>"), std::string::npos) << Text;
  EXPECT_NE(Text.find("<duration>2500</duration>"), std::string::npos) << Text;
  EXPECT_NE(Text.find("<title>line break.avi</title>"), std::string::npos) << Text;
  const TPlayListPaths R = ParseXSPF(Text, "/elsewhere/");
  EXPECT_EQ(R.Files, AwkwardPaths);
  EXPECT_TRUE(R.Notes.empty());
  EXPECT_TRUE(R.Error.empty()) << R.Error;
  EXPECT_TRUE(ParseXSPF(FormatXSPF({}), "/").Error.empty());
}

TEST(XSPFTest, BrokenOrForeignXmlKeepsWhatCameBeforeAndSaysWhere) {
  const std::string Whole = FormatXSPF(ItemsOf({"/a.avi", "/b.jpg", "/c.gif"}));
  const TPlayListPaths Cut = ParseXSPF(Whole.substr(0, Whole.find("/c.gif") + 3), "/");
  EXPECT_EQ(Cut.Files, (Strings{"/a.avi", "/b.jpg"}));
  EXPECT_EQ(Cut.Error.rfind("line ", 0), 0u) << Cut.Error;

  EXPECT_NE(ParseXSPF("<html><body/></html>", "/").Error.find("not an XSPF playlist"), std::string::npos);
  EXPECT_FALSE(ParseXSPF("", "/").Error.empty());
  EXPECT_FALSE(ParseXSPF("\x00\xFF garbage", "/").Error.empty());
  // Entities that would grow without bound are refused, not expanded.
  const std::string Laughs = R"(<?xml version="1.0"?><!DOCTYPE p [<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<playlist><trackList><track><location>&e;</location></track></trackList></playlist>)";
  const TPlayListPaths Bomb = ParseXSPF(Laughs, "/");
  EXPECT_TRUE(Bomb.Files.empty());
  EXPECT_FALSE(Bomb.Error.empty());
}

TEST(ForeignPlayListFileTest, NotesNameTheFileAndOnlyRegularFilesAreRead) {
  const fs::path Dir = fs::temp_directory_path() / "vizmora-foreign-playlists";
  fs::remove_all(Dir);
  fs::create_directories(Dir);
  const std::string M3U = (Dir / "list.m3u8").string();
  std::ofstream(M3U) << "a.avi\nhttp://x/y.avi\n";
  const TPlayListPaths R = ReadForeignPlayList(M3U, TPlayListFormat::pfM3U);
  EXPECT_EQ(R.Files, (Strings{(Dir / "a.avi").string()}));
  EXPECT_EQ(R.Notes, (Strings{M3U + ": line 2: http://x/y.avi is a URL, skipped"}));

  const std::string Fifo = (Dir / "fifo.xspf").string();
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  EXPECT_THROW(ReadForeignPlayList(Fifo, TPlayListFormat::pfXspf), EFOpenError);
  EXPECT_THROW(ReadForeignPlayList(Dir.string(), TPlayListFormat::pfM3U), EFOpenError);

  const std::string Broken = (Dir / "broken.xspf").string();
  std::ofstream(Broken) << "<playlist><trackList><track><location>/a.avi</location></track>";
  EXPECT_EQ(ReadForeignPlayList(Broken, TPlayListFormat::pfXspf).Error.rfind("Playlist file \"" + Broken + "\" is broken at line 1", 0), 0u);
  fs::remove_all(Dir);
}

TEST(ForeignPlayListFileTest, FormatsFollowTheExtension) {
  EXPECT_EQ(PlayListFormatOf("a.PLL"), TPlayListFormat::pfPll);
  EXPECT_EQ(PlayListFormatOf("a.m3u"), TPlayListFormat::pfM3U);
  EXPECT_EQ(PlayListFormatOf("/x.xspf/a.M3U8"), TPlayListFormat::pfM3U);
  EXPECT_EQ(PlayListFormatOf("a.Xspf"), TPlayListFormat::pfXspf);
  EXPECT_EQ(PlayListFormatOf("a.m3u.avi"), TPlayListFormat::pfNone);
  EXPECT_EQ(SaveFormatOf("show"), TPlayListFormat::pfPll);
  EXPECT_EQ(SaveFormatOf("show.txt"), TPlayListFormat::pfPll);
  EXPECT_EQ(SaveFormatOf("show.xspf"), TPlayListFormat::pfXspf);
}
