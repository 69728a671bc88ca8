// The edits' number-text routines: base digits both ways, the tolerant
// number and currency readers (separators given, as a locale would), the
// four-digit year, and the padding.
#include "support/QvQCLUtils.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/QvExceptions.h"

using namespace qv::controls;

TEST(QvQCLUtils, BaseTextBothWays) {
  EXPECT_EQ(IntToBaseText(0, 2), "0");
  EXPECT_EQ(IntToBaseText(255, 16), "FF");
  EXPECT_EQ(IntToBaseText(255, 16, 4), "00FF");
  EXPECT_EQ(IntToBaseText(8, 8), "10");
  EXPECT_EQ(IntToBaseText(35, 36), "Z");
  // Only the low 32 bits count, unsigned.
  EXPECT_EQ(IntToBaseText(-1, 16), "FFFFFFFF");
  EXPECT_EQ(IntToBaseText(0x100000001LL, 10), "1");
  EXPECT_EQ(BaseTextToInt("ff", 16), 255);
  EXPECT_EQ(BaseTextToInt("101", 2), 5);
  EXPECT_EQ(BaseTextToInt("", 8), 0);
  // Characters are not checked: each counts by its code.
  EXPECT_EQ(BaseTextToInt("2", 2), 2);
  EXPECT_EQ(BaseTextToInt("G", 16), 16);
}

TEST(QvQCLUtils, BaseOutsideTwoToThirtySixIsRefusedWithItsText) {
  try {
    IntToBaseText(1, 37);
    FAIL();
  } catch (const EQVLException& e) {
    EXPECT_STREQ(e.what(), "Base > 36 not supported");
  }
  try {
    BaseTextToInt("1", 1);
    FAIL();
  } catch (const EQVLException& e) {
    EXPECT_STREQ(e.what(), "Base must be greater than 1");
  }
}

TEST(QvQCLUtils, TolerantNumberReader) {
  using detail::ReadNumberTolerant;
  // System separators: '.' decimal (thousands dropped with the rest).
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("1,234.5", ' ', 0, '.'), 1234.5);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("-", ' ', 7, '.'), 0);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("3.", ' ', 7, '.'), 3);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("1 234,5", ',', 0, '.'), 1234.5);
  // A '.' stands for the separator when the text has no other.
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("2.25", ',', 0, ','), 2.25);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("abc1e3xyz", '.', 0, '.'), 1000);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("", '.', 9, '.'), 9);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("1-2", '.', 9, '.'), 9);
  EXPECT_DOUBLE_EQ(ReadNumberTolerant("1e999", '.', 9, '.'), 9);
  EXPECT_FALSE(std::signbit(ReadNumberTolerant("-0", '.', 9, '.')));
}

TEST(QvQCLUtils, TolerantCurrencyReaderRoundsHalfToEven) {
  using detail::ReadCurrencyTolerant;
  EXPECT_EQ(ReadCurrencyTolerant("$1,234.5", {}, '.').Scaled, 12345000);
  EXPECT_EQ(ReadCurrencyTolerant("0.00005", {}, '.').Scaled, 0);
  EXPECT_EQ(ReadCurrencyTolerant("0.00015", {}, '.').Scaled, 2);
  EXPECT_EQ(ReadCurrencyTolerant("0.000051", {}, '.').Scaled, 1);
  EXPECT_EQ(ReadCurrencyTolerant("-2,5", {}, ',').Scaled, -25000);
  EXPECT_EQ(ReadCurrencyTolerant("x", TCurrency::FromScaled(7), '.').Scaled, 7);
  EXPECT_EQ(ReadCurrencyTolerant("1.2.3", {}, '.').Scaled, 0);
  EXPECT_EQ(ReadCurrencyTolerant("99999999999999999999", {}, '.').Scaled, 0);
}

TEST(QvQCLUtils, FourDigitYears) {
  EXPECT_EQ(MakeYear4Digit(49, 50), 2049);
  EXPECT_EQ(MakeYear4Digit(50, 50), 1950);
  EXPECT_EQ(MakeYear4Digit(1999, 50), 1999);
  EXPECT_EQ(MakeYear4Digit(100, 50), 2000);
  EXPECT_EQ(MakeYear4Digit(10, 2000), 2010);
  EXPECT_EQ(MakeYear4Digit(99, 2000), 2099);
  EXPECT_THROW(MakeYear4Digit(10, -1), EQVLException);
}

TEST(QvQCLUtils, PadLeft) {
  EXPECT_EQ(PadLeftWith('0', "7", 3), "007");
  EXPECT_EQ(PadLeftWith('0', "1234", 3), "1234");
  EXPECT_EQ(PadLeftWith('*', "", 2), "**");
}
