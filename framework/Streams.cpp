#include "framework/Streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/win/AtomicFile.h"
#include "platform/win/FileText.h"

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

TFileStream::TFileStream(const std::string& FileName, TMode Mode)
    : FFileName(FileName), FBuffer(std::make_unique_for_overwrite<std::uint8_t[]>(BufferSize)) {
  if (Mode == fmReplace) {
    FReplacement = std::make_unique<TAtomicFile>();
    if (const int Error = FReplacement->Open(FileName, 0666)) CannotCreate(Error);
    FHandle = FReplacement->Handle();
    return;
  }
  const int Flags = Mode == fmCreate ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY;
  do FHandle = ::open(FileName.c_str(), Flags | O_CLOEXEC, 0666);
  while (FHandle < 0 && errno == EINTR);
  if (FHandle < 0) {
    if (Mode == fmCreate) CannotCreate(errno);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
  }
  if (Mode == fmOpenRead) {
    const off_t End = ::lseek(FHandle, 0, SEEK_END);
    if (End > 0) FSize = End;
    ::lseek(FHandle, 0, SEEK_SET);
  }
}

TFileStream::~TFileStream() {
  if (FReplacement) return;
  try {
    WriteBuffered();
  } catch (const EWriteError&) {
  }
  ::close(FHandle);
}

void TFileStream::CannotCreate(int Error) const {
  throw EFCreateError("Cannot create file \"" + FFileName + "\". " + FileErrorText(Error));
}

std::int64_t TFileStream::ReadSome(std::uint8_t* Into, std::int64_t Count) {
  ssize_t N;
  do N = ::read(FHandle, Into, static_cast<size_t>(Count));
  while (N < 0 && errno == EINTR);
  return N;
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  auto* Into = static_cast<std::uint8_t*>(Buffer);
  std::int64_t Done = 0;
  while (Done < Count) {
    if (FBufferAt == FBufferEnd) {
      // A large read goes straight into the caller's buffer.
      const bool Direct = Count - Done >= BufferSize;
      const std::int64_t N = ReadSome(Direct ? Into + Done : FBuffer.get(), Direct ? Count - Done : BufferSize);
      if (N <= 0) break;
      if (Direct) {
        Done += N;
        continue;
      }
      FBufferAt = 0;
      FBufferEnd = N;
    }
    const std::int64_t Take = std::min(FBufferEnd - FBufferAt, Count - Done);
    std::memcpy(Into + Done, FBuffer.get() + FBufferAt, static_cast<size_t>(Take));
    FBufferAt += Take;
    Done += Take;
  }
  FPosition += Done;
  return Done;
}

void TFileStream::WriteAll(const std::uint8_t* From, std::int64_t Count) {
  while (Count > 0) {
    const ssize_t N = ::write(FHandle, From, static_cast<size_t>(Count));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) {
      const std::string Reason = std::strerror(N < 0 ? errno : EIO);
      throw EWriteError("Stream write error: " + FFileName + ": " + Reason);
    }
    From += N;
    Count -= N;
  }
}

// The pending bytes are dropped when they cannot be written, so they fail only once.
void TFileStream::WriteBuffered() {
  const std::int64_t Pending = std::exchange(FBufferEnd, 0);
  WriteAll(FBuffer.get(), Pending);
}

void TFileStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return;
  const auto* From = static_cast<const std::uint8_t*>(Buffer);
  if (Count > BufferSize - FBufferEnd) {
    WriteBuffered();
    if (Count >= BufferSize) WriteAll(From, Count);
  }
  if (Count < BufferSize) {
    std::memcpy(FBuffer.get() + FBufferEnd, From, static_cast<size_t>(Count));
    FBufferEnd += Count;
  }
  FPosition += Count;
  FSize = std::max(FSize, FPosition);
}

void TFileStream::Flush() {
  WriteBuffered();
  if (::fsync(FHandle) != 0) throw EWriteError("Stream write error: " + FFileName + ": " + std::strerror(errno));
}

void TFileStream::Commit() {
  Flush();
  if (!FReplacement) return;
  const int Error = FReplacement->Commit();
  FHandle = -1;
  if (Error) CannotCreate(Error);
}
