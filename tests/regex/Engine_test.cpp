// The engine's interface: settings and modifiers, lazy compilation, search
// calls and positions, and the errors with their exact texts.
#include <gtest/gtest.h>

#include <string>

#include "regex/RegexEngine.h"

namespace qv::regex {
namespace {

// Runs f and returns the ERegexError it raises (code -1 when none).
template <class F>
ERegexError ErrorOf(F f) {
  try {
    f();
  } catch (const ERegexError& e) {
    return e;
  }
  return ERegexError("none", -1, -1);
}

TEST(EngineErrors, SyntaxErrorsCarryTheirPosition) {
  TRegexEngine e;
  e.SetExpression("(a");
  ERegexError x = ErrorOf([&] { e.Exec("a"); });
  EXPECT_EQ(x.ErrorCode, 103);
  EXPECT_EQ(x.ErrorPos, 2);
  EXPECT_STREQ(x.what(), "TRegexEngine(comp): ParseReg Unmatched () (pos 2)");
  EXPECT_EQ(e.CompileErrorPos(), 0);  // only while compiling
  e.SetExpression("[ab");
  EXPECT_STREQ(ErrorOf([&] { e.Exec("a"); }).what(), "TRegexEngine(comp): Unmatched [] (pos 3)");
  // A failed compile leaves no program: the next search fails the same way.
  EXPECT_EQ(ErrorOf([&] { e.Exec("a"); }).ErrorCode, 113);
  EXPECT_EQ(e.LastError(), 113);
  e.SetExpression("[ab]");
  EXPECT_TRUE(e.Exec("b"));
}

TEST(EngineErrors, SearchErrorsHaveNoPosition) {
  TRegexEngine e;
  ERegexError x = ErrorOf([&] { e.ExecNext(); });
  EXPECT_EQ(x.ErrorCode, 1007);
  EXPECT_STREQ(x.what(), "TRegexEngine(exec): ExecNext Without Exec[Pos]");
  e.SetExpression("a");
  EXPECT_EQ(ErrorOf([&] { e.ExecPos(1); }).ErrorCode, 1005);
  EXPECT_EQ(ErrorOf([&] { e.ExpandTemplate("$0"); }).ErrorCode, 1005);
  EXPECT_EQ(ErrorOf([&] { e.ExecPos(0); }).ErrorCode, 1005);
  e.SetInputString("a");
  EXPECT_STREQ(ErrorOf([&] { e.ExecPos(0); }).what(), "TRegexEngine(exec): Offset Must Be Greater Then 0");
  EXPECT_STREQ(ErrorOf([&] { e.SetModifier(7, true); }).what(), "Unknown error");
  EXPECT_EQ(e.LastError(), 1013);
  e.SetExpression("");
  EXPECT_STREQ(ErrorOf([&] { e.Exec("a"); }).what(), "TRegexEngine(exec): Not Assigned Expression Property");
}

TEST(EngineErrors, TextsAsTheyStand) {
  TRegexEngine e;
  EXPECT_EQ(e.ErrorText(0), "No errors");
  EXPECT_EQ(e.ErrorText(119), "TRegexEngine(comp): RarseAtom Internal Disaster");
  EXPECT_EQ(e.ErrorText(124), "TRegexEngine(comp): BRACE Min Param Greater then Max");
  EXPECT_EQ(e.ErrorText(127), "TRegexEngine(comp): Urecognized Modifier");
  EXPECT_EQ(e.ErrorText(1015), "TRegexEngine(exec): Loop Without LoopEntry !");
  EXPECT_EQ(e.ErrorText(kStepBudgetError), "TRegexEngine(exec): Match Step Budget Exceeded");
  EXPECT_EQ(e.ErrorText(3), "Unknown error");
}

TEST(EngineErrors, OverridesShapeTheMessage) {
  struct TFrench : TRegexEngine {
    std::string ErrorText(int code) const override { return "Erreur " + std::to_string(code); }
  };
  TFrench e;
  e.SetExpression("a{3,2}");
  EXPECT_STREQ(ErrorOf([&] { e.Exec("a"); }).what(), "Erreur 124 (pos 6)");
}

TEST(EngineSettings, LinePairedSeparator) {
  TRegexEngine e;
  EXPECT_EQ(e.LinePairedSeparator(), "\r\n");
  for (const char* bad : {"aa", "a", "abc"}) {
    ERegexError x = ErrorOf([&] { e.SetLinePairedSeparator(bad); });
    EXPECT_EQ(x.ErrorCode, 128) << bad;
    EXPECT_STREQ(x.what(),
                 "TRegexEngine(comp): LinePairedSeparator must countain two different chars or no chars at all (pos 0)");
  }
  e.SetLinePairedSeparator("");
  EXPECT_EQ(e.LinePairedSeparator(), "");
  e.SetLinePairedSeparator("ab");
  EXPECT_EQ(e.LinePairedSeparator(), "ab");
}

TEST(EngineSettings, Modifiers) {
  TRegexEngine e;
  const bool defaults[] = {false, true, true, true, false, false};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(e.GetModifier(i), defaults[i - 1]) << i;
  RegexModifiers set = 0;
  EXPECT_TRUE(TRegexEngine::ParseModifierString("iM-sX", set));
  EXPECT_EQ(set, ModifierI | ModifierM);
  set = 0;
  EXPECT_FALSE(TRegexEngine::ParseModifierString("ik", set));
  EXPECT_EQ(set, ModifierI);  // the letters before the bad one are applied
  // A change of modifiers takes effect at the next search.
  e.SetExpression("abc");
  EXPECT_FALSE(e.Exec("ABC"));
  e.SetModifier(1, true);
  EXPECT_TRUE(e.Exec("ABC"));
  e.SetModifier(1, false);
  EXPECT_FALSE(e.Exec("ABC"));
}

TEST(EngineSettings, DefaultInvertCaseFollowsWindows1252) {
  const char pairs[][2] = {{'a', 'A'}, {'Z', 'z'}, {'\xE9', '\xC9'}, {'\xC0', '\xE0'}, {'\xFF', '\x9F'},
                           {'\x9C', '\x8C'}, {'\x8A', '\x9A'}, {'\x9E', '\x8E'}};
  for (const auto& p : pairs) EXPECT_EQ(TRegexEngine::DefaultInvertCase(p[0]), p[1]) << int(p[0]);
  for (char same : {'1', '\xDF', '\xB5', '\xF7', '\xD7', '_', '\x83'}) EXPECT_EQ(TRegexEngine::DefaultInvertCase(same), same);
}

TEST(EngineSearch, PositionsAndTheirLimits) {
  TRegexEngine e;
  e.SetExpression("(b+)(x)?");
  EXPECT_EQ(e.MatchStart(0), -1);  // no input yet
  ASSERT_TRUE(e.Exec("abbc"));
  EXPECT_EQ(e.MatchStart(0), 2);
  EXPECT_EQ(e.MatchLength(1), 2);
  EXPECT_EQ(e.MatchStart(2), -1);
  EXPECT_EQ(e.MatchStart(15), -1);
  EXPECT_EQ(e.MatchStart(-1), -1);
  EXPECT_EQ(e.MatchLength(15), -1);
  EXPECT_FALSE(e.Exec("zz"));
  EXPECT_EQ(e.MatchStart(0), -1);
  EXPECT_EQ(ErrorOf([&] { e.ExecNext(); }).ErrorCode, 1007);
  e.Exec("abbc");
  e.SetInputString("abbc");
  EXPECT_EQ(e.MatchStart(0), -1);  // a new input clears the groups
}

TEST(EngineSearch, NextMatchSkipsOnePlaceAfterAnEmptyMatch) {
  TRegexEngine e;
  e.SetExpression("a*");
  std::string found;
  for (bool ok = e.Exec("baab"); ok; ok = e.ExecNext())
    found += std::to_string(e.MatchStart(0)) + ":" + std::to_string(e.MatchLength(0)) + " ";
  EXPECT_EQ(found, "1:0 2:2 4:0 5:0 ");
}

TEST(EngineSearch, ExpressionAndInputStopAtTheirFirstNul) {
  TRegexEngine e;
  e.SetExpression(std::string("ab\0c", 4));
  EXPECT_EQ(e.Expression(), "ab");
  e.SetInputString(std::string("xab\0yy", 6));
  EXPECT_EQ(e.InputString(), "xab");
  EXPECT_TRUE(e.ExecPos(1));
  EXPECT_EQ(e.MatchStart(0), 2);
}

}  // namespace
}  // namespace qv::regex
