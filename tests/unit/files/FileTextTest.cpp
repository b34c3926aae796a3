// Reading whole files the program keeps its data in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/FileText.h"
#include "unit/files/TempFolder.h"

namespace {
// A FIFO, a device, a folder or an oversized file never block or fill the program; each is
// answered at once with its own error.
TEST(FileText, OnlyRegularFilesWithinTheLimitAreRead) {
  TTempFolder Dir;
  WriteAll(Dir / "plain", "abc");
  ::mkfifo((Dir / "fifo").c_str(), 0600);
  ::symlink("/dev/zero", (Dir / "zero").c_str());
  WriteAll(Dir / "huge", "");
  ASSERT_EQ(::truncate((Dir / "huge").c_str(), 1 << 30), 0);  // sparse

  std::string Text = "stale";
  EXPECT_EQ(ReadFileText(Dir / "plain", Text, 3), 0);
  EXPECT_EQ(Text, "abc");
  EXPECT_EQ(ReadFileText(Dir / "plain", Text, 2), EFBIG);
  EXPECT_EQ(Text, "");
  EXPECT_EQ(ReadFileText(Dir / "missing", Text, 100), ENOENT);
  EXPECT_EQ(ReadFileText(Dir / "fifo", Text, 100), EFILETYPE);
  EXPECT_EQ(ReadFileText(Dir / "zero", Text, 100), EFILETYPE);
  EXPECT_EQ(ReadFileText(Dir.Path(), Text, 100), EISDIR);
  EXPECT_EQ(ReadFileText(Dir / "huge", Text, 16 << 20), EFBIG);
  EXPECT_EQ(FileErrorText(EFILETYPE), "Not a regular file");
  EXPECT_EQ(FileErrorText(ENOENT), "No such file or directory");
}
}  // namespace
