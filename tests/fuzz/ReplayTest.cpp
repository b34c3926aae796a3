// Replays every input kept for the fuzz targets: the seeds in corpus/<target>/ and each input
// that once crashed or hung a target, in found/<target>/, so a fault found once stays mended.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace fs = std::filesystem;

TEST(FuzzReplay, EveryKeptInputRunsCleanly) {
  ASSERT_FALSE(FuzzTargets().empty());
  for (const TFuzzTarget& Target : FuzzTargets()) {
    int Seeds = 0;
    for (const char* Kind : {"corpus", "found"}) {
      const fs::path Folder = fs::path(VIZMORA_FUZZ_INPUTS) / Kind / Target.Name;
      if (!fs::is_directory(Folder)) continue;
      for (const auto& Entry : fs::directory_iterator(Folder)) {
        if (!Entry.is_regular_file()) continue;
        SCOPED_TRACE(Entry.path().string());
        std::ifstream In(Entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(In), {}};
        Target.Entry(Bytes.data(), Bytes.size());
        Seeds += std::string(Kind) == "corpus";
      }
    }
    EXPECT_GT(Seeds, 0) << Target.Name << " has no seeds";
  }
}
