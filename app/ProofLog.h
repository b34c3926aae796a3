#pragma once
// The proof-of-play log: one JSON line per show event, appended to a file and written through
// at once, so a kill loses no line that was reported. Past a size limit the file is renamed
// aside (FILE.1, the older ones moving up to FILE.<Keep>, the oldest dropped) and a new one begun.
// User-interface thread.
#include <cstdint>
#include <ostream>
#include <string>

class TProofLog {
public:
  static constexpr std::int64_t DefaultLimit = 10 << 20;
  static constexpr int DefaultKeep = 5;

  // Messages about the file (it cannot be written) go to Errors, once per kind of trouble.
  TProofLog(std::string APath, std::ostream& AErrors, std::int64_t ALimit = DefaultLimit, int AKeep = DefaultKeep);
  ~TProofLog();
  TProofLog(const TProofLog&) = delete;
  TProofLog& operator=(const TProofLog&) = delete;

  // Opens the file for appending, creating it; false when it cannot be (said on Errors).
  bool Open();
  // One event: the wall-clock time in milliseconds since 1970, the entry's index and file, and
  // for failures why (empty: no reason field).
  void Write(const char* Event, std::int64_t WallMs, int Index, const std::string& File, const std::string& Reason);

private:
  void Rotate();
  void Append(const std::string& Line);

  std::string FPath;
  std::ostream& FErrors;
  std::int64_t FLimit;
  int FKeep;
  int FHandle = -1;
  std::int64_t FSize = 0;
  bool FWriteFailed = false;  // said once
};

// Local time as ISO-8601 with milliseconds and the offset from UTC: 2026-12-09T23:57:07.123+01:00.
std::string IsoTime(std::int64_t WallMs);
