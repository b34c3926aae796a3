// Times the settings a program start reads from a registry file of N keys, in a process of its
// own so the peak resident size belongs to that one load.
// Usage: registry_bench make N FILE   (writes the file: N keys of one value each, then the two
//                                       forms' sections)
//        registry_bench load N FILE   (reads the twelve values of both forms, each through a
//                                       store of its own, as the settings component does)
// Prints: op N bytes seconds MB/s rss_before_kB rss_peak_kB bytes_of_peak_per_key
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/FileReport.h"
#include "platform/win/AtomicFile.h"
#include "platform/win/RegFile.h"
#include "settings/Registry.h"

namespace {
const char* const RegPath = "Software\\Quorvex Software\\Vizmora";
const char* const Forms[] = {"vizmoraFM", "PlayLstFm"};
const char* const Values[] = {".Left", ".Top", ".Right", ".Bottom", ".WindowState", "Aspect.Checked"};

void SetText(TRegKey& Key, const std::string& Name, const std::string& Text) {
  TRegValue Value{Name, REG_SZ, {Text.begin(), Text.end()}};
  Value.Data.push_back(0);
  Key.SetValue(std::move(Value));
}

bool Make(int Count, const std::string& File) {
  TRegFile Reg;
  char Path[64];
  for (int I = 0; I < Count; ++I) {
    std::snprintf(Path, sizeof Path, "Software\\Bench\\K%06d", I);
    Reg.CreateKey(Path);
    SetText(*Reg.FindKey(Path), "V", std::to_string(I));
  }
  for (const char* Form : Forms) {
    const std::string Section = std::string(RegPath) + "\\" + Form;
    Reg.CreateKey(Section);
    for (const char* Name : Values) SetText(*Reg.FindKey(Section), Name, "100");
  }
  return WriteFileAtomically(File, Reg.Format(), 0600) == 0;
}

bool Load() {
  for (const char* Form : Forms)
    for (const char* Name : Values) {
      TRegistry Store(RegPath);
      if (Store.ReadInteger(Form, Name, 0) != 100) return false;
    }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: registry_bench make|load N FILE\n");
    return 2;
  }
  QCoreApplication App(argc, argv);
  const std::string Op = argv[1];
  const int Count = std::atoi(argv[2]);
  const std::string File = argv[3];
  setenv("VIZMORA_REGISTRY", File.c_str(), 1);

  const long RssBefore = PeakRssKb();
  const auto Start = std::chrono::steady_clock::now();
  const bool Done = Op == "make" ? Make(Count, File) : Load();
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  if (!Done) {
    std::fprintf(stderr, "registry_bench: %s failed\n", Op.c_str());
    return 1;
  }
  PrintFileReport(Op, Count, File, Seconds, RssBefore);
  return 0;
}
