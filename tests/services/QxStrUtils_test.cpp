// String and character-set routines: the boundary cases the controls meet.
#include "services/QxStrUtils.h"

#include <gtest/gtest.h>

using namespace qv::controls;

TEST(QxStrUtils, ReplaceAllNeverSearchesReplacedText) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("xyz", "q", "r"), "xyz");
  EXPECT_EQ(ReplaceAll("xyz", "", "r"), "xyz");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("a.b.c", ".", ""), "abc");
}

TEST(QxStrUtils, TrimsBlanksOnlyAndRemovesCharacters) {
  EXPECT_EQ(TrimSpaces("  \tab c\t  "), "\tab c\t");
  EXPECT_EQ(TrimLeadingSpaces("  a  "), "a  ");
  EXPECT_EQ(TrimTrailingSpaces("  a  "), "  a");
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(RemoveChar("a,b,,c", ','), "abc");
  EXPECT_EQ(RepeatChar('0', 3), "000");
  EXPECT_EQ(RepeatChar('0', 0), "");
  EXPECT_EQ(RepeatChar('0', -5), "");
}

TEST(QxStrUtils, CharacterSetsUseTheUnsignedCode) {
  const TCharSet accents = MakeCharSet("\xE9\xE8");
  EXPECT_TRUE(SetHasChar('\xE9', accents));
  EXPECT_FALSE(SetHasChar('e', accents));
  EXPECT_TRUE(AllCharsIn("", accents));
  EXPECT_TRUE(AllCharsIn("\xE9\xE8\xE9", accents));
  EXPECT_FALSE(AllCharsIn("\xE9x", accents));
}

TEST(QxStrUtils, WordsAreRunsOutsideTheDelimiters) {
  const TCharSet blank = MakeCharSet(" ");
  const std::string s = " ab  cd";
  EXPECT_EQ(NthWordStart(1, s, blank), 2);
  EXPECT_EQ(NthWordStart(2, s, blank), 6);
  EXPECT_EQ(NthWord(2, s, blank), "cd");
  EXPECT_EQ(NthWordStart(3, s, blank), 0);
  EXPECT_EQ(NthWord(3, s, blank), "");
  EXPECT_EQ(NthWordStart(0, s, blank), 0);
  const TCharSet commas = MakeCharSet(" ,");
  EXPECT_EQ(NthWord(4, "10,20, 410 ,320", commas), "320");
  EXPECT_EQ(NthWord(1, "", commas), "");
}

TEST(QxStrUtils, IntegerMaximumAndMinimum) {
  EXPECT_EQ(IntMax(-3, 2), 2);
  EXPECT_EQ(IntMin(-3, 2), -3);
  EXPECT_EQ(IntMax(INT32_MIN, INT32_MAX), INT32_MAX);
}
