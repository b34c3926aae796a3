#include "framework/Streams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const std::int64_t N = std::clamp<std::int64_t>(Size() - FPosition, 0, std::max<std::int64_t>(Count, 0));
  if (N > 0) std::memcpy(Buffer, FBytes.data() + FPosition, static_cast<size_t>(N));
  FPosition += N;
  return N;
}

void TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return;
  const auto End = static_cast<size_t>(FPosition + Count);
  if (End > FBytes.size()) FBytes.resize(End);
  std::memcpy(FBytes.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition += Count;
}

TFileStream::TFileStream(const std::string& FileName, TMode Mode) : FFileName(FileName) {
  FFile = std::fopen(FileName.c_str(), Mode == fmCreate ? "wb" : "rb");
  if (!FFile) {
    const std::string Reason = std::strerror(errno);
    if (Mode == fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\". " + Reason);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + Reason);
  }
  std::setvbuf(FFile, nullptr, _IOFBF, 1 << 20);
  if (Mode == fmOpenRead && std::fseek(FFile, 0, SEEK_END) == 0) {
    FSize = std::ftell(FFile);
    std::fseek(FFile, 0, SEEK_SET);
  }
}

TFileStream::~TFileStream() {
  if (FFile) std::fclose(FFile);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const auto N = static_cast<std::int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
  FPosition += N;
  return N;
}

void TFileStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return;
  const auto N = static_cast<std::int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
  FPosition += N;
  FSize = std::max(FSize, FPosition);
  if (N != Count) throw EWriteError("Stream write error: " + FFileName + ": " + std::strerror(errno));
}

void TFileStream::Flush() {
  if (std::fflush(FFile) != 0 || ::fsync(fileno(FFile)) != 0)
    throw EWriteError("Stream write error: " + FFileName + ": " + std::strerror(errno));
}
