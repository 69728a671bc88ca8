// Tests of engine/FileNameRules.h: the names the system refuses or alters,
// and case-insensitive keys over cp1252 and UTF-16 names.
#include "engine/FileNameRules.h"

#include <gtest/gtest.h>

using namespace qv::engine;

TEST(FileNameRules, Validity) {
  const struct {
    std::string name;
    bool valid;
  } cases[] = {
      {"photo.jpg", true},       {"", false},           {"a", true},
      {std::string(255, 'x'), true}, {std::string(256, 'x'), false},
      {"CON", false},            {"con.txt", false},    {"Con.tar.gz", false},
      {"CON .txt", false},       {"PRN.jpg", false},    {"aux", false},
      {"NUL.", false},           {"COM1.log", false},   {"lpt9", false},
      {"COM0", true},            {"COM10", true},       {"LPT\xB9.txt", false},
      {"CONSOLE.txt", true},     {"icon.txt", true},    {"x.con", true},
      {"a.", false},             {"a ", false},         {"...", false},
      {" a", true},              {".profile", true},    {"a\tb", false},
      {"a\x1F", false},          {"a\x7F", true},       {"\xE9t\xE9.txt", true},
      {"a:b", false},            {"a?b", false},        {"a/b", false},
      {"a\\b", false},           {"a|b", false},        {"a\"b", false},
      {"a<b>", false},           {"a*", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidFileName(c.name), c.valid) << c.name;
}

TEST(FileNameRules, CaseInsensitiveKeys) {
  EXPECT_EQ(FileNameKey("\xE9t\xE9 Photo.jpg"), "\xC9T\xC9 PHOTO.JPG");
  EXPECT_EQ(FileNameKey("\xFF\x9A\x9C\x9E"), "\x9F\x8A\x8C\x8E");  // ÿ š œ ž
  EXPECT_EQ(FileNameKey("\xDF\xB5"), "\xDF\xB5");                  // ß µ have no capital here
  EXPECT_TRUE(SameFileName(u"\u00E9t\u00E9.JPG", u"\u00C9T\u00C9.jpg"));
  EXPECT_TRUE(SameFileName(u"\u00FF\u0161", u"\u0178\u0160"));
  EXPECT_FALSE(SameFileName(u"a.txt", u"b.txt"));
  EXPECT_FALSE(SameFileName(u"a.txt", u"a.txt "));
  EXPECT_FALSE(SameFileName(u"\u00F7", u"\u00D7"));  // division and multiplication signs
  EXPECT_EQ(FileNameKey(u"\u0416a"), u"\u0416A");
}
