// The registry file's parser. A text it accepts formats to a text that parses to the same keys
// and values and formats the same again; every key and value it holds is found by its name in
// any letter case.
#include <string_view>

#include "fuzz/FuzzTarget.h"
#include "platform/win/RegFile.h"
#include "platform/win/RegName.h"
#include "platform/win/Registry.h"

namespace {
// Letter case changed in ASCII only, which keeps every other byte.
std::string Upper(std::string Text) {
  for (char& C : Text)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Text;
}
}  // namespace

VIZMORA_FUZZ_TARGET(registry) {
  TRegFile File;
  if (!File.Parse(std::string_view(reinterpret_cast<const char*>(Data), Size))) return;
  for (const TRegKey& Key : File.Keys()) {
    FuzzCheck(File.FindKey(Key.Path) == &Key, "every key is found by its path");
    FuzzCheck(File.KeyExists(Key.Path), "and exists");
    for (const TRegValue& Value : Key.Values())
      FuzzCheck(Key.FindValue(Value.Name) == &Value, "every value is found by its name");
  }
  const std::string Once = File.Format();
  TRegFile Again;
  FuzzCheck(Again.Parse(Once), "a formatted registry file parses");
  FuzzCheck(Again.Format() == Once, "and formats to the same text");
  FuzzCheck(Again.Keys().size() == File.Keys().size(), "with the same keys");

  // A key made below every key there is, and a value set in it, are found again in any case.
  for (const TRegKey& Key : File.Keys()) {
    const std::string Path = Key.Path + (Key.Path.empty() ? "" : "\\") + "Fuzz";
    Again.CreateKey(Path);
    TRegKey* Made = Again.FindKey(Upper(Path));
    FuzzCheck(Made && FoldRegName(Made->Path) == FoldRegName(Path), "a key made is found by its path in any case");
    Made->SetValue({"Made", REG_SZ, {'x', 0}});
    FuzzCheck(Made->FindValue("MADE") && Made->FindValue("MADE")->Data.size() == 2, "a value set is found");
  }
  TRegFile Third;
  FuzzCheck(Third.Parse(Again.Format()), "the file with the keys made parses");
}
