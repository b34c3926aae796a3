// Checks every drawing on a rectangle of the X display for a black picture: at each drawing that
// touches the rectangle (DAMAGE on the root window, so whoever draws), reads a grid of it back and
// calls the picture black when its mean luma is under 16 of 255 and at least 97 % of the samples
// are under 24, so a picture with dark bars or dark parts is not. Drawings that arrive together
// are checked once. Nothing counts before the first picture that is not black.
// The grid: 32 rows spread over the rectangle, each read whole with one XGetImage of one line and
// sampled every 1/64 of its width, so a check costs the X server 32 lines, not the rectangle.
// Usage: bench_black REPORT X Y WIDTH HEIGHT   (runs until SIGTERM or SIGINT)
// REPORT then receives "checked drawings black" and a line "black MS LUMA DARK%" for each of the
// first 20 black pictures (CLOCK_MONOTONIC milliseconds, as the program's events are stamped).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <strings.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/MonotonicMs.h"

namespace {

volatile std::sig_atomic_t Stop = 0;

constexpr int Rows = 32, Columns = 64;

struct TVerdict {
  double Luma;   // mean, 0..255
  double Dark;   // share of the samples under 24
  bool Black() const { return Luma < 16 && Dark >= 0.97; }
};

int ShiftOf(unsigned long Mask) { return Mask ? ffsl(static_cast<long>(Mask)) - 1 : 0; }

TVerdict Check(Display* X, int Left, int Top, int Width, int Height) {
  double Sum = 0;
  int Dark = 0, Samples = 0;
  for (int Row = 0; Row < Rows; ++Row) {
    XImage* Line = XGetImage(X, DefaultRootWindow(X), Left, Top + (2 * Row + 1) * Height / (2 * Rows), Width, 1,
                             AllPlanes, ZPixmap);
    if (!Line) continue;
    for (int Column = 0; Column < Columns; ++Column) {
      const unsigned long Pixel = XGetPixel(Line, (2 * Column + 1) * Width / (2 * Columns), 0);
      const auto Channel = [&](unsigned long Mask) { return static_cast<double>((Pixel & Mask) >> ShiftOf(Mask)); };
      const double Luma = 0.299 * Channel(Line->red_mask) + 0.587 * Channel(Line->green_mask) +
                          0.114 * Channel(Line->blue_mask);
      Sum += Luma;
      Dark += Luma < 24;
      ++Samples;
    }
    XDestroyImage(Line);
  }
  return Samples ? TVerdict{Sum / Samples, static_cast<double>(Dark) / Samples} : TVerdict{255, 0};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bench_black REPORT X Y WIDTH HEIGHT\n");
    return 2;
  }
  const int Left = std::atoi(argv[2]), Top = std::atoi(argv[3]), Width = std::atoi(argv[4]),
            Height = std::atoi(argv[5]);
  Display* X = XOpenDisplay(nullptr);
  int DamageEvent = 0, DamageError = 0;
  if (!X || !XDamageQueryExtension(X, &DamageEvent, &DamageError) || Width < Columns || Height < Rows) {
    std::fprintf(stderr, "bench_black: no X display with the DAMAGE extension, or a rectangle too small\n");
    return 2;
  }
  XDamageCreate(X, DefaultRootWindow(X), XDamageReportRawRectangles);
  XSync(X, False);
  std::signal(SIGTERM, [](int) { Stop = 1; });
  std::signal(SIGINT, [](int) { Stop = 1; });

  long Checked = 0, Drawings = 0, Black = 0;
  bool Armed = false;
  std::vector<std::string> First;
  while (!Stop) {
    bool Drawn = false;
    while (XPending(X)) {
      XEvent Event;
      XNextEvent(X, &Event);
      if (Event.type != DamageEvent + XDamageNotify) continue;
      const XRectangle& Area = reinterpret_cast<const XDamageNotifyEvent*>(&Event)->area;
      if (Area.x >= Left + Width || Area.y >= Top + Height || Area.x + Area.width <= Left || Area.y + Area.height <= Top)
        continue;
      ++Drawings;
      Drawn = true;
    }
    if (Drawn) {
      const double Ms = MonotonicMs();
      const TVerdict Verdict = Check(X, Left, Top, Width, Height);
      Armed = Armed || !Verdict.Black();
      if (Armed) {
        ++Checked;
        if (Verdict.Black() && ++Black <= 20) {
          char Line[96];
          std::snprintf(Line, sizeof Line, "black %.3f %.1f %.1f", Ms, Verdict.Luma, Verdict.Dark * 100);
          First.push_back(Line);
        }
      }
    }
    pollfd Wait{ConnectionNumber(X), POLLIN, 0};
    poll(&Wait, 1, 50);
  }
  XCloseDisplay(X);
  std::FILE* Out = std::fopen(argv[1], "w");
  if (!Out) {
    std::perror(argv[1]);
    return 2;
  }
  std::fprintf(Out, "%ld %ld %ld\n", Checked, Drawings, Black);
  for (const std::string& Line : First) std::fprintf(Out, "%s\n", Line.c_str());
  std::fclose(Out);
  return 0;
}
