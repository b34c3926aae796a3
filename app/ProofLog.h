#pragma once
// The proof-of-play log: one JSON line per show event, appended to a file and written through
// at once, so a kill loses no line that was reported. Each line goes out in one write on an
// appending descriptor; a line the disk had no room for is cut back off, so the file always
// parses line by line, and once lines can be written again a "gap" line says how many events
// were lost since when. A log removed or moved away (its folder too) is said once and begun anew
// at its path as soon as it can be. Past a size limit the file is renamed aside (FILE.1, the
// older ones moving up to FILE.<Keep>, the oldest dropped) and a new one begun.
// User-interface thread.
#include <QJsonObject>
#include <cstdint>
#include <ostream>
#include <string>

class TProofLog {
public:
  static constexpr std::int64_t DefaultLimit = 10 << 20;
  static constexpr int DefaultKeep = 5;

  // Messages about the file go to Errors, each kind of trouble once until it is over.
  TProofLog(std::string APath, std::ostream& AErrors, std::int64_t ALimit = DefaultLimit, int AKeep = DefaultKeep);
  ~TProofLog();
  TProofLog(const TProofLog&) = delete;
  TProofLog& operator=(const TProofLog&) = delete;

  // Opens the file for appending, creating it. Only a regular file or a new one will do: a
  // FIFO, a device or a folder is refused, without waiting on a FIFO nobody reads. False, said
  // on Errors, when it cannot be opened.
  bool Open();
  // One event: the wall-clock time in milliseconds since 1970, the entry's index and file, and
  // for failures why (empty: no reason field); ClockNs, when not 0, the show clock's time of a
  // frame (a "clock_ns" field).
  void Write(const char* Event, std::int64_t WallMs, int Index, const std::string& File, const std::string& Reason,
             std::int64_t ClockNs = 0);

private:
  // Opens the path; Say: tell Errors why it cannot be.
  bool OpenFile(bool Say);
  // Whether the path still names the file open.
  bool StillThere() const;
  // The line in one write, cut back off when it did not go out whole.
  bool WriteLine(const std::string& Line);
  void Lost(std::int64_t WallMs, const std::string& Why);
  void Rotate();

  std::string FPath;
  std::ostream& FErrors;
  std::int64_t FLimit;
  int FKeep;
  int FHandle = -1;
  std::int64_t FSize = 0;
  int FLost = 0;                 // events not written since the last line that was
  std::int64_t FLostSince = 0;   // wall-clock time of the first of them
  bool FTroubleSaid = false;     // until lines go out again
};

// One event's line as the log writes it (without the line end).
QJsonObject ProofLine(const char* Event, std::int64_t WallMs, int Index, const std::string& File, const std::string& Reason,
                      std::int64_t ClockNs = 0);

// Local time as ISO-8601 with milliseconds and the offset from UTC: 2026-12-09T23:57:07.123+01:00.
std::string IsoTime(std::int64_t WallMs);
