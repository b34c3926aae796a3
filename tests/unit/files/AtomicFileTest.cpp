// The durable writer every save goes through.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/AtomicFile.h"
#include "platform/win/FileText.h"
#include "support/FileSizeLimit.h"
#include "unit/files/TempFolder.h"

namespace {
mode_t ModeOf(const std::string& Path) {
  struct stat Info {};
  ::stat(Path.c_str(), &Info);
  return Info.st_mode & 07777;
}

bool IsLink(const std::string& Path) {
  struct stat Info {};
  return ::lstat(Path.c_str(), &Info) == 0 && S_ISLNK(Info.st_mode);
}

TEST(AtomicFile, SavingThroughLinksWritesTheFileTheyNameAndKeepsThem) {
  TTempFolder Dir;
  std::filesystem::create_directories(Dir / "real");
  WriteAll(Dir / "real/show.pll", "old");
  ::chmod((Dir / "real/show.pll").c_str(), 0640);
  // A chain: an absolute link to a relative one, which counts from its own folder.
  ::symlink("real/show.pll", (Dir / "relative.pll").c_str());
  ::symlink((Dir / "relative.pll").c_str(), (Dir / "absolute.pll").c_str());

  ASSERT_EQ(WriteFileAtomically(Dir / "absolute.pll", "new", 0600), 0);
  EXPECT_TRUE(IsLink(Dir / "absolute.pll"));
  EXPECT_TRUE(IsLink(Dir / "relative.pll"));
  EXPECT_EQ(ReadAll(Dir / "real/show.pll"), "new");
  EXPECT_EQ(ModeOf(Dir / "real/show.pll"), 0640u) << "the saved file keeps its permission bits";
  EXPECT_EQ(Dir.Names(), (std::set<std::string>{"real", "relative.pll", "absolute.pll"}));
  EXPECT_EQ(std::filesystem::directory_iterator(Dir / "real")->path().filename(), "show.pll");

  // A dangling link makes the file it names; a new file gets the mode asked for, less the umask.
  ::symlink("real/new.pll", (Dir / "dangling.pll").c_str());
  const mode_t Mask = ::umask(022);
  ASSERT_EQ(WriteFileAtomically(Dir / "dangling.pll", "fresh", 0666), 0);
  ::umask(Mask);
  EXPECT_TRUE(IsLink(Dir / "dangling.pll"));
  EXPECT_EQ(ReadAll(Dir / "real/new.pll"), "fresh");
  EXPECT_EQ(ModeOf(Dir / "real/new.pll"), 0644u);

  // A hard link is split: the saved name gets the new file, the other keeps the old one, since no
  // call replaces an inode's contents at once and writing it in place could tear it.
  ::link((Dir / "real/show.pll").c_str(), (Dir / "hard.pll").c_str());
  ASSERT_EQ(WriteFileAtomically(Dir / "hard.pll", "newer", 0600), 0);
  EXPECT_EQ(ReadAll(Dir / "hard.pll"), "newer");
  EXPECT_EQ(ReadAll(Dir / "real/show.pll"), "new");
}

TEST(AtomicFile, WhatTheUserMayNotWriteIsRefusedAndLeftAsItIs) {
  TTempFolder Dir;
  WriteAll(Dir / "readonly.pll", "keep");
  ::chmod((Dir / "readonly.pll").c_str(), 0444);
  ::symlink("readonly.pll", (Dir / "to-readonly.pll").c_str());
  ::mkfifo((Dir / "fifo.pll").c_str(), 0600);
  ::mkdir((Dir / "folder.pll").c_str(), 0700);
  ::symlink("loop-b", (Dir / "loop-a").c_str());
  ::symlink("loop-a", (Dir / "loop-b").c_str());
  const std::set<std::string> Before = Dir.Names();

  // Read-only to everyone, as the read-only attribute makes a file, whoever saves.
  EXPECT_EQ(WriteFileAtomically(Dir / "readonly.pll", "x", 0600), EACCES);
  EXPECT_EQ(WriteFileAtomically(Dir / "to-readonly.pll", "x", 0600), EACCES);
  EXPECT_EQ(ReadAll(Dir / "readonly.pll"), "keep");
  EXPECT_EQ(WriteFileAtomically(Dir / "fifo.pll", "x", 0600), EFILETYPE);
  EXPECT_EQ(WriteFileAtomically(Dir / "folder.pll", "x", 0600), EISDIR);
  EXPECT_EQ(WriteFileAtomically(Dir / "loop-a", "x", 0600), ELOOP);
  EXPECT_EQ(WriteFileAtomically(Dir / "no/such/folder.pll", "x", 0600), ENOENT);
  EXPECT_EQ(Dir.Names(), Before) << "nothing made, nothing replaced";
  EXPECT_TRUE(IsLink(Dir / "to-readonly.pll"));

  if (::geteuid() != 0) {  // root writes any folder
    std::filesystem::create_directories(Dir / "closed");
    WriteAll(Dir / "closed/own.pll", "mine");
    ::chmod((Dir / "closed").c_str(), 0500);
    EXPECT_EQ(WriteFileAtomically(Dir / "closed/own.pll", "x", 0600), EACCES);
    ::chmod((Dir / "closed").c_str(), 0700);
    EXPECT_EQ(ReadAll(Dir / "closed/own.pll"), "mine");
  }
}

// A full disk halfway through: the write fails, the old file stays byte for byte and the
// temporary file goes.
TEST(AtomicFile, AWriteFailingHalfwayLeavesTheOldFile) {
  TTempFolder Dir;
  const std::string Old = std::string("old\0bytes\n", 10);
  WriteAll(Dir / "show.pll", Old);
  {
    TFileSizeLimit Limit(64 * 1024);
    EXPECT_EQ(WriteFileAtomically(Dir / "show.pll", std::string(1 << 20, 'n'), 0600), EFBIG);
  }
  EXPECT_EQ(ReadAll(Dir / "show.pll"), Old);
  EXPECT_EQ(Dir.Names(), std::set<std::string>{"show.pll"});
}

TEST(AtomicFile, TemporariesAreRecognisableAndStaleOnesOfTheTargetGoOnTheNextSave) {
  TTempFolder Dir;
  WriteAll(Dir / "show.pll", "old");
  // A save killed before its rename leaves its temporary file.
  const pid_t Child = ::fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    TAtomicFile Killed;
    if (Killed.Open(Dir / "show.pll", 0600) == 0 && Killed.Write("partial", 7) == 0) ::kill(::getpid(), SIGKILL);
    ::_exit(1);
  }
  int Status = 0;
  ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFSIGNALED(Status));
  std::set<std::string> Left = Dir.Names();
  Left.erase("show.pll");
  ASSERT_EQ(Left.size(), 1u);
  const std::string Stale = *Left.begin();
  EXPECT_EQ(Stale.rfind(".show.pll.vizmora-", 0), 0u) << Stale;

  WriteAll(Dir / ".other.pll.vizmora-AAAAAA", "another file's");
  WriteAll(Dir / ".show.pll.vizmora-notours", "not a name we make");
  // A save in progress holds its temporary file; the next one leaves it alone.
  TAtomicFile Running;
  ASSERT_EQ(Running.Open(Dir / "show.pll", 0600), 0);
  std::set<std::string> WithRunning = Dir.Names();

  ASSERT_EQ(WriteFileAtomically(Dir / "show.pll", "new", 0600), 0);
  WithRunning.erase(Stale);
  EXPECT_EQ(Dir.Names(), WithRunning);
  ASSERT_EQ(Running.Write("newest", 6), 0);
  ASSERT_EQ(Running.Commit(), 0);
  EXPECT_EQ(ReadAll(Dir / "show.pll"), "newest");
  EXPECT_EQ(Dir.Names(),
            (std::set<std::string>{"show.pll", ".other.pll.vizmora-AAAAAA", ".show.pll.vizmora-notours"}));

  // A name too long for a temporary beside it is cut, and its stale temporaries are found too.
  const std::string Long(250, 'l');
  const std::string LongStale = "." + Long.substr(0, 239) + ".vizmora-ZZZZZZ";
  WriteAll(Dir / LongStale, "stale");
  ASSERT_EQ(WriteFileAtomically(Dir / Long, "1", 0600), 0);
  EXPECT_EQ(ReadAll(Dir / Long), "1");
  EXPECT_FALSE(std::filesystem::exists(Dir / LongStale));
}
}  // namespace
