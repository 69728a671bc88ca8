// Number text of the spin edit: reading and writing integers, hexadecimal
// and extended floats with explicit separators (the control passes the
// locale's), a number-format pattern ("#,0.00"), and the rounding rules
// (to nearest, ties to even, within the 64-bit range). Pure functions.
// Example:  FormatFloatPattern(1234.5L, ",0.00", {',', ' '}) == "1 234,50"
// Tested by tests/controls/edits/QxNumText_test.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::controls {

struct TNumberSeparators {
  char Decimal = '.';
  char Thousands = ',';
};

// The user locale's separators (read on every call: the user may change them).
TNumberSeparators LocaleSeparators();

// Round to nearest, ties to even, after clamping to the int64 range (a NaN
// gives 0): no value can make the conversion undefined.
int64_t RoundToInt64(long double x);

// Decimal integer as typed: blanks before it, a sign, then digits, or "$"
// (or "0x") and hexadecimal digits. Nothing may follow. Out of range: none.
std::optional<int64_t> TextToInt64(std::string_view s);

// Float as typed: blanks around it, a sign, digits with one decimal
// separator (the given one), an optional exponent. At least one digit. A
// value beyond the extended range: none (an overflow is not a number).
std::optional<long double> TextToFloat(std::string_view s, char decimalSeparator);

// Blanks trimmed; thousands separators dropped when they differ from the
// decimal one; "." and "," turned into the decimal separator when they are
// neither separator; "" gives "0" and "-" gives "-0".
std::string NormalizeNumberText(std::string_view s, const TNumberSeparators& seps);

// Fixed point: the value taken to `precision` significant digits, written
// with `digits` decimals; beyond 10^precision the general format.
std::string FormatFixed(long double v, int precision, int digits, char decimalSeparator);

// General format: the shortest of fixed and scientific ("1.5", "1E20") with
// at most `precision` significant digits.
std::string FormatGeneral(long double v, int precision, char decimalSeparator);

// A number-format pattern: "0" a required digit, "#" an optional digit, the
// first "." the place of the decimal separator, a "," anywhere turns on
// grouping by three. Other text before and after the digits is copied
// ("..." and '...' quotes removed).
std::string FormatFloatPattern(long double v, std::string_view pattern, const TNumberSeparators& seps);

// Upper-case hexadecimal of the value's 64-bit two's complement, at least
// `digits` digits, no prefix.
std::string IntToHex(int64_t v, int digits = 1);

}  // namespace qv::controls
