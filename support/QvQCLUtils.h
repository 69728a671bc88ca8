// Number-text routines of the edits: digits in a base, the tolerant
// readers that take whatever number a user typed (dropping thousands
// separators and stray characters), four-digit years, and the raise of a
// failed system call.
// Example:  ReadNumberTolerant("1 234,5", ',', 0) == 1234.5;  IntToBaseText(255, 16, 4) == "00FF"
// Tested by tests/support/QvQCLUtils_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::controls {

// A currency amount: a 64-bit count of ten-thousandths.
struct TCurrency {
  static constexpr int64_t kScale = 10000;
  int64_t Scaled = 0;

  static constexpr TCurrency FromScaled(int64_t scaled) { return TCurrency{scaled}; }
  double ToDouble() const { return static_cast<double>(Scaled) / kScale; }
  friend bool operator==(TCurrency a, TCurrency b) { return a.Scaled == b.Scaled; }
};

// Text preceded by `ch` up to `width` characters; longer texts unchanged.
std::string PadLeftWith(char ch, std::string_view text, int width);

// The low 32 bits of `value` as an unsigned number in `base`, digits 0-9
// then A-Z, "0" for zero, filled with '0' on the left up to `digits`.
// A base outside 2..36 raises EQVLException ("Base > 36 not supported",
// "Base must be greater than 1").
std::string IntToBaseText(int64_t value, int base, int digits = 0);
// The text read in `base`, upper-cased first; every character counts by
// its code (code - 48, or code - 55 above 64), unchecked, in 64 bits that
// wrap. The same base check.
int64_t BaseTextToInt(std::string_view text, int base);

// Keeps '+', '-', digits, 'E', 'e' and the decimal separator (' ' means
// the system's; '.' when the text has '.' but not the separator), adds a
// '0' after a trailing '-' and then after a trailing separator, and reads
// the number; `fallback` when nothing is left or it is not a number. A
// zero reads as +0.
double ReadNumberTolerant(std::string_view text, char decimalSeparator, double fallback = 0);
// Keeps '+', '-', digits and the process's decimal separator and reads a
// currency (rounded to four decimals, ties to even); `fallback` otherwise.
TCurrency ReadCurrencyTolerant(std::string_view text, TCurrency fallback = {});

// The same readers with the separators given (what the locale would say).
namespace detail {
double ReadNumberTolerant(std::string_view text, char decimalSeparator, double fallback, char systemDecimalSeparator);
TCurrency ReadCurrencyTolerant(std::string_view text, TCurrency fallback, char decimalSeparator);
}  // namespace detail

// A two-digit year (0..99, 100 counting as 0) placed in the century that
// makes it not earlier than `pivot` (a pivot below 100 is a two-digit
// window: 50 means 1950); other years unchanged. A negative pivot raises
// EQVLException "QvQCLUtils.MakeYear4Digit: Pivot < 0".
int MakeYear4Digit(int year, int pivot);

// Raises the system's last error (qv::fw::EOSError) when `ok` is false.
void CheckOSResult(bool ok);

}  // namespace qv::controls
