#include "base/CodePage.h"

#include <gtest/gtest.h>

using namespace qv::base;

TEST(CodePage, Utf16ToCp1252MapsLatin1AndTheHighBlock) {
  EXPECT_EQ(Utf16ToCp1252(u"Caf\u00E9 \u00FF"), "Caf\xE9 \xFF");
  // cp1252's 0x80-0x9F block holds typographic characters, not C1 controls.
  EXPECT_EQ(Utf16ToCp1252(u"\u20AC\u2019\u0153\u0178\u2122"), "\x80\x92\x9C\x9F\x99");
  // C1 controls that cp1252 reuses have no cp1252 form; the undefined five
  // round-trip as Windows does.
  EXPECT_EQ(Utf16ToCp1252(u"\u0080\u0092\u0081\u009D"), "??\x81\x9D");
  // No cp1252 form: one '?' per character, a surrogate pair included.
  EXPECT_EQ(Utf16ToCp1252(u"\u0100\u65E5\U0001F600x"), "???x");
  EXPECT_EQ(Utf16ToCp1252(std::u16string{0xD800, u'a', 0xDC00}), "?a?");
}

TEST(CodePage, EveryCp1252ByteRoundTrips) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(one)), one) << b;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
  }
}

TEST(CodePage, Utf16BytesInBothOrders) {
  const uint8_t le[] = {'A', 0, 0xE9, 0, 0xAC, 0x20, 'z'};
  const uint8_t be[] = {0, 'A', 0, 0xE9, 0x20, 0xAC};
  EXPECT_EQ(Utf16BytesToCp1252(le, sizeof le, false), "A\xE9\x80");
  EXPECT_EQ(Utf16BytesToCp1252(be, sizeof be, true), "A\xE9\x80");
  const uint8_t pair[] = {0xD8, 0x3D, 0xDE, 0x00, 0, '!'};
  EXPECT_EQ(Utf16BytesToCp1252(pair, sizeof pair, true), "?!");
}

TEST(CodePage, Utf8Decoding) {
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\u20AC");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  // Invalid input: stray continuation, overlong, surrogate, truncated, too big.
  EXPECT_EQ(Utf8ToUtf16("\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80z"), u"\uFFFDz");
  EXPECT_EQ(Utf8ToCp1252("na\xC3\xAFve \xE2\x80\x93 \xE6\x97\xA5"), "na\xEFve \x96 ?");
}
