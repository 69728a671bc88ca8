// The compile stages: program shapes, hints and syntax errors (Parser and
// Program files). Matching behaviour is in Matcher_test and the Perl
// differential test.
#include <gtest/gtest.h>

#include "ProgramDump.h"

namespace qv::regex {
namespace {

using testing::DefaultSettings;
using testing::DumpOf;

TEST(Compiler, LiteralRunsAndSimpleRepeats) {
  EXPECT_EQ(DumpOf("abc"), "Branch Literal'abc' End");
  EXPECT_EQ(DumpOf("ab*"), "Branch Literal'a' Star Literal'b' End");
  EXPECT_EQ(DumpOf("ab+?"), "Branch Literal'a' PlusLazy Literal'b' End");
  EXPECT_EQ(DumpOf("a{2,5}"), "Branch Braces2,5 Literal'a' End");
  EXPECT_EQ(DumpOf("a{3,}"), "Branch Braces3,2147483646 Literal'a' End");
  EXPECT_EQ(DumpOf("a??"), "Branch BracesLazy0,1 Literal'a' End");
  EXPECT_EQ(DumpOf("a?"), "Branch Branch Literal'a' Branch Nothing End");
  // With g off every repeat is lazy.
  EXPECT_EQ(DumpOf("a*", ModifierR | ModifierS), "Branch StarLazy Literal'a' End");
}

TEST(Compiler, ComplexRepeatForms) {
  EXPECT_EQ(DumpOf("(ab)*"), "Branch Branch Open1 Branch Literal'ab' Close1 Back Branch Nothing End");
  EXPECT_EQ(DumpOf("(ab)+"), "Branch Open1 Branch Literal'ab' Close1 Branch Back Branch Nothing End");
  EXPECT_EQ(DumpOf("(ab){2}"), "Branch LoopEntry Open1 Branch Literal'ab' Close1 Loop2,2 End");
  EXPECT_EQ(DumpOf("(ab)*?"), "Branch LoopEntry Open1 Branch Literal'ab' Close1 LoopLazy0,2147483646 End");
  // . without s is no simple node.
  EXPECT_EQ(DumpOf(".*", ModifierG), "Branch Branch AnyButLineBreak Back Branch Nothing End");
  EXPECT_EQ(DumpOf(".*"), "Branch Star AnyChar End");
}

TEST(Compiler, BracesThatAreNoRepeatAreText) {
  EXPECT_EQ(DumpOf("a{x"), "Branch Literal'a' Literal'{x' End");
  EXPECT_EQ(DumpOf("{3}"), "Branch Literal'{3}' End");
  EXPECT_EQ(DumpOf("a{2,3"), "Branch Literal'a' Literal'{2,3' End");
  EXPECT_EQ(DumpOf("a{,3}"), "Branch Literal'a' Literal'{,3}' End");
  // A '{' that is no repeat is text even after something that cannot repeat.
  EXPECT_EQ(DumpOf("^{x"), "Branch InputStart Literal'{x' End");
}

TEST(Compiler, Sets) {
  EXPECT_EQ(DumpOf("[]a]"), "Branch AnyOfThree']aa' End");
  EXPECT_EQ(DumpOf("[a-]"), "Branch AnyOfThree'-aa' End");
  EXPECT_EQ(DumpOf("[-a]"), "Branch AnyOfThree'-aa' End");
  EXPECT_EQ(DumpOf("[a-\\d]"), "Branch AnyOfSet12 End");
  EXPECT_EQ(DumpOf("[\\D]"), "Branch AnyOfThree'DDD' End");
  EXPECT_EQ(DumpOf("[a]", DefaultModifiers | ModifierI), "Branch AnyOfThree'Aaa' End");
  EXPECT_EQ(DumpOf("[^abcd]"), "Branch AnyOfSet252 End");
  EXPECT_EQ(DumpOf("[^ab]"), "Branch AnyButThree'abb' End");
  EXPECT_EQ(DumpOf("\\w"), "Branch AnyOfSet63 End");
  EXPECT_EQ(DumpOf("\\S"), "Branch AnyOfSet251 End");
  // Cyrillic ranges with r (on by default): 32 letters and the yo.
  EXPECT_EQ(DumpOf("[\\xE0-\\xFF]"), "Branch AnyOfSet33 End");
  EXPECT_EQ(DumpOf("[\\xE0-\\xFF]", ModifierS | ModifierG), "Branch AnyOfSet32 End");
  EXPECT_EQ(DumpOf("[\\xE0-\\xDF]"), "Branch AnyOfSet66 End");
}

TEST(Compiler, NulInLiteralsAndSetsKeepsWhatFollows) {
  EXPECT_EQ(DumpOf("a\\x00b"), "Branch Literal'a' Literal'\\x00' Literal'b' End");
  EXPECT_EQ(DumpOf("[\\x00ab]"), "Branch AnyOfThree'\\x00ab' End");
  EXPECT_EQ(DumpOf("[\\x{0}b-e]"), "Branch AnyOfSet5 End");
  EXPECT_EQ(DumpOf("\\x{}"), "Branch Literal'\\x00' End");
}

TEST(Compiler, ModifiersInsideTheExpression) {
  EXPECT_EQ(DumpOf("(?i)abc"), "Branch Comment LiteralFold'abc' End");
  EXPECT_EQ(DumpOf("(a(?i)b)c"), "Branch Open1 Branch Literal'a' Comment LiteralFold'b' Close1 Literal'c' End");
  EXPECT_EQ(DumpOf("(?#note)a"), "Branch Comment Literal'a' End");
  EXPECT_EQ(DumpOf("(?)a"), "Branch Comment Literal'a' End");
  EXPECT_EQ(DumpOf("(?m)^$"), "Branch Comment LineStart LineEnd End");
  EXPECT_EQ(DumpOf("(?x) a b # note\n c"), "Branch Comment Comment Literal'ab' Comment Comment Literal'c' End");
  EXPECT_EQ(DumpOf("\\1(a)", DefaultModifiers | ModifierI), "Branch BackRefFold1 Open1 Branch LiteralFold'a' Close1 End");
}

TEST(Compiler, Hints) {
  auto compile = [](const std::string& text, RegexModifiers m = DefaultModifiers) {
    return std::move(detail::Compile(text, DefaultSettings(m)).program);
  };
  EXPECT_EQ(compile("abc")->startChar, 'a');
  EXPECT_EQ(compile("a|b")->startChar, 0);
  EXPECT_TRUE(compile("^ab")->anchored);
  EXPECT_FALSE(compile("^ab", DefaultModifiers | ModifierM)->anchored);
  const auto must = compile("x*abc(de)fg");
  ASSERT_GE(must->mustAt, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&must->code[static_cast<std::size_t>(must->mustAt)]),
                        static_cast<std::size_t>(must->mustLength)),
            "abc");
  EXPECT_EQ(compile("x*abc", DefaultModifiers | ModifierI)->mustAt, -1);
  EXPECT_EQ(compile("abc")->mustAt, -1);  // no leading repeat: the start character does the work
  const auto first = compile("(a|b?c)d");
  EXPECT_TRUE(first->firstChars.Has('a') && first->firstChars.Has('b') && first->firstChars.Has('c'));
  EXPECT_FALSE(first->firstChars.Has('d'));
  EXPECT_EQ(compile("a*")->firstChars.Count(), 256);
  // A line end under an inline m must keep line breaks as candidates.
  EXPECT_TRUE(compile("(?m)$")->firstChars.Has('\n'));
}

