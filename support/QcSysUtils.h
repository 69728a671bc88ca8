// The process's regional settings as the support library reads them: the
// user locale's currency and number settings (read again on every call,
// since the user can change them while the program runs), the system
// locale's separators (used by the tolerant number reader) and the
// two-digit-year century window, a process setting that starts at 50.
// Tests pin the locale values with OverrideLocaleSettings; the program
// never does. Multi-character separators count by their first character.
// Example:  ReadNumberTolerant(text, DecimalSeparator(), 0);
// Tested by tests/support/QcSysUtils_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qv::controls {

struct TQcLocaleSettings {
  uint8_t CurrencyDecimals = 2;  // LOCALE_ICURRDIGITS
  std::string CurrencyString = "$";  // LOCALE_SCURRENCY
  char DecimalSeparator = '.';  // LOCALE_SDECIMAL
  char ThousandSeparator = ',';  // LOCALE_STHOUSAND
  uint8_t CurrencyFormat = 0;  // LOCALE_ICURRENCY, 0..3
  uint8_t NegCurrFormat = 0;  // LOCALE_INEGCURR, 0..15
  char SystemDecimalSeparator = '.';  // of LOCALE_SYSTEM_DEFAULT
  char SystemThousandSeparator = ',';  // of LOCALE_SYSTEM_DEFAULT
};

// The settings in force now: the pinned ones, else the locale's.
TQcLocaleSettings LocaleSettings();

uint8_t CurrencyDecimals();
std::string CurrencyString();
char DecimalSeparator();
char ThousandSeparator();
uint8_t CurrencyFormat();
uint8_t NegCurrFormat();

// The pivot that MakeYear4Digit's callers pass for two-digit years.
uint16_t TwoDigitYearCenturyWindow();
void SetTwoDigitYearCenturyWindow(uint16_t window);

// The character that stands for unconvertible characters in `codePage`
// (the ANSI code page by default); EQcInternalError "Failed to get ANSI
// replacement character" when the system cannot say.
char AnsiReplacementChar(UINT codePage = CP_ACP);

// Frees a library this module loaded and forgets its handle; nothing for
// an empty handle.
void UnloadModule(HMODULE& module);

// Pins the values every accessor returns (nullopt: back to the locale).
void OverrideLocaleSettings(std::optional<TQcLocaleSettings> settings);

}  // namespace qv::controls
