#pragma once
// A folder of the test's own below the system's temporary folder, removed with its contents.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

class TTempFolder {
public:
  TTempFolder() {
    std::string Template = (std::filesystem::temp_directory_path() / "vizmora-files-XXXXXX").string();
    FPath = ::mkdtemp(Template.data());
  }
  ~TTempFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
  const std::string& Path() const { return FPath; }

  // The names in the folder, hidden ones included.
  std::set<std::string> Names() const {
    std::set<std::string> Out;
    for (const auto& Entry : std::filesystem::directory_iterator(FPath)) Out.insert(Entry.path().filename().string());
    return Out;
  }

private:
  std::string FPath;
};

inline std::string ReadAll(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), {}};
}

inline void WriteAll(const std::string& Path, const std::string& Text) {
  std::ofstream(Path, std::ios::binary) << Text;
}
