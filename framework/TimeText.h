#pragma once
// Time text: a day fraction shown as a time of day in the user's long time format.
#include <string>

class QLocale;

// The long time format, built once from a locale.
struct TLongTimeFormat {
  bool TwelveHour = false;       // 12-hour clock with an AM/PM designator
  bool DesignatorFirst = false;  // the designator stands before the time
  bool LeadingZero = false;      // "hh" rather than "h"
  std::string Separator = ":";
  std::string AMDesignator = "AM";
  std::string PMDesignator = "PM";

  static TLongTimeFormat FromLocale(const QLocale& Locale);
  // Whole days dropped, rounded to the millisecond, shown without it.
  std::string Format(double Days) const;
};

// The time text of a day fraction in the system locale's format, built on first use.
std::string TimeText(double Days);
