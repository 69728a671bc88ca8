// Prefix and suffix removal, repeated characters, the string builder's
// growth and ceiling, the ANSI character tables and locale comparison.
#include "support/QcStrings.h"

#include <gtest/gtest.h>

#include "services/QxStrUtils.h"
#include "support/QcErrors.h"
#include "support/QcUnicode.h"

namespace qv::controls {
namespace {

TEST(QcStrings, PrefixAndSuffix) {
  EXPECT_EQ(StrRemovePrefix("Qv", "QvEdit"), "Edit");
  EXPECT_EQ(StrRemovePrefix("Qv", "Edit"), "Edit");
  EXPECT_EQ(StrRemovePrefix("QvEditLong", "QvEdit"), "QvEdit");
  EXPECT_EQ(StrRemovePrefix("", "abc"), "abc");
  EXPECT_EQ(StrRemoveSuffix(".txt", "rapport.txt"), "rapport");
  EXPECT_EQ(StrRemoveSuffix(".txt", "rapport.doc"), "rapport.doc");
  EXPECT_EQ(StrRemoveSuffix("", "rapport"), "rapport");
  EXPECT_EQ(StrRemoveSuffix("rapport", "rapport"), "");
  EXPECT_EQ(StrRemoveSuffix("xrapport", "rapport"), "rapport");
}

TEST(QcStrings, RepeatChar) {
  EXPECT_EQ(RepeatChar('0', 3), "000");
  EXPECT_EQ(RepeatChar('é', 1), "é");
  EXPECT_EQ(RepeatChar('x', 0), "");
  EXPECT_EQ(RepeatChar('x', -5), "");
}

TEST(QcStrings, BuilderAppendsRepeatsAndGrows) {
  TQcStringBuilder b(4, 1000);
  EXPECT_EQ(b.ToString(), "");
  b.Append("ab", 2, 3);
  EXPECT_EQ(b.ToString(), "ababab");
  EXPECT_EQ(b.Length(), 6);
  EXPECT_GE(b.Capacity(), 6);
  b.Append('c');
  b.Append(std::string_view("de"));
  EXPECT_EQ(b.ToString(), "abababcde");
  b.Append("zz", 0, 5);
  b.Append("zz", 2, 0);
  b.Append("zz", -1, 1);
  EXPECT_EQ(b.Length(), 9);
  // Growth: capacity * 5 / 3 + count.
  TQcStringBuilder g(3, 1000);
  g.Append("abc", 3);
  EXPECT_EQ(g.Capacity(), 3);
  g.Append('d');
  EXPECT_EQ(g.Capacity(), 3 * 5 / 3 + 1);
}

TEST(QcStrings, BuilderCeilingCountsTheTextNotTheCapacity) {
  // A builder whose capacity is already its maximum still takes text up to
  // that maximum; only text beyond it is refused, and refused whole.
  TQcStringBuilder b(8, 8);
  b.Append("abcd", 4);
  b.Append("efgh", 4);
  EXPECT_EQ(b.ToString(), "abcdefgh");
  EXPECT_THROW(b.Append('i'), ArgumentOutOfRangeException);
  EXPECT_EQ(b.ToString(), "abcdefgh");

  TQcStringBuilder r(2, 10);
  r.Append("abc", 3, 3);
  EXPECT_THROW(r.Append("xy", 2, 1), ArgumentOutOfRangeException);  // 11 > 10
  EXPECT_EQ(r.ToString(), "abcabcabc");
  r.Append('z');
  EXPECT_EQ(r.Length(), 10);
  EXPECT_LE(r.Capacity(), 10);  // growth never passes the maximum
  try {
    r.Append('!');
  } catch (const EQcError& e) {
    EXPECT_STREQ(e.what(), "Argument out of range");
  }
}

TEST(QcStrings, BuilderHugeRepeatIsRefusedWithoutWrapping) {
  TQcStringBuilder b;
  EXPECT_EQ(b.MaxCapacity(), 2147483647);
  EXPECT_THROW(b.Append("abcd", 1 << 20, 1 << 12), ArgumentOutOfRangeException);
  EXPECT_EQ(b.Length(), 0);
}

TEST(QcStrings, AnsiCharacterTablesOfTheWesternCodePage) {
  EXPECT_EQ(AnsiCharLower('A'), 'a');
  EXPECT_EQ(AnsiCharUpper('z'), 'Z');
  EXPECT_EQ(AnsiCharLower('É'), 'é');
  EXPECT_EQ(AnsiCharUpper('ç'), 'Ç');
  EXPECT_EQ(AnsiCharSwapCase('a'), 'A');
  EXPECT_EQ(AnsiCharSwapCase('Ê'), 'ê');
  EXPECT_EQ(AnsiCharSwapCase('5'), '5');
  EXPECT_EQ(AnsiCharSwapCase('-'), '-');
  EXPECT_EQ(AnsiCharSwapCase('\0'), '\0');
  EXPECT_TRUE(AnsiCharClass('5') & C1_DIGIT);
  EXPECT_TRUE(AnsiCharClass('é') & C1_LOWER);
  EXPECT_TRUE(AnsiCharClass('é') & C1_ALPHA);
  EXPECT_TRUE(AnsiCharClass('Ö') & C1_UPPER);
  EXPECT_TRUE(AnsiCharClass(' ') & C1_SPACE);
  EXPECT_FALSE(AnsiCharClass(';') & (C1_UPPER | C1_LOWER));
  // Swapping twice gives every letter back.
  for (int i = 1; i < 256; ++i) {
    const char c = static_cast<char>(i);
    if (AnsiCharSwapCase(AnsiCharSwapCase(c)) != c) {
      // Letters whose other case lies outside the code page keep their case.
      EXPECT_EQ(AnsiCharSwapCase(c), c) << i;
    }
  }
}

TEST(QcStrings, LocaleComparisonIgnoresCaseBothWays) {
  const LCID fr = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
  for (auto compare : {&detail::CompareTextWide, &detail::CompareTextAnsi}) {
    EXPECT_EQ(compare(fr, L"\u00C9cole", L"\u00E9COLE"), 0);
    EXPECT_LT(compare(fr, L"abc", L"ABD"), 0);
    EXPECT_GT(compare(fr, L"b", L"A"), 0);
    EXPECT_LT(compare(fr, L"", L"a"), 0);
    EXPECT_EQ(compare(fr, L"", L""), 0);
  }
  EXPECT_EQ(CompareTextLocale(fr, L"Dupont", L"DUPONT"), 0);
  EXPECT_EQ(detail::LocaleAnsiCodePage(fr), 1252u);
  EXPECT_EQ(detail::LocaleAnsiCodePage(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)), 1251u);
  // A comparison the system refuses answers -2, apart from every order.
  const LCID none = 0x7FFF0000;
  ASSERT_EQ(CompareStringW(none, NORM_IGNORECASE, L"a", 1, L"b", 1), 0);
  for (auto compare : {&detail::CompareTextWide, &detail::CompareTextAnsi}) {
    EXPECT_EQ(compare(none, L"a", L"b"), -2);
    EXPECT_EQ(compare(none, L"a", L"a"), -2);
  }
  EXPECT_EQ(CompareTextLocale(none, L"a", L"b"), -2);
}

}  // namespace
}  // namespace qv::controls
