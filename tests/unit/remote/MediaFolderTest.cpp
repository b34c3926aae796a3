#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/remote/MediaFolder.h"

namespace fs = std::filesystem;

TEST(MediaFolderTest, NamesAreMadeSafeOrRefused) {
  EXPECT_EQ(SanitiseFileName("clip.avi"), "clip.avi");
  EXPECT_EQ(SanitiseFileName("été 2 (final).jpg"), "été 2 (final).jpg");
  EXPECT_EQ(SanitiseFileName("..hidden.avi"), "hidden.avi");
  EXPECT_EQ(SanitiseFileName("a;b|c$d`e\"f'.avi"), "a_b_c_d_e_f_.avi");
  EXPECT_EQ(SanitiseFileName("tab\there\n.avi"), "tab_here_.avi");
  for (const char* Refused : {"", ".", "..", "...", "../x.avi", "/tmp/x.avi", "a\\b.avi", "dir/x.avi"})
    EXPECT_EQ(SanitiseFileName(Refused), std::nullopt) << Refused;
  // Cut to 200 bytes between characters, the extension kept.
  std::string Long;
  for (int I = 0; I < 150; ++I) Long += "é";
  const std::string Cut = *SanitiseFileName(Long + ".avi");
  EXPECT_LE(Cut.size(), 200u);
  EXPECT_EQ(Cut.substr(Cut.size() - 4), ".avi");
  EXPECT_EQ(Cut.substr(0, Cut.size() - 4).size() % 2, 0u);
}

TEST(MediaFolderTest, PathsStayInsideTheFolder) {
  const fs::path Top = fs::temp_directory_path() / ("vizmora-media-" + std::to_string(getpid()));
  fs::remove_all(Top);
  fs::create_directories(Top / "outside");
  TMediaFolder Folder(Top / "media" / "new");
  std::string Why;
  ASSERT_TRUE(Folder.Prepare(Why)) << Why;
  EXPECT_EQ(fs::status(Top / "media" / "new").permissions() & fs::perms::all, fs::perms::owner_all);
  fs::create_directory(Folder.Root() / "sub");
  std::ofstream(Folder.Root() / "sub" / "a.avi") << "x";
  std::ofstream(Folder.Root() / ".upload-x") << "x";
  std::ofstream(Top / "outside" / "b.avi") << "x";
  fs::create_directory_symlink(Top / "outside", Folder.Root() / "out");
  fs::create_symlink(Folder.Root() / "sub" / "a.avi", Folder.Root() / "in.avi");

  EXPECT_EQ(Folder.Resolve("sub/a.avi", Why), Folder.Root() / "sub" / "a.avi");
  EXPECT_EQ(Folder.Resolve("new.pll", Why), Folder.Root() / "new.pll");  // not there yet: saved to
  EXPECT_EQ(Folder.Resolve("in.avi", Why), Folder.Root() / "sub" / "a.avi");  // a link that stays inside
  for (const char* Out : {"", "../outside/b.avi", "sub/../../outside/b.avi", "/etc/passwd", "out/b.avi", "out",
                          "sub\\a.avi", ".", "sub/.."})
    EXPECT_EQ(Folder.Resolve(Out, Why), std::nullopt) << Out;
  EXPECT_EQ(Folder.List([](const std::string& Name) { return Name.ends_with(".avi"); }),
            (std::vector<std::string>{"in.avi", "sub/a.avi"}));
  fs::remove_all(Top);
}
