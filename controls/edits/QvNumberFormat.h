// The number texts of the validating edit's display: fixed (f), number with
// thousands separators (n), general (g), scientific (e) and currency (m),
// each with a precision, in the separators and currency layout given (the
// locale's, read by the caller). Exponents are written "E+ddd" at least
// three digits long; general switches to it for exponents at or above the
// precision or below -5.
// Example:  FormatNumber(1234.5, 2, s) == "1,234.50" (s: '.' and ',')
// Tested by tests/controls/edits/QvNumberFormat_test.cpp.
#pragma once

#include <string>

#include "support/QcSysUtils.h"

namespace qv::controls {

std::string FormatFixed(double v, int places, const TQcLocaleSettings& s);
std::string FormatNumber(double v, int places, const TQcLocaleSettings& s);
// precision: significant digits (1 when below 1, 18 at most).
std::string FormatGeneral(double v, int precision, const TQcLocaleSettings& s);
std::string FormatScientific(double v, int precision, const TQcLocaleSettings& s);
// The currency string placed by CurrencyFormat (0 "$1", 1 "1$", 2 "$ 1",
// 3 "1 $") or, for a negative value, by NegCurrFormat (0 "($1)" to 15 "(1 $)").
std::string FormatCurrency(double v, int places, const TQcLocaleSettings& s);

}  // namespace qv::controls
