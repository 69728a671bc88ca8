// The list view's cell comparisons: the "smart" one that recognises dates
// and numbers before falling back to the locale's case-sensitive text
// order, and the typed ones a sort handler may ask for (text, number,
// date). Dates follow the program's separators ("/" and ":"), numbers the
// locale's thousand and decimal separators.
// Tested by tests/controls/lists/SmartCompare_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/DateTime.h"

namespace qv::controls {

struct TCompareSettings {
  engine::TFormatSettings Dates = engine::DefaultFormatSettings();
  std::string ThousandSeparator = " ";
  char DecimalSeparator = ',';
  // The user locale's number separators (dates keep "/" and ":").
  static TCompareSettings FromUserLocale();
};

// The settings every list view uses unless told otherwise (taken from the
// user locale on first use).
TCompareSettings& DefaultCompareSettings();

// A date, a time or both, when the text looks like one (a date separator
// not at the end followed by a second one, a separator that is the last
// character, or a time separator) and converts.
std::optional<double> CellAsDate(std::string_view text, const TCompareSettings& s);
// The part before the first blank as a decimal real ("1 200,5" gives 1),
// tried as is and then with thousand separators removed and the decimal
// separator read as ".".
std::optional<double> CellAsNumber(std::string_view text, const TCompareSettings& s);

// -1, 0 or 1.
int CompareCellText(std::string_view a, std::string_view b);  // locale, case-sensitive
int CompareCellsSmart(std::string_view a, std::string_view b, const TCompareSettings& s);
int CompareCellsAsNumbers(std::string_view a, std::string_view b, const TCompareSettings& s);
int CompareCellsAsDates(std::string_view a, std::string_view b, const TCompareSettings& s);

// Locale-aware, case-insensitive prefix test (type-ahead).
bool CellStartsWith(std::string_view cell, std::string_view prefix);

}  // namespace qv::controls
