#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "framework/Streams.h"

TEST(Streams, MemoryStreamReadsShortAtTheEnd) {
  TMemoryStream S({1, 2, 3});
  std::uint8_t Buffer[8] = {};
  EXPECT_EQ(S.Read(Buffer, 2), 2);
  EXPECT_EQ(S.Read(Buffer, 8), 1);
  EXPECT_EQ(Buffer[0], 3);
  EXPECT_EQ(S.Read(Buffer, 8), 0);
  EXPECT_EQ(S.Position(), 3);
}

TEST(Streams, FileStreamRoundTripAndErrorsNameTheFile) {
  const auto Dir = std::filesystem::temp_directory_path() / "vizmora-streams-test";
  std::filesystem::create_directories(Dir);
  const std::string Path = (Dir / "bytes.bin").string();
  {
    TFileStream Out(Path, TFileStream::fmCreate);
    Out.Write("abcdef", 6);
    Out.Flush();
  }
  TFileStream In(Path, TFileStream::fmOpenRead);
  EXPECT_EQ(In.Size(), 6);
  char Buffer[6] = {};
  EXPECT_EQ(In.Read(Buffer, 6), 6);
  EXPECT_EQ(std::string(Buffer, 6), "abcdef");

  try {
    TFileStream Missing((Dir / "missing.bin").string(), TFileStream::fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& E) {
    EXPECT_NE(E.Message.find("Cannot open file \"" + (Dir / "missing.bin").string() + "\". "), std::string::npos);
  }
  EXPECT_THROW(TFileStream((Dir / "no-such-dir" / "x.bin").string(), TFileStream::fmCreate), EFCreateError);
  std::filesystem::remove_all(Dir);
}

TEST(Streams, WriteToAFullDeviceRaises) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TFileStream Full("/dev/full", TFileStream::fmCreate);
  std::string Block(1 << 21, 'x');  // larger than the stream's buffer
  EXPECT_THROW(
      {
        Full.Write(Block.data(), static_cast<std::int64_t>(Block.size()));
        Full.Flush();
      },
      EWriteError);
}
