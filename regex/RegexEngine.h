// TRegexEngine: compiles a regular expression to a node program and matches
// it by backtracking, with numbered groups 1..14, greedy and lazy repeats,
// back references \1..\9, the modifiers i r s g m x, search from a position,
// and replace-all with "$n" templates.
//
//   TRegexEngine re;
//   re.SetExpression("(\\d+)");
//   if (re.Exec(name)) digits = name.substr(re.MatchStart(1) - 1, re.MatchLength(1));
//
// Texts are 8-bit (Windows-1252); an input or an expression ends at its first
// NUL. Positions are 1-based. Not supported: (?:...), look-around, possessive
// repeats, named groups, Unicode: the file-name tags never needed them.
//
// Errors: every failure raises ERegexError (what() is the engine's text, with
// " (pos n)" for syntax errors); a failed search is not an error.
//
// Step budget: one search (Exec, ExecNext, ExecPos) may take at most
// StepBudget() + 64 x (input length) steps, a step being one node of the
// program visited, one backtrack, or one character counted by a repeat. A
// search that needs more raises error 1016 ("Match Step Budget Exceeded"), so
// no expression can hang a caller. The default (kDefaultStepBudget) is far
// above what linear expressions need; callers treat the error like any other.
// Ambiguous loops such as "(a+)+b", "(a|a)*b" or "(x|x){1,30}y", and
// searches that go over one long run from every start position ("\w+\d" on
// a long word), do not run into it: a search that backtracks far more than
// a linear one remembers which (choice point, position, loop state) states
// it has explored and failed, over all its start positions, and gives its
// real answer in time linear in the input's length (times the program's
// length and the states of its loop counters). When the set has a place
// for every state of the search, each state fails at most once and the set
// bounds the search's work: the search then earns further steps with each
// state it records (twice the program's nodes, and a few more), up to
// kBoundedSearchFactor x StepBudget() beyond the budget (2.56 x 10^8 steps
// by default, one to two seconds natively). Still left to the budget, and
// so answered with 1016 when it runs out:
// - expressions with a back reference ("(a|a)*b\1"): the groups steer them;
// - a simple repeat with an upper bound above 64 but short of the rest of
//   the input, tried from many places ("\w{1,100000}\d" on a long word);
// - choice points whose states, times the input's length, outgrow the
//   32 MiB the set may take (large or nested counted bounds, or a long
//   program, on a long input): those go unrecorded;
// - searches the set bounds that need more than that: the counters of
//   counted loops multiply the states, and "(x|x){1,1000}y" on "y" then
//   64,000 x's needs 7.6 x 10^8 steps.
//
// Threads: one engine serves one caller at a time; distinct engines are
// independent. Covered by tests/regex/*_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::regex {

// Modifier set: bit 1 i (case-insensitive), 2 r (Cyrillic ranges), 4 s (`.`
// matches line separators), 8 g (greedy), 16 m (multi-line ^ $), 32 x (free
// spacing).
using RegexModifiers = std::uint32_t;
inline constexpr RegexModifiers ModifierI = 1;
inline constexpr RegexModifiers ModifierR = 2;
inline constexpr RegexModifiers ModifierS = 4;
inline constexpr RegexModifiers ModifierG = 8;
inline constexpr RegexModifiers ModifierM = 16;
inline constexpr RegexModifiers ModifierX = 32;
inline constexpr RegexModifiers DefaultModifiers = ModifierR | ModifierS | ModifierG;

inline constexpr std::uint32_t kDefaultStepBudget = 1000000;
// A search that the visited set bounds may take this many times the step
// budget beyond its budget (see above).
inline constexpr std::uint32_t kBoundedSearchFactor = 256;

// Error code of a search that ran out of steps (see above).
inline constexpr int kStepBudgetError = 1016;

class ERegexError : public std::runtime_error {
public:
  ERegexError(const std::string& message, int code, int pos)
      : std::runtime_error(message), ErrorCode(code), ErrorPos(pos) {}
  int ErrorCode;  // the code of ErrorText
  int ErrorPos;   // characters before the parse cursor for syntax errors, else 0
};

namespace detail {
struct TProgram;
class TMatcher;
}  // namespace detail

class TRegexEngine {
public:
  using InvertCaseFunc = char (*)(char);

  TRegexEngine();
  virtual ~TRegexEngine();
  TRegexEngine(const TRegexEngine&) = delete;
  TRegexEngine& operator=(const TRegexEngine&) = delete;