TEST(Compiler, SyntaxErrors) {
  const struct {
    const char* text;
    int code;
  } cases[] = {
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", 102}, {"(a", 103}, {"a)", 104}, {"a**", 107},
      {"a*??", 107}, {"a{2}{3}", 107}, {"(a?)*", 106}, {"(a{0,3})*", 106}, {"(?#x)+", 106},
      {"\\x4g", 108}, {"[z-a]", 109}, {"[a\\", 110}, {"[a-\\", 110}, {"\\x", 111}, {"\\x4", 111},
      {"\\x{41", 111}, {"\\x{100}", 112}, {"[ab", 113}, {"[]", 113}, {"*a", 115}, {"a|?", 115},
      {"a\\", 116}, {"a{123456789}", 122}, {"a{3,2}", 124}, {"(?#note", 125}, {"(?:a)", 127},
      {"(?i", 127}, {"(?k)", 127},
  };
  for (const auto& c : cases) {
    const std::string dump = DumpOf(c.text);
    EXPECT_EQ(dump.substr(0, dump.find(" at ")), "error " + std::to_string(c.code)) << c.text;
  }
  EXPECT_EQ(DumpOf("(a(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n))").substr(0, 5), "Branc");
}

TEST(Compiler, LongAndDeepExpressionsStayLinear) {
  // 50,000 alternatives, 20,000 optional pieces, 20,000 complex loops: each
  // compiles at once and its hints walk every node once.
  std::string alternatives = "a";
  for (int i = 0; i < 50000; ++i) alternatives += "|b";
  EXPECT_EQ(DumpOf(alternatives).substr(0, 13), "Branch Litera");
  std::string optional;
  for (int i = 0; i < 20000; ++i) optional += "a?";
  optional += "b";
  const auto program = detail::Compile(optional, DefaultSettings()).program;
  ASSERT_TRUE(program);
  EXPECT_TRUE(program->firstChars.Has('a') && program->firstChars.Has('b'));
  std::string loops;
  for (int i = 0; i < 20000; ++i) loops += ".*";
  const auto looped = detail::Compile(loops, DefaultSettings(ModifierG)).program;
  ASSERT_TRUE(looped);
  EXPECT_EQ(looped->loopCount, 20000);
}

}  // namespace
}  // namespace qv::regex
