// Formatting that never follows the locale: counts grouped by blanks
// ("100 000"; Wine's number formatting groups only once), date-time values
// (a double counting days from 30 December 1899, the time of day in its
// fraction) with "/" and ":" separators, and string-table texts.
// Example:  FormatCount(1234567) == "1 234 567";  DateTimeToStr(2.5) == "01/01/1900 12:00:00"
// Tested by tests/framework/Format_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qv::fw {

// Digits in groups of three separated by one blank (0x20): "-1 234".
std::string FormatCount(int64_t n);

// --- Date-time values. Before 30 December 1899 the day counts down while
// the time of day still counts forward: -1.25 is 29 Dec 1899, 06:00.
using TDateTime = double;

// Years 1..9999; nullopt for an impossible date or time.
std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                                        int millisecond = 0);
// False outside years 1..9999 (or for a NaN); times round to the millisecond.
bool DecodeDateTime(TDateTime value, SYSTEMTIME& out);
std::optional<TDateTime> SystemTimeToDateTime(const SYSTEMTIME& st);
// The local date and time now.
TDateTime Now();

// Tokens (any case): d dd (day), m mm (month; minutes right after h/hh),
// yy yyyy, h hh, n nn (minutes), s ss, z zzz (milliseconds); text in "..."
// or '...' is copied; every other character (the "/" and ":" among them)
// is copied as it is. An undecodable value gives "".
std::string FormatDateTime(const std::string& format, TDateTime value);
std::string DateToStr(TDateTime value);      // "dd/mm/yyyy"
std::string TimeToStr(TDateTime value);      // "hh:nn:ss"
std::string DateTimeToStr(TDateTime value);  // "dd/mm/yyyy hh:nn:ss"

// --- String-table texts (cp1252): "" when the text does not exist.
std::string LoadStr(UINT id);
std::string LoadStr(HINSTANCE module, UINT id);

}  // namespace qv::fw
