// vizmora-graphs: lists the filter graphs that running Vizmora processes publish, or prints
// one of them (its state, filters, pins and connections).
//   vizmora-graphs           one line per graph: its item name
//   vizmora-graphs <name>    the graph published under that item name
#include <sys/types.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "platform/dshow/RunningObjectTable.h"

namespace {
struct TPublished {
  std::string Name;
  std::string Description;
};

bool Alive(pid_t Pid) { return Pid > 0 && (::kill(Pid, 0) == 0 || errno == EPERM); }

// The registrations whose process still runs; files of dead processes are passed over.
std::vector<TPublished> Published() {
  std::vector<TPublished> Result;
  std::error_code Error;
  for (const auto& Entry : std::filesystem::directory_iterator(RunningObjectTableFolder(), Error)) {
    if (!Entry.is_regular_file() || Entry.path().extension() == ".tmp") continue;
    std::ifstream In(Entry.path());
    std::string Word;
    long Pid = 0;
    if (!(In >> Word >> Pid) || Word != "pid" || !Alive(pid_t(Pid))) continue;
    In.ignore(1);
    std::ostringstream Rest;
    Rest << In.rdbuf();
    Result.push_back({Entry.path().filename().string(), Rest.str()});
  }
  return Result;
}
}  // namespace

int main(int argc, char** argv) {
  const std::vector<TPublished> Graphs = Published();
  if (argc < 2) {
    for (const TPublished& G : Graphs) std::cout << G.Name << "\n";
    return 0;
  }
  const std::string Wanted = argv[1];
  for (const TPublished& G : Graphs) {
    if (G.Name == Wanted) {
      std::cout << G.Description;
      return 0;
    }
  }
  std::cerr << "vizmora-graphs: no running graph named \"" << Wanted << "\"\n";
  return 1;
}
