// Counts the frames a command shows on the X display: every drawing that covers a probe point
// of the screen, as the X server reports it (DAMAGE on the root window), whoever draws it. So a
// player's frames are counted the same way whatever its video output.
// Usage: bench_frames REPORT X Y COMMAND [ARGS...]
// Runs COMMAND with stdout and stderr passed through; REPORT receives one line once it has
// exited: "frames first_ms last_ms exit_status" (CLOCK_MONOTONIC milliseconds of the first and
// last frame, -1 when none was seen).
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench/MonotonicMs.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: bench_frames REPORT X Y COMMAND [ARGS...]\n");
    return 2;
  }
  const char* Report = argv[1];
  const int ProbeX = std::atoi(argv[2]), ProbeY = std::atoi(argv[3]);
  Display* X = XOpenDisplay(nullptr);
  int DamageEvent = 0, DamageError = 0;
  if (!X || !XDamageQueryExtension(X, &DamageEvent, &DamageError)) {
    std::fprintf(stderr, "bench_frames: no X display with the DAMAGE extension\n");
    return 2;
  }
  // Raw rectangles: one event per drawing, not an accumulated region to be acknowledged.
  XDamageCreate(X, DefaultRootWindow(X), XDamageReportRawRectangles);
  XSync(X, False);

  const pid_t Child = fork();
  if (Child == 0) {
    close(ConnectionNumber(X));
    execvp(argv[4], argv + 4);
    std::perror("exec");
    _exit(127);
  }
  long Frames = 0;
  double First = -1, Last = -1;
  int ExitStatus = 0;
  for (;;) {
    while (XPending(X)) {
      XEvent Event;
      XNextEvent(X, &Event);
      if (Event.type != DamageEvent + XDamageNotify) continue;
      const auto* Damage = reinterpret_cast<const XDamageNotifyEvent*>(&Event);
      const XRectangle& Area = Damage->area;
      if (ProbeX < Area.x || ProbeY < Area.y || ProbeX >= Area.x + Area.width || ProbeY >= Area.y + Area.height) continue;
      Last = MonotonicMs();
      if (First < 0) First = Last;
      ++Frames;
    }
    if (waitpid(Child, &ExitStatus, WNOHANG) == Child) break;
    pollfd Wait{ConnectionNumber(X), POLLIN, 0};
    poll(&Wait, 1, 50);
  }
  XCloseDisplay(X);
  std::FILE* Out = std::fopen(Report, "w");
  if (!Out) {
    std::perror(Report);
    return 2;
  }
  std::fprintf(Out, "%ld %.3f %.3f %d\n", Frames, First, Last,
               WIFEXITED(ExitStatus) ? WEXITSTATUS(ExitStatus) : 128 + WTERMSIG(ExitStatus));
  std::fclose(Out);
  return 0;
}
