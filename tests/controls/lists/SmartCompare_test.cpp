// The list's cell comparisons: dates, numbers and locale text, in the
// program's conventions ("/" and ":" dates, French numbers).
#include "controls/lists/SmartCompare.h"

#include <gtest/gtest.h>

using namespace qv::controls;

namespace {
TCompareSettings French() {
  TCompareSettings s;
  s.ThousandSeparator = " ";
  s.DecimalSeparator = ',';
  return s;
}
}  // namespace

TEST(SmartCompare, NumbersCompareByValue) {
  const auto s = French();
  EXPECT_GT(CompareCellsSmart("10", "9", s), 0);
  EXPECT_LT(CompareCellsSmart("-3", "2", s), 0);
  EXPECT_EQ(CompareCellsSmart("1.50", "1.5", s), 0);
  EXPECT_LT(CompareCellsSmart("2,5", "10", s), 0);  // decimal comma
  EXPECT_LT(CompareCellsSmart("1e2", "101", s), 0);
  // Only the part before the first blank counts: "1 200,5" is 1.
  EXPECT_EQ(CellAsNumber("1 200,5", s), 1.0);
  EXPECT_LT(CompareCellsSmart("1 200,5", "2", s), 0);
  EXPECT_EQ(CellAsNumber("12 Ko", s), 12.0);
  EXPECT_EQ(CellAsNumber("1\xA0" "200", [] { auto f = French(); f.ThousandSeparator = "\xA0"; return f; }()), 1200.0);
}

TEST(SmartCompare, DatesAndTimesCompareAsDates) {
  const auto s = French();
  EXPECT_GT(CompareCellsSmart("12/03/2004", "01/01/1999", s), 0);
  EXPECT_LT(CompareCellsSmart("02/01/2004", "01/02/2004", s), 0);  // day first
  EXPECT_LT(CompareCellsSmart("9:15", "10:30", s), 0);
  EXPECT_LT(CompareCellsSmart("01/01/2004 23:00:00", "02/01/2004 01:00:00", s), 0);
  EXPECT_GT(CompareCellsSmart("01/01/2004 10:00:01", "01/01/2004 10:00:00", s), 0);
}

TEST(SmartCompare, TextThatOnlyLooksLikeADateFallsBackToNumberThenText) {
  const auto s = French();
  // The only separator is the last character: tried as a date, fails.
  EXPECT_FALSE(CellAsDate("12/", s).has_value());
  EXPECT_FALSE(CellAsNumber("12/", s).has_value());
  EXPECT_FALSE(CellAsDate("31/02/2004", s).has_value());
  // A leading separator starts no date, whatever follows.
  EXPECT_FALSE(CellAsDate("/01/2004", s).has_value());
  EXPECT_FALSE(CellAsDate("/01/2004 10:00", s).has_value());
  EXPECT_EQ(CompareCellsSmart("/2", "/10", s), CompareCellText("/2", "/10"));
  // One separator inside: not a date.
  EXPECT_FALSE(CellAsDate("1/2", s).has_value());
  // A word against a number compares as text.
  EXPECT_EQ(CompareCellsSmart("abc", "10", s), CompareCellText("abc", "10"));
  EXPECT_GT(CompareCellsSmart("b", "A", s), 0);
}

TEST(SmartCompare, TypedComparisonsCountNonValuesAsZero) {
  const auto s = French();
  EXPECT_LT(CompareCellsAsNumbers("abc", "1", s), 0);
  EXPECT_EQ(CompareCellsAsNumbers("abc", "0", s), 0);
  EXPECT_GT(CompareCellsAsDates("01/01/1900", "junk", s), 0);
}

TEST(SmartCompare, TypeAheadPrefixIgnoresCase) {
  EXPECT_TRUE(CellStartsWith("Photo.jpg", "ph"));
  EXPECT_TRUE(CellStartsWith("\xC9t\xE9.txt", "\xE9t"));  // "Été" found by "ét"
  EXPECT_FALSE(CellStartsWith("Photo.jpg", "pt"));
  EXPECT_FALSE(CellStartsWith("ab", "abc"));
  EXPECT_TRUE(CellStartsWith("x", ""));
}
