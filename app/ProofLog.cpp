#include "app/ProofLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/JsonLine.h"

namespace {
// What a path that is no regular file names, for the message that refuses it.
const char* KindOf(mode_t Mode) {
  if (S_ISDIR(Mode)) return "a folder";
  if (S_ISFIFO(Mode)) return "a FIFO";
  if (S_ISCHR(Mode) || S_ISBLK(Mode)) return "a device";
  if (S_ISSOCK(Mode)) return "a socket";
  return "not a regular file";
}
}  // namespace

TProofLog::TProofLog(std::string APath, std::ostream& AErrors, std::int64_t ALimit, int AKeep)
    : FPath(std::move(APath)), FErrors(AErrors), FLimit(ALimit), FKeep(AKeep) {}

TProofLog::~TProofLog() {
  if (FHandle >= 0) close(FHandle);
}

bool TProofLog::Open() { return OpenFile(true); }

bool TProofLog::OpenFile(bool Say) {
  if (FHandle >= 0) close(FHandle);
  FHandle = -1;
  // Not blocking: opening a FIFO nobody reads would wait for a reader for good.
  const int Handle = open(FPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
  const int Error = errno;
  struct stat Info {};
  std::string Why;
  if ((Handle >= 0 ? fstat(Handle, &Info) : stat(FPath.c_str(), &Info)) == 0 && !S_ISREG(Info.st_mode))
    Why = std::string("it is ") + KindOf(Info.st_mode) + ", not a file";
  else if (Handle < 0)
    Why = std::strerror(Error);
  if (!Why.empty()) {
    if (Say) FErrors << "vizmora: cannot write the log " << FPath << ": " << Why << std::endl;
    if (Handle >= 0) close(Handle);
    return false;
  }
  FHandle = Handle;
  FSize = Info.st_size;
  return true;
}

bool TProofLog::StillThere() const {
  struct stat Open {}, Named {};
  return fstat(FHandle, &Open) == 0 && stat(FPath.c_str(), &Named) == 0 && Open.st_dev == Named.st_dev &&
         Open.st_ino == Named.st_ino;
}

QJsonObject ProofLine(const char* Event, std::int64_t WallMs, int Index, const std::string& File, const std::string& Reason,
                      std::int64_t ClockNs) {
  QJsonObject Json{{"time", QString::fromStdString(IsoTime(WallMs))},
                   {"event", Event},
                   {"index", Index},
                   {"file", JsonText(File)}};
  if (!Reason.empty()) Json["reason"] = JsonText(Reason);
  if (ClockNs) Json["clock_ns"] = static_cast<qint64>(ClockNs);
  return Json;
}

void TProofLog::Write(const char* Event, std::int64_t WallMs, int Index, const std::string& File,
                      const std::string& Reason, std::int64_t ClockNs) {
  const std::string Line = JsonLine(ProofLine(Event, WallMs, Index, File, Reason, ClockNs)) + "\n";

  if (FHandle >= 0 && FSize > 0 && FSize + static_cast<std::int64_t>(Line.size()) > FLimit) Rotate();
  if (FHandle >= 0 && !StillThere()) {
    close(FHandle);
    FHandle = -1;
    if (!FTroubleSaid)
      FErrors << "vizmora: the log " << FPath << " is gone; it is begun anew as soon as it can be" << std::endl;
    FTroubleSaid = true;
  }
  if (FHandle < 0 && !OpenFile(false)) return Lost(WallMs, {});
  if (FLost > 0) {
    const QJsonObject Gap{{"time", QString::fromStdString(IsoTime(WallMs))},
                          {"event", "gap"},
                          {"lost", FLost},
                          {"since", QString::fromStdString(IsoTime(FLostSince))}};
    if (!WriteLine(JsonLine(Gap) + "\n")) return Lost(WallMs, std::strerror(errno));
    FLost = 0;
  }
  if (!WriteLine(Line)) return Lost(WallMs, std::strerror(errno));
  FTroubleSaid = false;
}

bool TProofLog::WriteLine(const std::string& Line) {
  ssize_t Done = 0;
  do {
    Done = write(FHandle, Line.data(), Line.size());
  } while (Done < 0 && errno == EINTR);
  if (Done == static_cast<ssize_t>(Line.size())) {
    FSize += Done;
    return true;
  }
  const int Error = Done < 0 ? errno : ENOSPC;
  struct stat Info {};
  if (Done > 0 && fstat(FHandle, &Info) == 0 && ftruncate(FHandle, Info.st_size - Done) == 0) FSize = Info.st_size - Done;
  errno = Error;
  return false;
}

void TProofLog::Lost(std::int64_t WallMs, const std::string& Why) {
  if (FLost++ == 0) FLostSince = WallMs;
  if (!Why.empty() && !FTroubleSaid) FErrors << "vizmora: cannot write the log " << FPath << ": " << Why << std::endl;
  FTroubleSaid = true;
}

void TProofLog::Rotate() {
  for (int I = FKeep - 1; I >= 1; --I)
    std::rename((FPath + "." + std::to_string(I)).c_str(), (FPath + "." + std::to_string(I + 1)).c_str());
  if (std::rename(FPath.c_str(), (FPath + ".1").c_str()) != 0 && !FTroubleSaid) {
    FErrors << "vizmora: cannot rotate the log " << FPath << ": " << std::strerror(errno) << std::endl;
    FTroubleSaid = true;
  }
  OpenFile(false);
}

std::string IsoTime(std::int64_t WallMs) {
  const std::time_t Seconds = static_cast<std::time_t>(WallMs / 1000);
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  char Text[64];
  const std::size_t N = std::strftime(Text, sizeof Text, "%Y-%m-%dT%H:%M:%S", &Local);
  const long Offset = Local.tm_gmtoff / 60;
  std::snprintf(Text + N, sizeof Text - N, ".%03d%c%02ld:%02ld", static_cast<int>(WallMs % 1000),
                Offset < 0 ? '-' : '+', std::labs(Offset) / 60, std::labs(Offset) % 60);
  return Text;
}
