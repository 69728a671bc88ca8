// Prefix and suffix removal, repeated characters and the string builder's
// growth and ceiling.
#include "controls/status/QcStrings.h"

#include <gtest/gtest.h>

#include "controls/status/QcErrors.h"

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

}  // namespace
}  // namespace qv::controls
