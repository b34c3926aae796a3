#include <gtest/gtest.h>

#include "framework/FileNames.h"

TEST(FileNames, ExtensionComesFromTheNamePartOnly) {
  EXPECT_EQ(ExtractFileExt("/media/clip.Avi"), ".Avi");
  EXPECT_EQ(ExtractFileExt("/media/archive.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("/media.d/noext"), "");
  EXPECT_EQ(ExtractFileExt("C:\\shows.v2\\photo"), "");
  EXPECT_EQ(ExtractFileExt("photo."), ".");
  EXPECT_EQ(ExtractFileExt(""), "");
}

TEST(FileNames, NameAndPathSplitAtEitherSeparator) {
  EXPECT_EQ(ExtractFileName("/home/u/show/intro.vob"), "intro.vob");
  EXPECT_EQ(ExtractFileName("C:\\show\\intro.vob"), "intro.vob");
  EXPECT_EQ(ExtractFileName("intro.vob"), "intro.vob");
  EXPECT_EQ(ExtractFilePath("/home/u/show/intro.vob"), "/home/u/show/");
  EXPECT_EQ(ExtractFilePath("intro.vob"), "");
}

TEST(FileNames, UpperCaseTouchesAsciiLettersOnly) {
  EXPECT_EQ(AnsiUpperCaseAscii(".jpeg"), ".JPEG");
  EXPECT_EQ(AnsiUpperCaseAscii("\xe9t\xe9.gif"), "\xe9T\xe9.GIF");
}
