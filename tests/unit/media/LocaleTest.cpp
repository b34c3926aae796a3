#include <gtest/gtest.h>

#include "platform/win/Locale.h"

TEST(Locale, EnglishLanguageNameByPrimaryLanguage) {
  char Name[260] = {};
  EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SENGLANGUAGE, Name, sizeof Name), 8);
  EXPECT_STREQ(Name, "English");
  EXPECT_EQ(GetLocaleInfoA(0x0C0C, LOCALE_SENGLANGUAGE, Name, sizeof Name), 7);  // French (Canada)
  EXPECT_STREQ(Name, "French");
  EXPECT_EQ(GetLocaleInfoA(0x0407, LOCALE_SENGLANGUAGE, nullptr, 0), 7) << "the length asked for";
}

TEST(Locale, UnknownLanguagesItemsAndShortBuffersGiveNothing) {
  char Name[4] = {};
  EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SENGLANGUAGE, Name, sizeof Name), 0);
  EXPECT_EQ(GetLocaleInfoA(0x0000, LOCALE_SENGLANGUAGE, Name, sizeof Name), 0);
  EXPECT_EQ(GetLocaleInfoA(0x0409, 0x0002, Name, sizeof Name), 0);
  EXPECT_STREQ(Name, "");
}
