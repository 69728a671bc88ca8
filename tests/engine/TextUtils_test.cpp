// Tests of engine/TextUtils.h: padding, plurals, path pieces, accent
// folding over the whole Latin-1 range, case tables, forbidden characters.
#include "engine/TextUtils.h"

#include <gtest/gtest.h>

#include <string>

using namespace qv::engine;

TEST(TextUtils, PluralsAndPadding) {
  EXPECT_EQ(PluralSuffix(" fichier", 0), " fichier");
  EXPECT_EQ(PluralSuffix(" fichier", 1), " fichier");
  EXPECT_EQ(PluralSuffix(" fichier", 2), " fichiers");
  EXPECT_EQ(PluralSuffix(" octet", 5000000000LL), " octets");
  EXPECT_EQ(PluralSuffix("", 5), "");
  EXPECT_EQ(PadLeft("abc", 2, ' '), "abc");
  EXPECT_EQ(PadLeft("abc", 5, '_'), "__abc");
  EXPECT_EQ(PadLeft("", -3, 'x'), "");
  EXPECT_EQ(PadLeft("", 1000, 'x').size(), 255u);
  EXPECT_EQ(ZeroPad(7, 3), "007");
  EXPECT_EQ(ZeroPad(1234, 2), "1234");
  EXPECT_EQ(ZeroPad(0, 0), "0");
}

TEST(TextUtils, PathPieces) {
  EXPECT_EQ(StripTrailingBackslashes("C:\\a\\\\\\"), "C:\\a");
  EXPECT_EQ(StripTrailingBackslashes("\\\\"), "");
  EXPECT_EQ(AddTrailingBackslash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(AddTrailingBackslash(""), "\\");
  EXPECT_EQ(ExtractFolderName("C:\\Photos\\Paris\\"), "Paris");
  EXPECT_EQ(ExtractFolderName("C:\\"), "C");
  EXPECT_EQ(ExtractFolderName("C:"), "C");
  EXPECT_EQ(ExtractFolderName(""), "");
  EXPECT_EQ(ExtractFolderName("Photos"), "Photos");
  EXPECT_EQ(LastPathComponent("a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(LastPathComponent("a\\b\\"), "");
  EXPECT_EQ(LastPathComponent("abc"), "abc");
  EXPECT_EQ(EncodeSpaces("a b c"), "a%20b%20c");
  EXPECT_EQ(EncodeSpaces("  "), "%20%20");
}

// The whole 8-bit range through FoldAccents: exactly the accent table's
// changes, every other byte stays.
TEST(TextUtils, FoldAccentsWholeRange) {
  std::string expected(256, '\0');
  for (int c = 0; c < 256; ++c) expected[c] = static_cast<char>(c);
  auto set = [&](int from, int to, char plain) {
    for (int c = from; c <= to; ++c) expected[c] = plain;
  };
  set(192, 197, 'A'); set(199, 199, 'C'); set(200, 203, 'E'); set(204, 207, 'I');
  set(209, 209, 'N'); set(210, 214, 'O'); set(217, 220, 'U'); set(221, 221, 'Y');
  set(159, 159, 'Y'); set(138, 138, 'S'); set(142, 142, 'Z');
  set(224, 229, 'a'); set(231, 231, 'c'); set(232, 235, 'e'); set(236, 239, 'i');
  set(241, 241, 'n'); set(242, 246, 'o'); set(249, 252, 'u'); set(253, 253, 'y');
  set(255, 255, 'y'); set(154, 154, 's'); set(158, 158, 'z');
  std::string all(256, '\0');
  for (int c = 0; c < 256; ++c) all[c] = static_cast<char>(c);
  const std::string folded = FoldAccents(all);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(folded[c], expected[c]) << "code " << c;
  // Letters without a plain form stay: Æ æ Ø ø ß Ð ð Þ þ.
  EXPECT_EQ(FoldAccents("\xC6\xE6\xD8\xF8\xDF\xD0\xF0\xDE\xFE"), "\xC6\xE6\xD8\xF8\xDF\xD0\xF0\xDE\xFE");
}

TEST(TextUtils, FoldedCaseConversion) {
  // "élève où" / "ÉLÈVE"
  EXPECT_EQ(UpperCaseFolded("\xE9l\xE8ve o\xF9"), "ELEVE OU");
  EXPECT_EQ(LowerCaseFolded("\xC9L\xC8VE"), "eleve");
  // Á Ñ ó are outside the narrower table: unchanged, case kept.
  EXPECT_EQ(UpperCaseFolded("\xC1\xD1\xF3"), "\xC1\xD1\xF3");
  EXPECT_EQ(LowerCaseFolded("\xC1\xD1\xF3"), "\xC1\xD1\xF3");
  EXPECT_EQ(UpperCaseFolded("\xFF"), "Y");
  EXPECT_EQ(LowerCaseFolded("\xFF"), "y");
  // The whole range: the result of a table letter is ASCII, others change
  // only by the ASCII rule.
  for (int c = 128; c < 256; ++c) {
    const std::string s(1, static_cast<char>(c));
    const std::string up = UpperCaseFolded(s), low = LowerCaseFolded(s);
    if (up != s) {
      EXPECT_TRUE(up[0] >= 'A' && up[0] <= 'Z') << c;
    }
    if (low != s) {
      EXPECT_TRUE(low[0] >= 'a' && low[0] <= 'z') << c;
    }
  }
}

TEST(TextUtils, AnsiCaseTables) {
  EXPECT_EQ(AnsiUpperCase("\xE9t\xE9 \xE0 no\xEBl \x9C\xFF"), "\xC9T\xC9 \xC0 NO\xCBL \x8C\x9F");
  EXPECT_EQ(AnsiLowerCase("\xC9T\xC9 \xC0 NO\xCBL \x8C\x9F"), "\xE9t\xE9 \xE0 no\xEBl \x9C\xFF");
  // ß, µ and the multiplication / division signs have no other case.
  EXPECT_EQ(AnsiUpperCase("\xDF\xB5\xF7"), "\xDF\xB5\xF7");
  EXPECT_EQ(AnsiLowerCase("\xD7"), "\xD7");
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    // Lower and upper are inverse on the letters that change.
    if (AnsiUpperChar(ch) != ch) {
      EXPECT_EQ(AnsiLowerChar(AnsiUpperChar(ch)), ch) << c;
    }
    if (AnsiLowerChar(ch) != ch) {
      EXPECT_EQ(AnsiUpperChar(AnsiLowerChar(ch)), ch) << c;
    }
  }
  EXPECT_EQ(AsciiUpperCase("a\xE9z"), "A\xE9Z");
}

TEST(TextUtils, ForbiddenCharacters) {
  EXPECT_EQ(kForbiddenChars.size(), 9u);
  for (char c : std::string("\"*/:<>?\\|")) EXPECT_TRUE(IsForbiddenChar(c)) << c;
  EXPECT_FALSE(IsForbiddenChar('\0'));
  EXPECT_FALSE(IsForbiddenChar('-'));
  EXPECT_TRUE(HasForbiddenChar("a:b"));
  EXPECT_FALSE(HasForbiddenChar("a-b.txt"));
  EXPECT_EQ(RemoveForbiddenChars("\\a/b:c*"), "abc");
}
