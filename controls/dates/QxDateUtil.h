// The Win32 side of the date entry rules (controls/dates/DateEntry.h): the date
// locale of the process (short date format, separator, month and day
// names, read from the system and normalised to "/", or set by the
// program), today from the local clock, the strict text-to-date reading
// that raises the invalid-date error, and date texts in a date edit's
// format ("DD/MM/YYYY" and its kin).
// Example:  TDateTime d = TextToDateFmt("DD/MM/YYYY", "25/12/2024");
// Main thread only. Tested by tests/controls/dates/QxDateEdit_test.cpp.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "controls/dates/DateEntry.h"
#include "framework/Exception.h"

namespace qv::controls {

using qv::engine::TDateTime;

// The framework's conversion error ("'%s' n'est pas une date correcte").
class EConvertError : public qv::fw::EQvError {
public:
  using EQvError::EQvError;
};

struct TDateLocale {
  TDateEntrySettings Entry;  // ThisYear is filled on each read
  std::array<std::string, 7> ShortDayNames;  // Sunday first
};

// The locale in force: the system's (dates with "/") until a program sets
// its own. Entry.ThisYear is the local clock's year.
TDateLocale DateLocale();
void SetDateLocale(const TDateLocale& locale);
// Back to the system's values (tests).
void ResetDateLocale();
TDateLocale SystemDateLocale();

int ThisYear();
TDateTime Today();
TDateTime Now();
// True when the locale's short date format writes four-digit years.
bool FourDigitYearFormat();

// TryTextToDate, or EConvertError with the text.
TDateTime TextToDateFmt(std::string_view format, std::string_view text);
TDateTime TextToDateFmtDef(std::string_view format, std::string_view text, TDateTime defaultDate);
// The date in a date format of DD, MM, YY and YYYY (either case).
std::string FormatDateFmt(std::string_view format, TDateTime date);
// "MMMM, YYYY": the locale's long month name and the year.
std::string MonthTitle(TDateTime date);
// Resource texts of the calendars, English when the module has none.
std::string CalendarText(unsigned id);
// The screen's pixels per inch, by which the calendars scale their layout
// drawn for 96; a test may set another (0: the screen's) without changing
// the screen.
int CalendarPixelsPerInch();
void SetCalendarPixelsPerInch(int ppi);

}  // namespace qv::controls
