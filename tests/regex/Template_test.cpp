// Substitution: replace-all and template expansion.
#include <gtest/gtest.h>

#include "regex/RegexEngine.h"

namespace qv::regex {
namespace {

TEST(Template, ReplaceAll) {
  EXPECT_EQ(RegexReplaceAll("o", "foo", "0", true), "f00");
  EXPECT_EQ(RegexReplaceAll("z", "foo", "0", true), "foo");
  EXPECT_EQ(RegexReplaceAll("x*", "abc", "-", true), "-a-b-c-");
  EXPECT_EQ(RegexReplaceAll("(b+)", "abbc", "[$1]", true), "a[bb]c");
  EXPECT_EQ(RegexReplaceAll("(b+)", "abbc", "[$1]", false), "a[$1]c");
  EXPECT_EQ(RegexReplaceAll("^Holiday", "Holiday 2006", "Trip", true), "Trip 2006");
  EXPECT_EQ(RegexReplaceAll("b", std::string("abc\0b", 5), "X", true), std::string("aXc\0b", 5));
  EXPECT_THROW(RegexReplaceAll("(", "abc", "", true), ERegexError);
}

TEST(Template, GroupReferences) {
  TRegexEngine e;
  e.SetExpression("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)?");
  ASSERT_TRUE(e.Exec("abcdefghijk"));
  const struct {
    const char* templ;
    const char* out;
  } cases[] = {
      {"$1", "a"},          {"${1}0", "a0"},      {"$10", "j"},     {"$11", "k"},    {"$110", ""},
      {"$&", "abcdefghijk"}, {"${}", "abcdefghijk"}, {"${&}", "abcdefghijk"}, {"$x", "$x"},
      {"\\$1", "$1"},       {"\\\\", "\\"},       {"a\\", "a\\"},   {"\\n", "n"},    {"${1", "${1"},
      {"$", "$"},           {"$15", ""},          {"$2147483647", ""}, {"$99999999999999999999", ""},
      {"${99999999999}!", "!"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(e.ExpandTemplate(c.templ), c.out) << c.templ;
  ASSERT_TRUE(e.Exec("abcdefghij"));
  EXPECT_EQ(e.ExpandTemplate("[$11]"), "[]");  // a group that took no part
}

}  // namespace
}  // namespace qv::regex
