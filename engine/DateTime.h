// Date and time values of the engine, portable: file times (100-ns counts
// since 1 January 1601, as FILETIME), calendar records (as SYSTEMTIME) and
// the date-time value (a double counting days from 30 December 1899, the
// time of day in its fraction, 0.0 the empty date). Local-time conversion
// is injected: the Win32 side supplies the system's, tests a fixed offset.
// Tested by tests/engine/DateTime_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/CivilDate.h"

namespace qv::engine {

using TDateTime = double;

// The value a file time gets when it cannot be shown (before 1980 or after
// 2107, the range of DOS date-times).
inline constexpr TDateTime kInvalidFileDateTime = -693594.0;
// 100-ns ticks in a day, and days from 1601-01-01 to 1899-12-30.
inline constexpr int64_t kTicksPerDay = 864000000000LL;
inline constexpr int64_t kFileTimeToDateTimeDays = 109205;

struct TCalendarTime {
  int Year = 0;   // 1..9999 (file times: 1601..30827)
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  int DayOfWeek = 0;  // 0 = Sunday; filled on decoding, ignored on encoding
  bool operator==(const TCalendarTime& o) const {
    return Year == o.Year && Month == o.Month && Day == o.Day && Hour == o.Hour && Minute == o.Minute &&
           Second == o.Second && Millisecond == o.Millisecond;
  }
};

using base::DaysInMonth;  // 0 for a month outside 1..12
using base::IsLeapYear;
bool IsValidCalendarTime(const TCalendarTime& t);

// File time <-> calendar (proleptic Gregorian). Negative file times, or
// records out of range, fail.
std::optional<TCalendarTime> FileTimeToCalendar(int64_t fileTime);
std::optional<int64_t> CalendarToFileTime(const TCalendarTime& t);

// Calendar <-> date-time value. Days before 30 December 1899 are negative,
// the time of day still counted forward: 29 Dec 1899 06:00 is -1.25.
std::optional<TDateTime> EncodeDateTime(const TCalendarTime& t);
std::optional<TCalendarTime> DecodeDateTime(TDateTime value);
TDateTime EncodeDateOnly(int year, int month, int day);  // 0.0 when invalid
inline TDateTime DateOf(TDateTime v);                   // midnight of v's day
inline TDateTime TimeOf(TDateTime v);                   // fraction of the day, >= 0

// File time (local or UTC, as the caller's) <-> date-time value, to the
// millisecond.
std::optional<TDateTime> FileTimeToDateTimeValue(int64_t fileTime);
std::optional<int64_t> DateTimeValueToFileTime(TDateTime value);

// DOS date and time (2-second resolution, years 1980..2107).
struct TDosDateTime {
  uint16_t Date = 0;
  uint16_t Time = 0;
};
std::optional<TDosDateTime> FileTimeToDosDateTime(int64_t localFileTime);
std::optional<TDateTime> DosDateTimeToDateTime(TDosDateTime dos);

// Converts between UTC file times and local file times; false on failure.
struct TTimeZone {
  std::function<bool(int64_t utc, int64_t& local)> ToLocal;
  std::function<bool(int64_t local, int64_t& utc)> ToUtc;
};
// A zone at a fixed offset from UTC (tests; UTC with 0).
TTimeZone FixedOffsetTimeZone(int64_t offsetMinutes);

// A file's UTC time as shown in the list: to local time, then to DOS
// date-time (so 2-second resolution); kInvalidFileDateTime when a step
// fails. The scan keeps the raw file times besides for undo.
TDateTime FileTimeToDateTime(int64_t utcFileTime, const TTimeZone& zone);
// Local date-time value -> UTC file time (full precision).
std::optional<int64_t> LocalDateTimeToFileTime(TDateTime local, const TTimeZone& zone);

// Texts. Dates use "/" and times ":" whatever the locale; the order and
// form of their fields follow the system's short date and long time
// formats once the program has set them.
struct TFormatSettings {
  std::string ShortDateFormat = "dd/mm/yyyy";
  std::string LongTimeFormat = "hh:nn:ss";
  char DateSeparator = '/';
  char TimeSeparator = ':';
};
// The process's settings: the French ones above until the program sets
// the system's at start (once, before any window).
const TFormatSettings& DefaultFormatSettings();
void SetDefaultFormatSettings(const TFormatSettings& fs);
// Every character of format equal to the system's date separator made
// "/" ("dd.MM.yyyy" with "." gives "dd/MM/yyyy").
std::string NormalizeShortDateFormat(std::string_view format, char systemSeparator);
// The settings from the system locale's pictures: the short date
// ("dd/MM/yyyy", "M/d/yyyy"; its era marks dropped) normalised with its
// separator, the long time ("HH:mm:ss", "h:mm:ss tt": its AM/PM marker
// becomes "ampm"). An empty picture keeps the French default.
TFormatSettings FormatSettingsFromLocale(std::string_view shortDate, std::string_view longTime, char dateSeparator);

// Format tokens: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz
// am/pm ampm, "c" (short date + long time, time left out at midnight),
// "ddddd" (short date), "tt" (long time), "/" and ":" (the separators),
// text in '...' or "..." kept as is. "m" right after "h"/"hh" is minutes.
// Day and month names are French.
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& fs = DefaultFormatSettings());
// Short date, a blank and the long time; the time is left out at midnight.
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs = DefaultFormatSettings());
std::string DateToStr(TDateTime value, const TFormatSettings& fs = DefaultFormatSettings());
std::string TimeToStr(TDateTime value, const TFormatSettings& fs = DefaultFormatSettings());
// Parses a date in the order of the short date format (day, month, year
// for "dd/mm/yyyy"); a two-digit year is taken in 1950..2049; the year may
// be left out (current year not known here: fails). Surrounding blanks ok.
std::optional<TDateTime> StrToDate(std::string_view text, const TFormatSettings& fs = DefaultFormatSettings());
// "h:n", "h:n:s" or "h:n:s.zzz", 24-hour clock.
std::optional<TDateTime> StrToTime(std::string_view text, const TFormatSettings& fs = DefaultFormatSettings());

inline TDateTime DateOf(TDateTime v) {
  const double d = static_cast<double>(static_cast<int64_t>(v));  // toward zero
  return d;
}
inline TDateTime TimeOf(TDateTime v) {
  const double f = v - static_cast<double>(static_cast<int64_t>(v));
  return f < 0 ? -f : f;
}

}  // namespace qv::engine
