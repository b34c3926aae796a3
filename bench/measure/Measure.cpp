// Runs one command and reports what it cost: wall time, user and system CPU of the child (from
// wait4), its peak resident size, and when the first output line containing a pattern arrived.
// Usage: bench_measure REPORT PATTERN COMMAND [ARGS...]
// The child's stdout and stderr are merged and passed through to stdout. REPORT receives one
// line: "start_ms end_ms user_s sys_s maxrss_kB first_match_ms exit_status", all times in
// CLOCK_MONOTONIC milliseconds (first_match_ms is -1 when no line matched).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/MonotonicMs.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_measure REPORT PATTERN COMMAND [ARGS...]\n");
    return 2;
  }
  const char* Report = argv[1];
  const std::string Pattern = argv[2];
  int Pipe[2];
  if (pipe(Pipe) != 0) {
    std::perror("pipe");
    return 2;
  }
  const double Start = MonotonicMs();
  const pid_t Child = fork();
  if (Child == 0) {
    dup2(Pipe[1], STDOUT_FILENO);
    dup2(Pipe[1], STDERR_FILENO);
    close(Pipe[0]);
    close(Pipe[1]);
    execvp(argv[3], argv + 3);
    std::perror("exec");
    _exit(127);
  }
  close(Pipe[1]);
  double FirstMatch = -1;
  std::string Line;
  char Buffer[4096];
  ssize_t Got;
  while ((Got = read(Pipe[0], Buffer, sizeof Buffer)) > 0) {
    const double Now = MonotonicMs();
    fwrite(Buffer, 1, static_cast<size_t>(Got), stdout);
    for (ssize_t I = 0; I < Got && FirstMatch < 0; ++I) {
      // mpv redraws its status line with carriage returns; treat them as line ends too.
      if (Buffer[I] == '\n' || Buffer[I] == '\r') {
        Line.clear();
      } else {
        Line += Buffer[I];
        if (!Pattern.empty() && Line.find(Pattern) != std::string::npos) FirstMatch = Now;
      }
    }
  }
  int Status = 0;
  rusage Usage{};
  wait4(Child, &Status, 0, &Usage);
  const double End = MonotonicMs();
  std::FILE* Out = std::fopen(Report, "w");
  if (!Out) {
    std::perror(Report);
    return 2;
  }
  std::fprintf(Out, "%.3f %.3f %.6f %.6f %ld %.3f %d\n", Start, End,
               Usage.ru_utime.tv_sec + Usage.ru_utime.tv_usec / 1e6,
               Usage.ru_stime.tv_sec + Usage.ru_stime.tv_usec / 1e6, Usage.ru_maxrss, FirstMatch,
               WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status));
  std::fclose(Out);
  return 0;
}
