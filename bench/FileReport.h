#pragma once
// The line each file benchmark prints for one operation on one file, measured in a process of
// its own: op N bytes seconds MB/s rss_before_kB rss_peak_kB bytes_of_peak_per_item
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

inline long PeakRssKb() {
  rusage Usage{};
  getrusage(RUSAGE_SELF, &Usage);
  return Usage.ru_maxrss;
}

inline void PrintFileReport(const std::string& Op, int Count, const std::string& File, double Seconds,
                            long RssBefore) {
  const long RssPeak = PeakRssKb();
  struct stat Info {};
  stat(File.c_str(), &Info);
  const double Bytes = static_cast<double>(Info.st_size);
  std::printf("%s %d %.0f %.6f %.1f %ld %ld %.0f\n", Op.c_str(), Count, Bytes, Seconds, Bytes / Seconds / 1e6,
              RssBefore, RssPeak, (RssPeak - RssBefore) * 1024.0 / Count);
}
