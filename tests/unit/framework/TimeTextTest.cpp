#include <gtest/gtest.h>

#include <QLocale>

#include "framework/TimeText.h"

namespace {
double Seconds(double S) { return S / 86400.0; }
}  // namespace

TEST(TimeText, TwentyFourHourClockWithoutLeadingZero) {
  TLongTimeFormat F;  // 24-hour, "h", ":"
  EXPECT_EQ(F.Format(Seconds(65.5)), "0:01:05");
  EXPECT_EQ(F.Format(Seconds(0)), "0:00:00");
  EXPECT_EQ(F.Format(Seconds(13 * 3600 + 5 * 60 + 9)), "13:05:09");
  // Rounded to the millisecond, then shown without it.
  EXPECT_EQ(F.Format(Seconds(59.9996)), "0:01:00");
  EXPECT_EQ(F.Format(Seconds(59.9994)), "0:00:59");
  // Whole days are dropped.
  EXPECT_EQ(F.Format(2.0 + Seconds(3661)), "1:01:01");
}

TEST(TimeText, TwelveHourClockShowsHourZeroAsTwelveAM) {
  TLongTimeFormat F;
  F.TwelveHour = true;
  EXPECT_EQ(F.Format(Seconds(65)), "12:01:05 AM");
  EXPECT_EQ(F.Format(Seconds(12 * 3600)), "12:00:00 PM");
  EXPECT_EQ(F.Format(Seconds(13 * 3600 + 1)), "1:00:01 PM");
  F.DesignatorFirst = true;
  F.LeadingZero = true;
  F.Separator = ".";
  EXPECT_EQ(F.Format(Seconds(3 * 3600 + 4 * 60 + 5)), "AM 03.04.05");
}

TEST(TimeText, FormatIsBuiltFromTheLocale) {
  const TLongTimeFormat US = TLongTimeFormat::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_TRUE(US.TwelveHour);
  EXPECT_FALSE(US.DesignatorFirst);
  EXPECT_FALSE(US.LeadingZero);
  EXPECT_EQ(US.Format(Seconds(65.5)), "12:01:05 " + US.AMDesignator);

  const TLongTimeFormat German = TLongTimeFormat::FromLocale(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_FALSE(German.TwelveHour);
  EXPECT_TRUE(German.LeadingZero);
  EXPECT_EQ(German.Format(Seconds(65.5)), "00:01:05");
}
