// Number text of the spin edit: rounding within the 64-bit range, integer,
// hexadecimal and float reading (an overflow is no number), and the three
// ways of writing a value.
#include "controls/edits/QxNumText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qv::controls;

namespace {
const TNumberSeparators kEnglish{'.', ','};
const TNumberSeparators kFrench{',', ' '};
}  // namespace

TEST(QxNumText, RoundsToEvenAndClampsToTheInt64RangeFirst) {
  EXPECT_EQ(RoundToInt64(0.5L), 0);
  EXPECT_EQ(RoundToInt64(1.5L), 2);
  EXPECT_EQ(RoundToInt64(2.5L), 2);
  EXPECT_EQ(RoundToInt64(-2.5L), -2);
  EXPECT_EQ(RoundToInt64(-3.7L), -4);
  // Beyond the range: the bound, never an undefined conversion.
  EXPECT_EQ(RoundToInt64(1e30L), INT64_MAX);
  EXPECT_EQ(RoundToInt64(-1e30L), INT64_MIN);
  EXPECT_EQ(RoundToInt64(9223372036854775807.0L), INT64_MAX);
  EXPECT_EQ(RoundToInt64(std::numeric_limits<long double>::infinity()), INT64_MAX);
  EXPECT_EQ(RoundToInt64(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST(QxNumText, ReadsIntegersAndRefusesOverflowAndJunk) {
  EXPECT_EQ(TextToInt64("42"), 42);
  EXPECT_EQ(TextToInt64("  -17"), -17);
  EXPECT_EQ(TextToInt64("+8"), 8);
  EXPECT_EQ(TextToInt64("$FF"), 255);
  EXPECT_EQ(TextToInt64("0x1f"), 31);
  EXPECT_EQ(TextToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(TextToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(TextToInt64("$FFFFFFFFFFFFFFFF"), -1);  // the 64-bit pattern
  for (const char* bad : {"", "-", "$", "12 ", "1.5", "9223372036854775808", "-9223372036854775809",
                          "99999999999999999999999", "$10000000000000000", "$G", "1e3"})
    EXPECT_FALSE(TextToInt64(bad).has_value()) << bad;
}

TEST(QxNumText, ReadsFloatsWithTheGivenSeparatorAndRefusesOverflow) {
  EXPECT_EQ(*TextToFloat("1.5", '.'), 1.5L);
  EXPECT_EQ(*TextToFloat(" -2,25 ", ','), -2.25L);
  EXPECT_EQ(*TextToFloat(".5", '.'), 0.5L);
  EXPECT_EQ(*TextToFloat("3e2", '.'), 300.0L);
  EXPECT_EQ(*TextToFloat("1E-2", '.'), 0.01L);
  EXPECT_EQ(*TextToFloat("1e-99999", '.'), 0.0L);  // underflow reads as 0
  for (const char* bad : {"", ".", "1.5.2", "1,5", "e3", "1e", "1e+", "FF", "1e99999", "-1e5000", "1 000"})
    EXPECT_FALSE(TextToFloat(bad, '.').has_value()) << bad;
}

TEST(QxNumText, NormalizesTypedNumbers) {
  EXPECT_EQ(NormalizeNumberText("  1 234,5 ", kFrench), "1234,5");
  EXPECT_EQ(NormalizeNumberText("1.5", kFrench), "1,5");
  EXPECT_EQ(NormalizeNumberText("1,234.5", kEnglish), "1234.5");
  EXPECT_EQ(NormalizeNumberText("", kEnglish), "0");
  EXPECT_EQ(NormalizeNumberText("-", kEnglish), "-0");
  // Equal separators: nothing is dropped.
  EXPECT_EQ(NormalizeNumberText("1.5", TNumberSeparators{'.', '.'}), "1.5");
}

TEST(QxNumText, WritesFixedGeneralAndPatternFormats) {
  EXPECT_EQ(FormatFixed(1234.5L, 15, 2, '.'), "1234.50");
  EXPECT_EQ(FormatFixed(-0.001L, 15, 2, ','), "0,00");
  EXPECT_EQ(FormatFixed(2.0L / 3.0L, 15, 0, '.'), "1");
  EXPECT_EQ(FormatFixed(0.1L + 0.2L, 15, 17, '.'), "0.30000000000000000");  // 15 significant digits
  EXPECT_EQ(FormatFixed(1e20L, 15, 2, '.'), "1E20");

  EXPECT_EQ(FormatGeneral(0, 15, '.'), "0");
  EXPECT_EQ(FormatGeneral(10, 15, '.'), "10");
  EXPECT_EQ(FormatGeneral(-1.5L, 15, ','), "-1,5");
  EXPECT_EQ(FormatGeneral(1e-7L, 15, '.'), "1E-7");
  EXPECT_EQ(FormatGeneral(123456789012345678.0L, 15, '.'), "1.23456789012346E17");

  EXPECT_EQ(FormatFloatPattern(1234.5L, ",0.00", kFrench), "1 234,50");
  EXPECT_EQ(FormatFloatPattern(1234.5L, ",0.##", kEnglish), "1,234.5");
  EXPECT_EQ(FormatFloatPattern(1234.0L, "0.##", kEnglish), "1234");
  EXPECT_EQ(FormatFloatPattern(0.5L, "#.##", kEnglish), ".5");
  EXPECT_EQ(FormatFloatPattern(7, "000", kEnglish), "007");
  EXPECT_EQ(FormatFloatPattern(-5, "'EUR '0.00", kEnglish), "-EUR 5.00");
  EXPECT_EQ(FormatFloatPattern(-0.001L, "0.00", kEnglish), "0.00");
  EXPECT_EQ(FormatFloatPattern(1234567.891L, "#,##0.0", kEnglish), "1,234,567.9");

  EXPECT_EQ(IntToHex(255), "FF");
  EXPECT_EQ(IntToHex(0), "0");
  EXPECT_EQ(IntToHex(10, 4), "000A");
  EXPECT_EQ(IntToHex(-1), "FFFFFFFFFFFFFFFF");
}
