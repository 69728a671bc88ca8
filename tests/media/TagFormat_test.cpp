#include "media/TagFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace qv::media;

namespace {
std::string Le(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += char(b);
  return s;
}
std::string Fmt(TTagFormatter f, std::string_view text, std::string_view raw = {}) {
  return f({text, raw, ByteOrder::Little});
}
}  // namespace

TEST(TagFormat, DirectivesAreLocaleFree) {
  // A locale with a decimal comma must not leak into the texts.
  std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  EXPECT_EQ(FormatOneValue("%5.2f", 72), "72.00");
  EXPECT_EQ(FormatOneValue("F%0.1f", 2.8), "F2.8");
  EXPECT_EQ(FormatOneValue("%5.2f mm", 5.8), " 5.80 mm");
  EXPECT_EQ(FormatOneValue("%s mm", 0, "35.68"), "35.68 mm");
  EXPECT_EQ(FormatOneValue("%-6.1f|", 1.25), "1.2   |");
  EXPECT_EQ(FormatOneValue("%d items", 12.7), "12 items");
  EXPECT_EQ(FormatOneValue("100%% %f", 1.5), "100% 1.50");
  EXPECT_EQ(FormatOneValue("tail %", 1), "tail %");
  EXPECT_EQ(FixedText(-0.0, 2), "0.00");
  EXPECT_EQ(FixedText(1e300, 0).size(), 301u);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(TagFormat, ValuesByType) {
  const ByteOrder le = ByteOrder::Little, be = ByteOrder::Big;
  EXPECT_EQ(FormatTagValue(Le({6, 0}), 3, "1:Normal,6:Turned", "", le), "Turned");
  EXPECT_EQ(FormatTagValue(Le({7, 0, 0, 0}), 4, "1:Normal,6:Turned", "", le), "");  // not listed
  EXPECT_EQ(FormatTagValue(Le({0, 2}), 3, "1:Monochrome, 2:RGB, 6:YCbCr", "", be), "");  // "2" follows a space
  EXPECT_EQ(FormatTagValue(Le({72, 0, 0, 0, 1, 0, 0, 0}), 5, "", "%5.2f", le), "72.00");
  EXPECT_EQ(FormatTagValue(Le({0, 0, 0, 28, 0, 0, 0, 10}), 5, "", "F%0.1f", be), "F2.8");
  EXPECT_EQ(FormatTagValue(Le({1, 0, 2, 0, 3, 0}), 3, "", "", le), "1, 2, 3");
  EXPECT_EQ(FormatTagValue(Le({0xFF, 0xFF}), 8, "", "", le), "65535");  // 2-byte values stay positive
  EXPECT_EQ(FormatTagValue(Le({0xFF, 0xFF, 0xFF, 0xFF}), 9, "", "", le), "-1");
  EXPECT_EQ(FormatTagValue(Le({0, 0, 0x80, 0x3F}), 11, "", "", le), "-9999.99");
  EXPECT_EQ(FormatTagValue(Le({1, 2}), 0, "", "", le), "0");
  EXPECT_EQ(FormatTagValue(Le({1, 2}), 13, "", "", le), "0");
  EXPECT_EQ(FormatTagValue(std::string(300, '\1'), 1, "", "", le).size(), 128u * 3 - 2);  // 128 components
  EXPECT_DOUBLE_EQ(NumericTagValue(Le({0, 0, 0x80, 0x3F}), 11, le), 1.0);
  EXPECT_DOUBLE_EQ(NumericTagValue(Le({5, 0, 0, 0, 0, 0, 0, 0}), 5, le), 0.0);  // zero denominator
  EXPECT_DOUBLE_EQ(NumericTagValue(Le({1, 2, 3}), 2, le), 0.0);
}

TEST(TagFormat, DecodeListsAndRationals) {
  EXPECT_EQ(DecodeListLookup("0:Auto,1:Manual", " 1 "), "Manual");
  EXPECT_EQ(DecodeListLookup("0:Auto,1:Manual", "2"), "");
  EXPECT_EQ(DecodeListLookup("10:Ten,0:Zero", "0"), "Zero");
  EXPECT_DOUBLE_EQ(RationalValue("28/10"), 2.8);
  EXPECT_DOUBLE_EQ(RationalValue(" 5 1/2 "), 5.5);
  EXPECT_DOUBLE_EQ(RationalValue("-8/1"), -8);
  EXPECT_DOUBLE_EQ(RationalValue("12"), 0);
  EXPECT_DOUBLE_EQ(RationalValue("1/0"), 0);
  EXPECT_DOUBLE_EQ(RationalValue("a/b"), 0);
}

TEST(TagFormatters, ExposureTime) {
  EXPECT_EQ(Fmt(FormatExposureTime, "10/2000"), "1/200 sec");
  EXPECT_EQ(Fmt(FormatExposureTime, "1/3"), "1/3 sec");
  EXPECT_EQ(Fmt(FormatExposureTime, "0/0"), "0/0");
  EXPECT_EQ(Fmt(FormatExposureTime, "0/10"), "0/10");
  EXPECT_EQ(Fmt(FormatExposureTime, "1/100, 1/200"), "1/100, 1/200");
  EXPECT_EQ(Fmt(FormatExposureTime, "100"), "100");
  // A second or more used to give "1/0 sec".
  EXPECT_EQ(Fmt(FormatExposureTime, "2/1"), "2 sec");
  EXPECT_EQ(Fmt(FormatExposureTime, "15/10"), "1.5 sec");
  EXPECT_EQ(Fmt(FormatExposureTime, "1/1"), "1 sec");
  EXPECT_EQ(Fmt(FormatExposureTime, "300/10"), "30 sec");
}

TEST(TagFormatters, ShutterFlashComponents) {
  EXPECT_EQ(Fmt(FormatShutterSpeed, "8/1"), "0.0039 sec (1/256)");
  EXPECT_EQ(Fmt(FormatShutterSpeed, "-1/1"), "2.0000 sec");
  EXPECT_EQ(Fmt(FormatShutterSpeed, "10000/1").substr(0, 10), "0.0000 sec");  // no overflow
  EXPECT_EQ(Fmt(FormatFlash, "25"), "On, auto mode");
  EXPECT_EQ(Fmt(FormatFlash, "0"), "Off");
  EXPECT_EQ(Fmt(FormatFlash, "16"), "Off, surpressed");
  EXPECT_EQ(Fmt(FormatFlash, "79"), "On, strobe return, forced, red-eye reduction");
  EXPECT_EQ(Fmt(FormatFlash, "32"), "Off, no flash function");
  EXPECT_EQ(Fmt(FormatFlash, "1, 2"), "1, 2");
  EXPECT_EQ(Fmt(FormatComponentsConfiguration, "\"\x01\x02\x03\""), "YCbCr");
  EXPECT_EQ(Fmt(FormatComponentsConfiguration, "\"\x04\x05\x06\x07\""), "RGB");
  EXPECT_EQ(Fmt(FormatComponentsConfiguration, "\""), "");
}

TEST(TagFormatters, GpsCoordinatesAndTime) {
  EXPECT_EQ(Fmt(FormatGpsCoordinate, "48/1, 51/1, 2376/100"), "48\xB0" "51'23.76''");
  EXPECT_EQ(Fmt(FormatGpsCoordinate, "48/1, 5139/100, 0/1"), "48\xB0" "51'23.40''");
  // Decimal degrees used to lose their fraction ("49 0' 0.00''").
  EXPECT_EQ(Fmt(FormatGpsCoordinate, "488566/10000, 0/1, 0/1"), "48\xB0" "51'23.76''");
  EXPECT_EQ(Fmt(FormatGpsCoordinate, "2/1"), "2\xB0" "0'0.00''");
  EXPECT_EQ(Fmt(FormatGpsCoordinate, ""), "0\xB0" "0'0.00''");
  EXPECT_EQ(Fmt(FormatGpsTime, "8/1, 7/1, 6/1"), "8:7:6");
  EXPECT_EQ(Fmt(FormatGpsTime, "23/1, 59/1, 595/10"), "23:59:60");
}

TEST(TagFormatters, XpTextsAndUserComments) {
  // "Été €" in UTF-16LE, then a terminator and garbage.
  const std::string xp = Le({0xC9, 0, 't', 0, 0xE9, 0, ' ', 0, 0xAC, 0x20, 0x3A, 0x26, 0, 0, 'x', 0});
  EXPECT_EQ(Fmt(FormatXpText, "", xp), "\xC9t\xE9 \x80?");
  // Texts longer than 64 characters are kept whole.
  std::string longXp;
  for (int i = 0; i < 100; ++i) longXp += Le({'a' + i % 26, 0});
  EXPECT_EQ(Fmt(FormatXpText, "", longXp).size(), 100u);

  // The last character used to be dropped when no terminator followed.
  EXPECT_EQ(UserCommentText(std::string("ASCII\0\0\0Hello", 13), ByteOrder::Little), "Hello");
  EXPECT_EQ(UserCommentText(std::string("ASCII\0\0\0  Hello \0\0", 18), ByteOrder::Little), "Hello");
  EXPECT_EQ(UserCommentText(std::string("\0\0\0\0\0\0\0\0\0\0\0", 11), ByteOrder::Little), "");
  EXPECT_EQ(UserCommentText("UNICODE", ByteOrder::Little), "");
  EXPECT_EQ(UserCommentText(std::string("UNICODE\0\0C\0a\0f\0\xE9", 16), ByteOrder::Big), "Caf\xE9");
  EXPECT_EQ(UserCommentText(std::string("UNICODE\0C\0a\0f\0\xE9\0", 16), ByteOrder::Little), "Caf\xE9");
  EXPECT_EQ(UserCommentText(std::string("UNICODE\0\xFF\xFE" "C\0a\0", 14), ByteOrder::Big), "Ca");
}
