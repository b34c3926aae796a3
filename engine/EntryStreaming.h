#pragma once
// Reading and writing the fields of an entry body. Every read checks what the stream holds,
// so a broken record raises EPlayListFormatError instead of reading past the end.
#include <bit>
#include <cstdint>
#include <string>

#include "framework/Exception.h"
#include "framework/Streams.h"

static_assert(std::endian::native == std::endian::little, "the playlist file is little-endian");

// A record that does not fit the bytes the file holds.
class EPlayListFormatError : public Exception {
public:
  using Exception::Exception;
};

template <typename T>
void WriteValue(TStream& Stream, const T& Value) {
  Stream.Write(&Value, sizeof(T));
}

template <typename T>
void ReadValue(TStream& Stream, T& Value) {
  const std::int64_t At = Stream.Position();
  if (Stream.Read(&Value, sizeof(T)) != static_cast<std::int64_t>(sizeof(T)))
    throw EPlayListFormatError("the file ends inside a " + std::to_string(sizeof(T)) + "-byte field at byte " +
                               std::to_string(At));
}

// A 32-bit length, then one byte per character.
void WriteAnsiString(TStream& Stream, const std::string& Text);
// Rejects a negative length, or one larger than the bytes left, before allocating anything.
void ReadAnsiString(TStream& Stream, std::string& Text);
