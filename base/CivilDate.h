// Proleptic Gregorian calendar arithmetic on day numbers (days from
// 1 January 1970, negative before), after H. Hinnant's civil-calendar
// algorithms: exact over any int range of years, no table, no locale and
// no system call (FILETIME and SYSTEMTIME stop at 1601). The engine's date
// values and the framework's both count on it; neither knows the other.
// Tested by tests/base/CivilDate_test.cpp.
#pragma once

#include <cstdint>

namespace qv::base {

constexpr bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// 28..31; 0 for a month outside 1..12.
constexpr int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  if (month == 2) return IsLeapYear(year) ? 29 : 28;
  return 30 + ((month + month / 8) & 1);  // 31 in Jan, Mar, May, Jul, Aug, Oct, Dec
}

// The day number of a date; month 1..12, day 1..31 (not checked).
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct TCivilDate {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
};

// The date of a day number (whose year must fit an int).
constexpr TCivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  TCivilDate date;
  date.Year = static_cast<int>(yoe + era * 400 + (month <= 2));
  date.Month = static_cast<int>(month);
  date.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  return date;
}

// 0 = Sunday .. 6 = Saturday.
constexpr int DayOfWeek(int64_t days) {
  const int64_t w = (days + 4) % 7;  // 1 January 1970 was a Thursday
  return static_cast<int>(w < 0 ? w + 7 : w);
}

}  // namespace qv::base
