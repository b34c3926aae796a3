#pragma once
// Byte streams: plain Read reports how much it got; Write raises EWriteError when the bytes
// could not all be written.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Exception.h"

class TAtomicFile;

class EStreamError : public Exception {
public:
  using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class TStream {
public:
  virtual ~TStream() = default;
  // Reads up to Count bytes; returns how many were read (fewer at the end of the stream).
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  // Writes all Count bytes or raises EWriteError.
  virtual void Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Size() const = 0;
};

// A stream over bytes held in memory.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> Bytes) : FBytes(std::move(Bytes)) {}
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  void Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Position() const override { return FPosition; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(FBytes.size()); }
  void SetPosition(std::int64_t P) { FPosition = P; }
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

private:
  std::vector<std::uint8_t> FBytes;
  std::int64_t FPosition = 0;
};

// A stream over one file, opened for reading, created afresh for writing, or written as a new
// version that replaces the file only once committed (fmReplace, through the durable writer of
// AtomicFile.h). It has a buffer of its own: a playlist file is read and written a field of a
// few bytes at a time.
class TFileStream : public TStream {
public:
  enum TMode { fmOpenRead, fmCreate, fmReplace };
  // Raises EFOpenError ("Cannot open file ...") or EFCreateError ("Cannot create file ...").
  TFileStream(const std::string& FileName, TMode Mode);
  // Writes what is still buffered, ignoring errors; call Flush to learn of them. A replacement
  // not committed is dropped and the file stays as it was.
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // A read error ends the bytes read, as the end of the file does.
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  void Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Position() const override { return FPosition; }
  std::int64_t Size() const override { return FSize; }
  // Writes what is buffered and makes it durable on disk; raises EWriteError on failure.
  void Flush();
  // Flushes; with fmReplace then puts the new version in place of the file. Raises EWriteError
  // when the bytes cannot be written, EFCreateError when the file cannot be replaced.
  void Commit();
  const std::string& FileName() const { return FFileName; }

private:
  static constexpr std::int64_t BufferSize = 64 * 1024;

  std::int64_t ReadSome(std::uint8_t* Into, std::int64_t Count);
  void WriteAll(const std::uint8_t* From, std::int64_t Count);
  void WriteBuffered();

  [[noreturn]] void CannotCreate(int Error) const;

  std::string FFileName;
  std::unique_ptr<TAtomicFile> FReplacement;  // fmReplace only; owns the handle then
  int FHandle = -1;
  std::unique_ptr<std::uint8_t[]> FBuffer;
  std::int64_t FBufferAt = 0;   // reading: the next byte to hand out
  std::int64_t FBufferEnd = 0;  // reading: the end of the bytes read ahead; writing: bytes pending
  std::int64_t FPosition = 0;
  std::int64_t FSize = 0;
};
