// B9's clock figure: how far a follower's show clock is from the clock it follows. On one
// machine a player publishing its clock publishes this machine's realtime clock, so a clock
// following it (as --sync-clock HOST:PORT does) is read against the realtime clock directly.
// Prints the median and the largest error, in ms, of one reading every 100 ms for SECONDS, the
// number of readings, the largest error once the first 10 s (the clock settling) are over, and
// for drift the median/largest of the first and of the last tenth of the readings after those 10 s.
// Usage: clock_error_bench HOST PORT SECONDS
#include <gst/gst.h>
#include <gst/net/net.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: clock_error_bench HOST PORT SECONDS\n");
    return 2;
  }
  gst_init(nullptr, nullptr);
  GstClock* Follower = gst_net_client_clock_new("follower", argv[1], std::atoi(argv[2]), 0);
  if (!gst_clock_wait_for_sync(Follower, 30 * GST_SECOND)) {
    std::fprintf(stderr, "the clock did not come in step\n");
    return 1;
  }
  std::vector<double> Errors;
  for (int I = 0; I < std::atoi(argv[3]) * 10; ++I, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
    // Against the middle of two realtime readings around it; a reading preempted between them
    // (over 0.2 ms apart) says nothing of the clocks and is taken again.
    const gint64 Before = g_get_real_time();
    const GstClockTime Time = gst_clock_get_time(Follower);
    const gint64 After = g_get_real_time();
    if (After - Before > 200) {
      --I;
      continue;
    }
    Errors.push_back(std::abs(double(GST_CLOCK_DIFF(GstClockTime((Before + After) * 500), Time))) / 1e6);
  }
  const std::size_t Settled = std::min<std::size_t>(100, Errors.size() - 1);
  const double LaterMax = *std::max_element(Errors.begin() + Settled, Errors.end());
  const std::size_t Tenth = std::max<std::size_t>(1, (Errors.size() - Settled) / 10);
  const auto Spread = [](std::vector<double> Part) {  // "median/largest"
    std::sort(Part.begin(), Part.end());
    char Text[64];
    std::snprintf(Text, sizeof Text, "%.3f/%.3f", Part[Part.size() / 2], Part.back());
    return std::string(Text);
  };
  const std::string First = Spread({Errors.begin() + Settled, Errors.begin() + Settled + Tenth});
  const std::string Last = Spread({Errors.end() - Tenth, Errors.end()});
  std::sort(Errors.begin(), Errors.end());
  std::printf("%.3f %.3f %zu %.3f %s %s\n", Errors[Errors.size() / 2], Errors.back(), Errors.size(), LaterMax, First.c_str(),
              Last.c_str());
  gst_object_unref(Follower);
  return 0;
}
