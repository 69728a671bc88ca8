// The compiled-expression cache: same answers as a fresh engine, state
// reset between uses, least recently used entry dropped.
#include <gtest/gtest.h>

#include "regex/RegexCache.h"

namespace qv::regex {
namespace {

TEST(Cache, AnEngineFromTheCacheActsAsAFreshOne) {
  TRegexCache cache(4);
  TRegexEngine& e = cache.Engine("(\\d+)");
  ASSERT_TRUE(e.Exec("IMG_2006"));
  EXPECT_EQ(e.MatchStart(1), 5);
  TRegexEngine& again = cache.Engine("(\\d+)");
  EXPECT_EQ(&again, &e);
  EXPECT_EQ(again.MatchStart(0), -1);  // no input, no match
  EXPECT_THROW(again.ExecNext(), ERegexError);
  EXPECT_EQ(again.LastError(), 1007);
  EXPECT_EQ(cache.Engine("(\\d+)").LastError(), 0);
  EXPECT_EQ(cache.Engine("(\\d+)").ReplaceMatches("a1b22", "<$1>", true), "a<1>b<22>");
  // What a user changed of the search settings does not reach the next one.
  cache.Engine("(\\d+)").SetModifier(3, false);
  cache.Engine("(\\d+)").SetStepBudget(1);
  EXPECT_EQ(cache.Engine("(\\d+)").Modifiers(), DefaultModifiers);
  EXPECT_EQ(cache.Engine("(\\d+)").StepBudget(), kDefaultStepBudget);
}

TEST(Cache, ModifiersArePartOfTheKey) {
  TRegexCache cache(4);
  EXPECT_FALSE(cache.Engine("img").Exec("IMG"));
  EXPECT_TRUE(cache.Engine("img", DefaultModifiers | ModifierI).Exec("IMG"));
  EXPECT_FALSE(cache.Engine("img").Exec("IMG"));
  EXPECT_EQ(cache.Size(), 2u);
  // The key is the text the engine keeps: up to the first NUL.
  cache.Engine(std::string("img\0x", 5));
  EXPECT_EQ(cache.Size(), 2u);
}

TEST(Cache, TheLeastRecentlyUsedEntryGoes) {
  TRegexCache cache(2);
  TRegexEngine* a = &cache.Engine("a");
  cache.Engine("b");
  EXPECT_EQ(&cache.Engine("a"), a);
  cache.Engine("c");  // drops "b"
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(&cache.Engine("a"), a);
  EXPECT_TRUE(cache.Engine("c").Exec("c"));
}

TEST(Cache, AnExpressionThatDoesNotCompileFailsEveryTime) {
  TRegexCache cache;
  for (int i = 0; i < 3; ++i) {
    try {
      cache.Engine("(a").Exec("a");
      ADD_FAILURE();
    } catch (const ERegexError& x) {
      EXPECT_EQ(x.ErrorCode, 103);
      EXPECT_STREQ(x.what(), "TRegexEngine(comp): ParseReg Unmatched () (pos 2)");
    }
  }
}

}  // namespace
}  // namespace qv::regex
