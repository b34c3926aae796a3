#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

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

// Fields of every size, some larger than the stream's buffer, written and read back across
// the buffer's edges; the last bytes are written only by the destructor.
TEST(Streams, FileStreamPiecesAcrossItsBufferKeepBytesAndPositions) {
  const auto Dir = std::filesystem::temp_directory_path() / "vizmora-streams-pieces";
  std::filesystem::create_directories(Dir);
  const std::string Path = (Dir / "pieces.bin").string();
  std::vector<std::uint8_t> Bytes(400000);
  for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = static_cast<std::uint8_t>(I * 7 + I / 251);
  const std::vector<std::int64_t> Pieces = {1, 3, 60, 8, 70000, 5, 131072, 2, 65535, 1, 4096};
  {
    TFileStream Out(Path, TFileStream::fmCreate);
    std::int64_t At = 0;
    for (size_t I = 0; At < static_cast<std::int64_t>(Bytes.size()); ++I) {
      const std::int64_t N = std::min<std::int64_t>(Pieces[I % Pieces.size()], Bytes.size() - At);
      Out.Write(Bytes.data() + At, N);
      At += N;
      ASSERT_EQ(Out.Position(), At);
      ASSERT_EQ(Out.Size(), At);
    }
  }
  ASSERT_EQ(std::filesystem::file_size(Path), Bytes.size());

  TFileStream In(Path, TFileStream::fmOpenRead);
  EXPECT_EQ(In.Size(), static_cast<std::int64_t>(Bytes.size()));
  std::vector<std::uint8_t> Back(Bytes.size() + 10);
  std::int64_t At = 0;
  for (size_t I = 0; At < In.Size(); ++I) {
    const std::int64_t N = Pieces[(I + 3) % Pieces.size()];
    const std::int64_t Got = In.Read(Back.data() + At, N);
    ASSERT_EQ(Got, std::min<std::int64_t>(N, In.Size() - At));
    At += Got;
    ASSERT_EQ(In.Position(), At);
  }
  Back.resize(Bytes.size());
  EXPECT_EQ(Back, Bytes);
  std::uint8_t More[4];
  EXPECT_EQ(In.Read(More, 4), 0);
  EXPECT_EQ(In.Position(), In.Size());
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
