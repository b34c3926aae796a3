#include "framework/TimeText.h"

#include <QLocale>
#include <QRegularExpression>
#include <QString>
#include <cmath>
#include <cstdint>

#include "framework/DayFractions.h"

TLongTimeFormat TLongTimeFormat::FromLocale(const QLocale& Locale) {
  TLongTimeFormat F;
  const QString Pattern = Locale.timeFormat(QLocale::LongFormat);
  const int Hour = Pattern.indexOf(QRegularExpression(QStringLiteral("[hH]")));
  int Designator = Pattern.indexOf(QRegularExpression(QStringLiteral("[aA]")));
  if (Hour >= 0) {
    int HourEnd = Hour;
    while (HourEnd < Pattern.size() && Pattern[HourEnd] == Pattern[Hour]) ++HourEnd;
    F.LeadingZero = HourEnd - Hour >= 2;
    const int Minute = Pattern.indexOf(QLatin1Char('m'), HourEnd);
    if (Minute > HourEnd) F.Separator = Pattern.mid(HourEnd, Minute - HourEnd).toStdString();
    // 'H' is a 24-hour field even when a designator follows.
    F.TwelveHour = Designator >= 0 && Pattern[Hour] == QLatin1Char('h');
    F.DesignatorFirst = F.TwelveHour && Designator < Hour;
  }
  if (!Locale.amText().isEmpty()) F.AMDesignator = Locale.amText().toStdString();
  if (!Locale.pmText().isEmpty()) F.PMDesignator = Locale.pmText().toStdString();
  return F;
}

std::string TLongTimeFormat::Format(double Days) const {
  constexpr auto MSecsInADay = static_cast<std::int64_t>(MSecsPerDay);
  double Whole = 0;
  const double Fraction = std::fabs(std::modf(Days, &Whole));
  const std::int64_t MSecs = std::llround(Fraction * MSecsPerDay) % MSecsInADay;
  std::int64_t Hour = MSecs / 3600000;
  const std::int64_t Min = MSecs / 60000 % 60;
  const std::int64_t Sec = MSecs / 1000 % 60;

  std::string Designator;
  if (TwelveHour) {
    Designator = Hour < 12 ? AMDesignator : PMDesignator;
    Hour %= 12;
    if (Hour == 0) Hour = 12;
  }
  auto TwoDigits = [](std::int64_t V) { return (V < 10 ? "0" : "") + std::to_string(V); };
  std::string Text = LeadingZero ? TwoDigits(Hour) : std::to_string(Hour);
  Text += Separator + TwoDigits(Min) + Separator + TwoDigits(Sec);
  if (TwelveHour) Text = DesignatorFirst ? Designator + " " + Text : Text + " " + Designator;
  return Text;
}

std::string TimeText(double Days) {
  static const TLongTimeFormat Format = TLongTimeFormat::FromLocale(QLocale::system());
  return Format.Format(Days);
}
