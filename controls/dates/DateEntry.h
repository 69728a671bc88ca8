// Reading dates that people type: the order of day, month and year in a
// date format, two-digit years put into a sliding century, a parser that
// takes the fields from the places an edit mask gives them and falls back
// to a free scan ("3/4", "03/04/24"), and the display formats and edit
// masks of date entry fields. Portable; the locale values and the current
// year come in a TDateEntrySettings, so results never depend on the clock.
// Example:  TDateEntrySettings s; s.ThisYear = 2026;
//           TryTextToDate("DD/MM/YYYY", "25/12/    ", s) == 25 December 2026
// Tested by tests/controls/dates/DateEntry_test.cpp.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/DateTime.h"

namespace qv::controls {

// The engine's date values: days from 30 December 1899.
using engine::TDateTime;

enum TDateFieldOrder { dfoMonthDayYear, dfoDayMonthYear, dfoYearMonthDay };

// Weekdays in the order of the calendars' columns before StartOfWeek turns
// them; a set of them is a bit mask (bit 0 Sunday).
enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
using TDaysOfWeek = unsigned;
constexpr TDaysOfWeek DaySet(TDayOfWeekName d) { return 1u << static_cast<unsigned>(d); }
constexpr bool InDays(TDaysOfWeek set, int weekday) { return weekday >= 0 && weekday < 7 && (set >> weekday) & 1u; }

// The value of an empty date text.
inline constexpr TDateTime EmptyDate = 0.0;

struct TDateEntrySettings {
  std::string ShortDateFormat = "dd/mm/yyyy";
  char DateSeparator = '/';
  // January first; matched by their leading letters, without case.
  std::array<std::string, 12> LongMonthNames = {"janvier", "f\xE9vrier", "mars",      "avril",   "mai",      "juin",
                                                "juillet", "ao\xFBt",    "septembre", "octobre", "novembre", "d\xE9" "cembre"};
  std::string ShortTimeFormat = "hh:nn";
  std::string TimeAMString;
  std::string TimePMString;
  // Far-east locales may write text after the date (an era, a time).
  bool FarEast = false;
  int ThisYear = 2000;
  // Two-digit years fall into the 100 years that start this many years
  // before ThisYear; 0 keeps them in ThisYear's century.
  int CenturyWindow = 60;
};

inline bool YearIsLeap(int year) { return engine::IsLeapYear(year); }
inline int MonthLength(int year, int month) { return engine::DaysInMonth(year, month); }
// 1 <= year <= 9999, 1 <= month <= 12, 1 <= day <= days of that month.
bool DatePartsValid(int year, int month, int day);
// False for values that do not decode into such a date (NaN included).
bool DateValueValid(TDateTime value);

// The first of D, E, Y, M (any case) decides: D day-month-year, E or Y
// year-month-day, M month-day-year; none of them day-month-year.
TDateFieldOrder DateOrderOf(std::string_view format);
// -1 (no year given) is ThisYear; years of 100 or more stay; others are
// put into the century window.
int FullYear(int year, const TDateEntrySettings& s);
// The first month whose long name starts (without case) with the first
// `length` characters of text; 0 when none, or for an empty text.
int MonthByName(std::string_view text, size_t length, const TDateEntrySettings& s);

// One field read from where `count` copies of `letter` stand in the format
// (the text laid over the format, as a masked edit shows it): the default
// when the format has no such run or the text is longer than the format,
// -1 for an all-blank field or one that is not a number (a month name with
// count >= 2).
int ExtractMaskedField(std::string_view format, std::string_view text, char letter, int count, int defaultValue,
                       const TDateEntrySettings& s);
// From the masked places first; a free scan when those give no valid date.
bool ParseMaskedDate(std::string_view format, std::string_view text, int& day, int& month, int& year,
                     const TDateEntrySettings& s);
// Numbers and separators in the format's order; the whole text must be
// used. Without a year, ThisYear.
bool ParseFreeDate(std::string_view text, std::string_view format, int& year, int& month, int& day,
                   const TDateEntrySettings& s);

// An empty text is EmptyDate; otherwise the date read by ParseMaskedDate,
// or nothing.
std::optional<TDateTime> TryTextToDate(std::string_view format, std::string_view text, const TDateEntrySettings& s);
// TryTextToDate, or the default's whole days when the text is no date.
TDateTime TextToDateFmtDef(std::string_view format, std::string_view text, TDateTime defaultDate,
                           const TDateEntrySettings& s);

// True when the (upper-cased) short date format holds "YYYY".
bool FourDigitYearFormat(const TDateEntrySettings& s);
// "DD/MM/YYYY", "MM/DD/YYYY" or "YYYY/MM/DD" by the short date format's
// order; "DD/MM/YY" and so on with two digits.
std::string DefaultDateFormat(bool fourDigitYear, const TDateEntrySettings& s);
// "!99/99/9999;1;" ("!9999/99/99;1;" year first), or "!99/99/99;1;" with two
// digits, followed by the blank character.
std::string DefaultDateMask(char blank, bool fourDigitYear, const TDateEntrySettings& s);

}  // namespace qv::controls
