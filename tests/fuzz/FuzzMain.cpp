// libFuzzer's entry point: runs the one target linked into this program.
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzTargets().front().Entry(Data, Size);
  return 0;
}
