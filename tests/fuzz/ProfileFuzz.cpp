// The ini-file parser of the profile calls. Every key listed has a value; the text formats to
// a text that parses and formats the same; a value set is read back.
#include <string_view>

#include "fuzz/FuzzTarget.h"
#include "platform/win/ProfileText.h"

VIZMORA_FUZZ_TARGET(profile) {
  TProfileText Profile;
  Profile.Parse(std::string_view(reinterpret_cast<const char*>(Data), Size));
  const std::vector<std::string> Sections = Profile.Sections();
  for (const std::string& Section : Sections)
    for (const std::string& Key : Profile.Keys(Section))
      FuzzCheck(Profile.Value(Section, Key).has_value(), "every key listed has a value");

  const std::string Once = Profile.Format();
  TProfileText Again;
  Again.Parse(Once);
  FuzzCheck(Again.Format() == Once, "a formatted profile formats the same again");

  const std::string Section = Sections.empty() ? "Fuzz" : Sections.back();
  Profile.SetValue(Section, "FuzzKey", "value");
  FuzzCheck(Profile.Value(Section, "fuzzkey") == "value", "a value set is read back");
  FuzzCheck(Profile.DeleteKey(Section, "FUZZKEY"), "and deleted");
  if (Profile.DeleteSection(Section)) FuzzCheck(!Profile.Value(Section, "FuzzKey"), "with its section");
}