  // Expression and input. Setting the expression compiles nothing: the first
  // search after it (or after a change of modifiers) does.
  const std::string& Expression() const { return m_expression; }
  void SetExpression(std::string_view text);
  const std::string& InputString() const { return m_input; }
  void SetInputString(std::string_view text);

  // Modifiers: index 1 i, 2 r, 3 s, 4 g, 5 m, 6 x (others raise 1013).
  // Defaults: r, s and g on.
  bool GetModifier(int index) const;
  void SetModifier(int index, bool on);
  RegexModifiers Modifiers() const { return m_modifiers; }
  void SetModifiers(RegexModifiers set) { m_modifiers = set & 63u; }
  // Applies "imsx-imsx"-style letters (i r s g m x, either case) in order; a
  // '-' turns the letters after it off. False at the first other character.
  static bool ParseModifierString(std::string_view text, RegexModifiers& set);

  // Character settings. Space characters (\s) default to " \t\n\r\f", word
  // characters (\w, \b) to ASCII letters, digits and '_', line separators to
  // CR LF and the separator pair to CR then LF. Changing one recompiles.
  const std::string& SpaceChars() const { return m_spaceChars; }
  void SetSpaceChars(std::string_view text);
  const std::string& WordChars() const { return m_wordChars; }
  void SetWordChars(std::string_view text);
  const std::string& LineSeparators() const { return m_lineSeparators; }
  void SetLineSeparators(std::string_view text);
  std::string LinePairedSeparator() const;
  // Two different characters, or empty to clear the pair; else raises 128.
  void SetLinePairedSeparator(std::string_view text);
  // Case inversion used by i: DefaultInvertCase unless set (read once here).
  void SetInvertCase(InvertCaseFunc invert);
  static char DefaultInvertCase(char c);

  std::uint32_t StepBudget() const { return m_stepBudget; }
  void SetStepBudget(std::uint32_t steps) { m_stepBudget = steps; }

  // Searching. Exec sets the input and searches from position 1; ExecNext
  // goes on after the last match (one further after an empty one); ExecPos
  // searches from a 1-based offset in the current input.
  bool PrepareProgram();
  bool Exec(std::string_view text);
  bool ExecNext();
  bool ExecPos(int offset);

  // Group n (0 = the whole match, 1..14): 1-based start and length, or -1
  // when n is out of range, no input is set or the group took no part.
  int MatchStart(int n) const;
  int MatchLength(int n) const;

  // Replaces every match in input by the template, expanded ("$1", "${1}",
  // "$&", "\$") when expand is true, else inserted as it stands.
  std::string ReplaceMatches(std::string_view input, std::string_view templ, bool expand);
  // The template expanded for the last match.
  std::string ExpandTemplate(std::string_view templ);

  // Errors.
  int LastError() const { return m_lastError; }
  int CompileErrorPos() const { return m_compilePos; }
  virtual std::string ErrorText(int code) const;

protected:
  // Stores the code and throws ERegexError with ErrorText(code) (and the
  // position suffix for codes below 1000). An override must throw too.
  virtual void RaiseRegexError(int code);

private:
  friend class TRegexCache;
  [[noreturn]] void Fail(int code);
  bool CompileExpression(const std::string& text);
  void DropProgram();
  void ResetMatchState();
  void ClearGroups();

  std::string m_expression;
  std::string m_input;
  bool m_hasInput = false;
  std::unique_ptr<detail::TProgram> m_program;
  std::unique_ptr<detail::TMatcher> m_matcher;
  RegexModifiers m_modifiers = DefaultModifiers;
  std::string m_spaceChars;
  std::string m_wordChars;
  std::string m_lineSeparators;
  bool m_pairAssigned = true;
  char m_pairHead = '\r';
  char m_pairTail = '\n';
  InvertCaseFunc m_invert = nullptr;
  unsigned char m_invertTable[256];
  std::uint32_t m_stepBudget = kDefaultStepBudget;
  int m_lastError = 0;
  int m_compilePos = 0;
  // 0-based [start, end) of groups 0..14; -1 when unset. Each within one
  // cache line: every search clears them, and stores that straddle a page
  // boundary, where the heap may place them, cost more than a short search.
  alignas(64) std::int32_t m_starts[15];
  alignas(64) std::int32_t m_ends[15];
  // Entries [0, m_groupsSet) of both may be set; the others are -1. A
  // search clears only those: most expressions have few groups.
  int m_groupsSet = 15;
};

// One call: a fresh engine with the defaults replaces every match of the
// expression in input (raises ERegexError like the engine).
std::string RegexReplaceAll(std::string_view expression, std::string_view input, std::string_view templ,
                            bool expand);

}  // namespace qv::regex
