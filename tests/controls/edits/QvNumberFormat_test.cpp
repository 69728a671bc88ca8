// The validating edit's display texts, with pinned separators: fixed,
// number with thousands, general, scientific and every currency layout.
#include "controls/edits/QvNumberFormat.h"

#include <gtest/gtest.h>

using namespace qv::controls;

namespace {

TQcLocaleSettings Us() {
  TQcLocaleSettings s;
  s.DecimalSeparator = '.';
  s.ThousandSeparator = ',';
  s.CurrencyString = "$";
  return s;
}

TQcLocaleSettings French() {
  TQcLocaleSettings s;
  s.DecimalSeparator = ',';
  s.ThousandSeparator = ' ';
  s.CurrencyString = "€";
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  return s;
}

}  // namespace

TEST(QvNumberFormat, FixedAndNumber) {
  EXPECT_EQ(FormatFixed(1234.567, 2, Us()), "1234.57");
  EXPECT_EQ(FormatNumber(1234.567, 2, Us()), "1,234.57");
  EXPECT_EQ(FormatNumber(-1234567, 0, Us()), "-1,234,567");
  EXPECT_EQ(FormatNumber(999, 1, Us()), "999.0");
  EXPECT_EQ(FormatNumber(1234.5, 2, French()), "1 234,50");
}

TEST(QvNumberFormat, GeneralAndScientific) {
  EXPECT_EQ(FormatGeneral(1.5, 15, Us()), "1.5");
  EXPECT_EQ(FormatGeneral(100, 15, Us()), "100");
  EXPECT_EQ(FormatGeneral(0.1, 15, Us()), "0.1");
  EXPECT_EQ(FormatGeneral(1234.5678, 3, Us()), "1.23E+003");
  EXPECT_EQ(FormatGeneral(0.0000012, 15, Us()), "1.2E-006");
  EXPECT_EQ(FormatGeneral(-2.5, 15, French()), "-2,5");
  EXPECT_EQ(FormatScientific(1234.5, 3, Us()), "1.23E+003");
  EXPECT_EQ(FormatScientific(-0.5, 2, French()), "-5,0E-001");
}

TEST(QvNumberFormat, CurrencyLayouts) {
  TQcLocaleSettings s = Us();
  const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  for (int f = 0; f < 4; ++f) {
    s.CurrencyFormat = static_cast<uint8_t>(f);
    EXPECT_EQ(FormatCurrency(1.5, 2, s), positive[f]) << f;
  }
  const char* negative[] = {"($1.50)", "-$1.50", "$-1.50", "$1.50-", "(1.50$)", "-1.50$", "1.50-$", "1.50$-",
                            "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-", "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  for (int f = 0; f < 16; ++f) {
    s.NegCurrFormat = static_cast<uint8_t>(f);
    EXPECT_EQ(FormatCurrency(-1.5, 2, s), negative[f]) << f;
  }
  EXPECT_EQ(FormatCurrency(-1234.5, 2, French()), "-1 234,50 €");
  // A value that rounds to zero carries no sign.
  EXPECT_EQ(FormatCurrency(-0.001, 2, Us()), "$0.00");
}
