#include "app/ProofLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/JsonLine.h"

TProofLog::TProofLog(std::string APath, std::ostream& AErrors, std::int64_t ALimit, int AKeep)
    : FPath(std::move(APath)), FErrors(AErrors), FLimit(ALimit), FKeep(AKeep) {}

TProofLog::~TProofLog() {
  if (FHandle >= 0) close(FHandle);
}

bool TProofLog::Open() {
  if (FHandle >= 0) close(FHandle);
  FHandle = open(FPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (FHandle < 0) {
    FErrors << "vizmora: cannot write the log " << FPath << ": " << std::strerror(errno) << std::endl;
    return false;
  }
  struct stat Info {};
  FSize = fstat(FHandle, &Info) == 0 ? Info.st_size : 0;
  return true;
}

void TProofLog::Write(const char* Event, std::int64_t WallMs, int Index, const std::string& File,
                      const std::string& Reason) {
  QJsonObject Json{{"time", QString::fromStdString(IsoTime(WallMs))},
                   {"event", Event},
                   {"index", Index},
                   {"file", JsonText(File)}};
  if (!Reason.empty()) Json["reason"] = JsonText(Reason);
  Append(JsonLine(Json) + "\n");
}

void TProofLog::Append(const std::string& Line) {
  if (FSize > 0 && FSize + static_cast<std::int64_t>(Line.size()) > FLimit) Rotate();
  if (FHandle < 0) return;
  std::size_t Done = 0;
  while (Done < Line.size()) {
    const ssize_t N = write(FHandle, Line.data() + Done, Line.size() - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) {
      if (!FWriteFailed) FErrors << "vizmora: cannot write the log " << FPath << ": " << std::strerror(errno) << std::endl;
      FWriteFailed = true;
      return;
    }
    Done += static_cast<std::size_t>(N);
  }
  FSize += static_cast<std::int64_t>(Line.size());
}

void TProofLog::Rotate() {
  for (int I = FKeep - 1; I >= 1; --I)
    std::rename((FPath + "." + std::to_string(I)).c_str(), (FPath + "." + std::to_string(I + 1)).c_str());
  if (std::rename(FPath.c_str(), (FPath + ".1").c_str()) != 0 && !FWriteFailed) {
    FErrors << "vizmora: cannot rotate the log " << FPath << ": " << std::strerror(errno) << std::endl;
    FWriteFailed = true;
  }
  Open();
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
