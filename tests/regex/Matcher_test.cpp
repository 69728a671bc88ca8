// The match stage beyond what the Perl differential test covers: the step
// budget, long inputs, loops that consume nothing, loop state on
// backtracking, NUL in operands, offsets, line and word settings.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "regex/RegexEngine.h"

namespace qv::regex {
namespace {

// "start,length" of the whole match and of groups 1..groups, or "-".
std::string Find(TRegexEngine& e, const std::string& subject, int groups = 0) {
  if (!e.Exec(subject)) return "-";
  std::string out;
  for (int g = 0; g <= groups; ++g)
    out += (g ? " " : "") + std::to_string(e.MatchStart(g)) + "," + std::to_string(e.MatchLength(g));
  return out;
}

std::string Find(const std::string& expression, const std::string& subject, int groups = 0,
                 RegexModifiers modifiers = DefaultModifiers) {
  TRegexEngine e;
  e.SetModifiers(modifiers);
  e.SetExpression(expression);
  return Find(e, subject, groups);
}

TEST(MatcherBudget, AmbiguousLoopsAnswerInsteadOfRunningOutOfSteps) {
  const std::string a30(30, 'a');
  const std::string cases[][3] = {{"(a|a)*b", a30 + "!b", "32,1"},
                                  {"(a+)+b", a30 + "!b", "-"},
                                  {"(.+)+x", "x" + a30, "-"},
                                  {"a*a*a*a*a*a*a*a*a*b", a30 + "!b", "32,1"},
                                  {"(\\w+\\s?)+$", a30 + "!", "-"},
                                  {"([a-z]+\\d?)+!", "abcde1abcde1abcde1abcde1abcde1abcde1abcd?!", "-"},
                                  {"(a|ab|b)*c", std::string(40, 'a') + "!c", "42,1"},
                                  {"x(a|a)*(b|a)", "x" + a30 + "!", "1,31 30,1 31,1"},
                                  // Counted loops with no upper bound, greedy or lazy.
                                  {"(a|a){1,}b", a30 + "!b", "-"},
                                  {"(a|a)*?b", a30 + "!b", "32,1"},
                                  {"(a+){2,}?b", a30 + "!b", "-"},
                                  {"(a|a){1,}?$", a30 + "!", "-"},
                                  {"x(a|aa)*?(b|a)", "x" + a30 + "!", "1,2 -1,-1 2,1"},
                                  // Bounded ones: the counter is part of the state.
                                  {"(x|x){1,30}y", std::string(30, 'x') + "zxy", "32,2"},
                                  {"(.*x){12}y", "y" + std::string(30, 'x'), "-"},
                                  {"(a|a){2,30}b", a30 + "!b", "-"},
                                  {"(a|a){2,30}$", a30 + "!", "-"},
                                  {"((a|a){1,3}){1,4}b", a30 + "!b", "-"},
                                  {"((a|a){2}|a){1,20}b", a30 + "!b", "-"},
                                  {"x(a|a){3,25}(b|a)", "x" + a30 + "!", "1,27 26,1 27,1"},
                                  // A bound beyond the subject's length is no bound.
                                  {"(x{1,99999999}){1,99999999}y", "y" + std::string(30, 'x') + "z", "-"}};
  for (const auto& c : cases) {
    TRegexEngine e;
    e.SetExpression(c[0]);
    EXPECT_EQ(Find(e, c[1], c[0][0] == 'x' ? 2 : 0), c[2]) << c[0];
  }
}

TEST(MatcherBudget, BackReferencesStillStopWithTheBudgetError) {
  const std::string a30(30, 'a');
  // A back reference reads the groups: the state is not a place and a
  // position alone.
  const std::string cases[][2] = {{"(a|a)*b\\1", a30 + "!b"},
                                  {"(a+)+b\\1", a30 + "!b"},
                                  {"(.+)+x\\1", "x" + a30}};
  for (const auto& c : cases) {
    TRegexEngine e;
    e.SetExpression(c[0]);
    try {
      e.Exec(c[1]);
      ADD_FAILURE() << c[0] << " answered";
    } catch (const ERegexError& x) {
      EXPECT_EQ(x.ErrorCode, kStepBudgetError) << c[0];
      EXPECT_STREQ(x.what(), "TRegexEngine(exec): Match Step Budget Exceeded");
      EXPECT_EQ(e.LastError(), kStepBudgetError);
      EXPECT_EQ(e.MatchStart(0), -1);
    }
    // The engine stays usable.
    e.SetExpression("b");
    EXPECT_TRUE(e.Exec("ab"));
  }
  // Without its first character Perl's required-substring trick settles it at once.
  EXPECT_EQ(Find("(a+)+b", std::string(30, 'a')), "-");
}

// Searches that would go over a long run from every start position: what
// failed from one start fails from every later one.
TEST(MatcherBudget, SearchesOverLongRunsAnswerInLinearTime) {
  const std::string x(1 << 18, 'x');
  EXPECT_EQ(Find("\\w+\\d", x), "-");
  EXPECT_EQ(Find("\\w+?\\d", x), "-");
  EXPECT_EQ(Find("\\w*\\d", x), "-");
  EXPECT_EQ(Find("\\w{2,}\\d", x), "-");
  EXPECT_EQ(Find("(\\w)+\\d", x), "-");
  EXPECT_EQ(Find("\\w+\\d", x + "7"), "1,262145");
  EXPECT_EQ(Find("\\w+?\\d", "!" + x + "7"), "2,262145");
  const std::string word(2000, 'w');
  EXPECT_EQ(Find("(\\w+) (\\w+)", word + " ", 2), "-");
  EXPECT_EQ(Find("(\\w+) (\\w+)", word + " !" + word + " z", 2), "2003,2002 2003,2000 4004,1");
  // Inside a counted loop the marks are kept per counter.
  EXPECT_EQ(Find("(a\\w*\\d){2}", std::string(3000, 'a') + "1!", 1), "-");
  EXPECT_EQ(Find("(a\\w*\\d){2}", std::string(3000, 'a') + "1a2", 1), "1,3003 3002,2");
}

// Loops around a simple repeat, entered at every place of a long run: each
// entry reads the run only as far as its counts are not yet known to fail,
// whether it takes them greedily or lazily, from a loop's pass start too.
// Linear, but some take more than the budget's 64 steps a character (a few
// hundred, where a quadratic search would need 10^8): the visited set
// bounds them, and they earn their steps from it.
TEST(MatcherBudget, LoopsAroundRepeatsOverLongRunsAnswerInLinearTime) {
  const std::string x(1 << 15, 'x');
  const std::string y = "y" + x;
  for (const char* e : {"(\\w+)*\\d", "(\\w+?)+\\d", "(.*x)+y", "(.*?x)+y", "(.*x){12}y", "(.*?x){2,}?y", "(x+x+)+y"})
    EXPECT_EQ(Find(e, y), "-") << e;
  const std::string n = std::to_string(x.size() + 2);
  const std::string all = "1," + std::to_string(x.size() + 4);
  EXPECT_EQ(Find("(\\w+)*\\d", x + "!7", 1), n + ",1 -1,-1");
  EXPECT_EQ(Find("(\\w+?)+\\d", x + "!a7", 1), n + ",2 " + n + ",1");
  EXPECT_EQ(Find("(.*x){12}y", y + "!xy", 1), all + " " + n + ",2");
  EXPECT_EQ(Find("(.*?x){2,}?y", y + "!xy", 1), all + " " + n + ",2");
  EXPECT_EQ(Find("(x+x+)+y", x + "!xxy", 1), n + ",3 " + n + ",2");
}

// Bounded counted loops need a few hundred steps a character, each state
// of their counters being one more state of the search. A budget of two
// steps a character lets them take 512 in all, which serves every length:
// their time is linear in it. (The default budget allows more at these
// lengths.)
TEST(MatcherBudget, CountedLoopsOverLongRunsReachTheirAnswerWhateverTheLength) {
  for (const int n : {3500, 10000, 100000}) {
    const std::string x(static_cast<std::size_t>(n), 'x');
    for (const std::uint32_t budget : {kDefaultStepBudget, 2u * static_cast<std::uint32_t>(n)}) {
      if (n > 10000 && budget == kDefaultStepBudget) continue;
      TRegexEngine e;
      e.SetStepBudget(budget);
      e.SetExpression("(x|x){1,30}y");
      EXPECT_EQ(Find(e, "y" + x), "-") << n;
      e.SetExpression("(.*x){12}y");
      EXPECT_EQ(Find(e, "y" + x), "-") << n;
      if (n > 10000) continue;
      const std::string at = std::to_string(n + 2);
      e.SetExpression("(x|x){1,30}y");
      EXPECT_EQ(Find(e, x + "zxy", 1), at + ",2 " + at + ",1");
      e.SetExpression("(.*x){12}y");
      EXPECT_EQ(Find(e, "y" + x + "!xy", 1), "1," + std::to_string(n + 4) + " " + at + ",2");
      EXPECT_EQ(Find(e, "y" + x + "!" + std::string(11, 'x') + "y", 1),
                "1," + std::to_string(n + 14) + " " + std::to_string(n + 13) + ",1");
    }
  }
}

// Where a loop's pass began, its choices are met before it consumes
// anything, and would leave it where they otherwise go round: those states
// are recorded apart from the others, so neither empty alternatives nor
// many ways to the same place multiply the work.
TEST(MatcherBudget, ChoicesMetBeforeAPassConsumesAnythingAreRecordedToo) {
  const std::string x(1000, 'x');
  EXPECT_EQ(Find("((|)(|)(|)(|)(|)(|)(|)(|)(|)(|)(|)(|)x)*y", x + "zy"), "1002,1");
  EXPECT_EQ(Find("((|)(|)(|)(|)(|)(|)(|)(|)x){2,}y", x + "zy"), "-");
  EXPECT_EQ(Find("((|)(|)(|)(|)(|)(|)(|)(|)x){2,}y", x + "zxxy", 1), "1002,3 1003,1");
  EXPECT_EQ(Find("((x?)(x?)(x?)(x?)(x?)(x?)(x?)(x?)(x?)(x?)(x?)(x?)x)*y", std::string(10000, 'x') + "zy"), "10002,1");
  EXPECT_EQ(Find("(x|x|x|x|x|x|x|x|x|x|x|x|x|x|x|x)*y", std::string(100000, 'x') + "zy"), "100002,1");
}

// The counters of bounded loops multiply the states: a search the set
// bounds may still need more than a caller should wait for. It stops at
// kBoundedSearchFactor times the budget.
TEST(MatcherBudget, SearchesTheSetBoundsStopAtAFactorOfTheBudget) {
  const std::string s = "y" + std::string(2000, 'x');
  TRegexEngine e;
  e.SetExpression("(x|x){1,1000}y");
  e.SetStepBudget(1000);
  try {
    e.Exec(s);
    ADD_FAILURE() << "answered";
  } catch (const ERegexError& x) {
    EXPECT_EQ(x.ErrorCode, kStepBudgetError);
  }
  // About 1.8 x 10^7 steps.
  e.SetStepBudget(100000);
  EXPECT_EQ(Find(e, s), "-");
}

// What the set cannot hold still runs into the budget: a simple repeat
// whose bound stops short of the subject's end, tried from every start.
TEST(MatcherBudget, BoundedRepeatsOverLongRunsStillStopWithTheBudgetError) {
  TRegexEngine e;
  e.SetExpression("\\w{1,100000}\\d");
  try {
    e.Exec(std::string(200000, 'x'));
    ADD_FAILURE() << "answered";
  } catch (const ERegexError& x) {
    EXPECT_EQ(x.ErrorCode, kStepBudgetError);
  }
}

TEST(MatcherBudget, BudgetIsPerSearchAndGrowsWithTheInput) {
  TRegexEngine e;
  e.SetExpression("(a|a)*b");
  e.SetStepBudget(0);  // only the per-character allowance is left
  EXPECT_TRUE(e.Exec("aab"));
  EXPECT_THROW(e.Exec("aaaaaaaaaaaa!b"), ERegexError);
  e.SetExpression("(a|b)*c");
  // Linear work on a long input fits the per-character allowance.
  e.SetStepBudget(kDefaultStepBudget);
  std::string big;
  for (int i = 0; i < 200000; ++i) big += "ab";
  EXPECT_TRUE(e.Exec(big + "c"));
  EXPECT_EQ(e.MatchLength(0), 400001);
}

TEST(MatcherLongInputs, ComplexLoopsDoNotRecursePerCharacter) {
  std::string big;
  for (int i = 0; i < 200000; ++i) big += "ab";
  EXPECT_EQ(Find("(ab)+$", big, 1), "1,400000 399999,2");
  EXPECT_EQ(Find("(ab)*?$", big, 1), "1,400000 399999,2");
  EXPECT_EQ(Find("(a|b)*", big), "1,400000");
  EXPECT_EQ(Find("(ab){1,}x", big), "-");
  EXPECT_EQ(Find(".*b", std::string(400000, 'a') + "b", 0, ModifierG), "1,400001");
}

TEST(MatcherLoops, APassThatConsumedNothingEndsTheLoop) {
  EXPECT_EQ(Find("(a*)(\\1)*b", "b", 2), "1,1 1,0 1,0");
  EXPECT_EQ(Find("(a*)(\\1)+b", "b", 2), "1,1 1,0 1,0");
  EXPECT_EQ(Find("(a*)(\\1){2,}b", "b", 2), "1,1 1,0 1,0");
  EXPECT_EQ(Find("(a*)(\\1){3,5}?b", "b", 2), "1,1 1,0 1,0");
  // The loop still goes round while it consumes.
  EXPECT_EQ(Find("(a)(\\1)*b", "aaab", 2), "1,4 1,1 3,1");
}

TEST(MatcherLoops, CountersAndLevelsAreRestoredOnBacktracking) {
  EXPECT_EQ(Find("(a|ab){2}x", "aabx", 1), "1,4 2,2");
  EXPECT_EQ(Find("((a|ab){2}y|aabz)", "aabz", 1), "1,4 1,4");
  // Eleven lazy loops in a row: each leaves its level before the next.
  EXPECT_EQ(Find("(a)*?(b)*?(c)*?(d)*?(e)*?(f)*?(g)*?(h)*?(i)*?(j)*?(k)*?x", "abcdefghijkx"), "1,12");
  // A lazy loop inside a counted loop: the outer count is the outer's own.
  EXPECT_EQ(Find("((ab)*?c){2}x", "cababcx", 2), "1,7 2,5 4,2");
  EXPECT_EQ(Find("((ab)*?c){3}", "cabcababc", 1), "1,9 5,5");
}

TEST(MatcherBackReferences, RepeatsStepByTheGroupLength) {
  EXPECT_EQ(Find("(ab)\\1*x", "abababx", 1), "1,7 1,2");
  EXPECT_EQ(Find("(ab)\\1{2}", "ababab", 1), "1,6 1,2");
  EXPECT_EQ(Find("(ab)\\1+?", "abababab", 1), "1,4 1,2");
  EXPECT_EQ(Find("(ab)\\1*b", "ababab", 1), "-");
  EXPECT_EQ(Find("(AB)\\1*", "ABabAbx", 1, DefaultModifiers | ModifierI), "1,6 1,2");
  // An empty group matches empty however often it is asked to.
  EXPECT_EQ(Find("()\\1{5}x", "x", 1), "1,1 1,0");
  EXPECT_EQ(Find("(a?)\\1{99999999}x", "x", 1), "1,1 1,0");
  // An unset group matches nowhere, so only zero repetitions pass.
  EXPECT_EQ(Find("(z)?\\1*x", "x"), "1,1");
  EXPECT_EQ(Find("(z)?\\1+x", "x"), "-");
}

TEST(MatcherNul, NulInOperandsIsOneCharacterLikeAnyOther) {
  EXPECT_EQ(Find("a\\x00b", "ab"), "-");
  EXPECT_EQ(Find("[\\x00b]", "ab"), "2,1");
  EXPECT_EQ(Find("[\\x00bcd]+", "abcd"), "2,3");
  EXPECT_EQ(Find("[^\\x00]", "a"), "1,1");
  // The input ends at its first NUL.
  EXPECT_EQ(Find("b", std::string("a\0b", 3)), "-");
}

TEST(MatcherOffsets, SearchFromAPosition) {
  TRegexEngine e;
  e.SetExpression("x*");
  e.SetInputString("abc");
  EXPECT_TRUE(e.ExecPos(4));
  EXPECT_EQ(e.MatchStart(0), 4);
  EXPECT_EQ(e.MatchLength(0), 0);
  EXPECT_FALSE(e.ExecPos(5));
  e.SetExpression("^a");
  e.SetInputString("aa");
  EXPECT_FALSE(e.ExecPos(2));  // anchored: only offset 1 can match
  e.SetExpression("\\ba");
  e.SetInputString("ba a");
  EXPECT_TRUE(e.ExecPos(2));  // the boundary looks before the offset
  EXPECT_EQ(e.MatchStart(0), 4);
  try {
    e.ExecPos(0);
    ADD_FAILURE();
  } catch (const ERegexError& x) {
    EXPECT_EQ(x.ErrorCode, 1006);
  }
}

TEST(MatcherLines, SeparatorsAndThePair) {
  const RegexModifiers m = DefaultModifiers | ModifierM;
  EXPECT_EQ(Find("^b", "a\r\nb", 0, m), "4,1");
  EXPECT_EQ(Find("^b", "a\r\nb"), "-");
  EXPECT_EQ(Find("a$", "a\r\nb", 0, m), "1,1");
  EXPECT_EQ(Find("$", "\r\n", 0, m), "1,0");
  EXPECT_EQ(Find("\r$", "\r\n", 0, m), "-");
  EXPECT_EQ(Find("^", "\r\nb", 0, m), "1,0");
  EXPECT_EQ(Find(".", "\r\n", 0, ModifierG), "-");
  EXPECT_EQ(Find(".", "\r\n"), "1,1");
  TRegexEngine e;
  e.SetModifiers(m);
  e.SetLineSeparators("|");
  e.SetLinePairedSeparator("");
  e.SetExpression("^b$");
  EXPECT_EQ(Find(e, "a|b|c"), "3,1");
  EXPECT_EQ(Find(e, "a\r\nb"), "-");
  // With no separator at all ^ and $ keep to the input's ends.
  e.SetLineSeparators("");
  e.SetExpression("^b");
  EXPECT_EQ(Find(e, "a|b"), "-");
  EXPECT_EQ(Find(e, "b|a"), "1,1");
}

TEST(MatcherWords, WordCharactersAreASetting) {
  EXPECT_EQ(Find("\\bfoo\\b", "a foo b"), "3,3");
  EXPECT_EQ(Find("\\bfoo\\b", "afoo"), "-");
  EXPECT_EQ(Find("\\bt\\b", "\xE9t\xE9"), "2,1");  // accented letters are no word characters by default
  TRegexEngine e;
  e.SetWordChars("abcdefghijklmnopqrstuvwxyz\xE9");
  e.SetExpression("\\bt\\b");
  EXPECT_EQ(Find(e, "\xE9t\xE9"), "-");
  e.SetExpression("\\w+");
  EXPECT_EQ(Find(e, "1\xE9t\xE9!"), "2,3");
  e.SetSpaceChars("_");
  e.SetExpression("\\s");
  EXPECT_EQ(Find(e, "a b_c"), "4,1");
}

TEST(MatcherCase, FoldingUsesTheInversionOfTheExpressionCharacter) {
  const RegexModifiers i = DefaultModifiers | ModifierI;
  EXPECT_EQ(Find("\xE9T\xC9", "\xC9t\xE9", 0, i), "1,3");
  EXPECT_EQ(Find("[\xE0-\xE2]+", "\xC0\xC1\xE2", 0, i), "1,3");
  EXPECT_EQ(Find("\xDF", "SS", 0, i), "-");
  TRegexEngine e;
  e.SetModifiers(i);
  e.SetInvertCase([](char c) { return c == 'a' ? 'z' : c; });
  e.SetExpression("a");
  EXPECT_EQ(Find(e, "Az"), "2,1");
}

// A search for a case-folded literal looks for the literal before any
// attempt: every match, and only matches, must come out of that scan.
TEST(MatcherCase, LeadingFoldedLiteralsAreFoundWhereverTheyStand) {
  TRegexEngine e;
  e.SetExpression("(?i)img");
  std::string all;
  for (bool ok = e.Exec("iMiMG_img-IMGimIMG"); ok; ok = e.ExecNext())
    all += std::to_string(e.MatchStart(0)) + "," + std::to_string(e.MatchLength(0)) + " ";
  EXPECT_EQ(all, "3,3 7,3 11,3 16,3 ");
  EXPECT_EQ(Find(e, "im"), "-");
  EXPECT_EQ(Find(e, ""), "-");
  EXPECT_EQ(Find(e, "IMG"), "1,3");
  e.SetInputString("img img");
  EXPECT_TRUE(e.ExecPos(2));
  EXPECT_EQ(e.MatchStart(0), 5);
  EXPECT_FALSE(e.ExecPos(6));
  EXPECT_FALSE(e.ExecPos(8));
  // A literal longer than what is left of the subject is looked for nowhere.
  EXPECT_EQ(Find("(?i)ab(\\d+)", "a", 1), "-");
  // With more after it, the literal only picks the places to try.
  EXPECT_EQ(Find("(?i)ab(\\d+)", "aB Ab12 ab3", 1), "4,4 6,2");
  EXPECT_EQ(Find("(?i)_-x", "_-_-X", 0), "3,3");
  EXPECT_EQ(Find("(?i)a|b", "B", 0), "1,1");
  TRegexEngine own;
  own.SetModifiers(DefaultModifiers | ModifierI);
  own.SetInvertCase([](char c) { return c == 'a' ? 'z' : c; });
  own.SetExpression("ab");
  EXPECT_EQ(Find(own, "Ab zb"), "4,2");
}

}  // namespace
}  // namespace qv::regex
