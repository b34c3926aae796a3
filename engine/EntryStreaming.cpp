#include "engine/EntryStreaming.h"

void WriteAnsiString(TStream& Stream, const std::string& Text) {
  const auto Length = static_cast<std::int32_t>(Text.size());
  WriteValue(Stream, Length);
  Stream.Write(Text.data(), Length);
}

void ReadAnsiString(TStream& Stream, std::string& Text) {
  std::int32_t Length = 0;
  const std::int64_t At = Stream.Position();
  ReadValue(Stream, Length);
  const std::int64_t Left = Stream.Size() - Stream.Position();
  if (Length < 0 || Length > Left)
    throw EPlayListFormatError("a string length of " + std::to_string(Length) + " at byte " + std::to_string(At) +
                               " does not fit the " + std::to_string(Left) + " bytes left");
  Text.clear();
  Text.resize(static_cast<size_t>(Length));
  if (Stream.Read(Text.data(), Length) != Length)
    throw EPlayListFormatError("the file ends inside the string at byte " + std::to_string(At));
}
