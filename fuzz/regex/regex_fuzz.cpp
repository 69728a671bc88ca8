// Fuzz target of the regular-expression engine. Input: one byte of
// modifiers, one byte of options, then expression NUL subject NUL template.
// Every search is bounded by a small step budget (and a search the visited
// set bounds by kBoundedSearchFactor times it); the checks: positions stay
// inside the input, internal errors never happen, an engine from the cache
// answers exactly as a fresh one, and the matcher with its visited set
// (from the first step, or coming in after a few) answers exactly as the
// plain backtracker.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regex/RegexCache.h"
#include "regex/RegexEngine.h"
#include "regex/detail/Compiler.h"
#include "regex/detail/Matcher.h"

using namespace qv::regex;

namespace {

constexpr std::uint32_t kBudget = 50000;

[[noreturn]] void Crash() { std::abort(); }

// Codes that mean a fault of the engine itself, whatever the input.
void CheckCode(int code) {
  switch (code) {
    case 114: case 119: case 1000: case 1001: case 1002: case 1004: case 1015:
      Crash();
    default:
      break;
  }
}

// First match as a text, for comparing two engines.
std::string Answer(TRegexEngine& e, std::string_view subject, int offset) {
  try {
    e.SetInputString(subject);
    if (!e.ExecPos(offset)) return "-";
    std::string out;
    for (int g = 0; g <= 14; ++g) out += std::to_string(e.MatchStart(g)) + ":" + std::to_string(e.MatchLength(g)) + " ";
    return out;
  } catch (const ERegexError& x) {
    CheckCode(x.ErrorCode);
    return "!" + std::to_string(x.ErrorCode);
  }
}

void CheckPositions(const TRegexEngine& e, std::size_t length) {
  const auto len = static_cast<long long>(length);
  for (int g = 0; g <= 14; ++g) {
    const long long s = e.MatchStart(g);
    const long long l = e.MatchLength(g);
    if ((s < 0) != (l < 0)) Crash();
    if (s >= 0 && (s < 1 || s + l > len + 1)) Crash();
  }
}

// Every match (as ExecNext steps) with the visited set from the first step
// and without it, under the engine's default settings: wherever the plain
// backtracker finishes within the budget, both give the same positions.
void CheckVisitedSet(std::string_view expression, RegexModifiers modifiers, std::string_view subject) {
  static unsigned char invert[256];
  static const std::string spaces = " \t\n\r\f";
  static const std::string words = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  // switching: the set comes in after a few steps, over choices made
  // without it, as it does on long searches.
  static detail::TMatcher plain, visiting, switching;
  static const bool ready = [] {
    for (int c = 0; c < 256; ++c)
      invert[c] = static_cast<unsigned char>(TRegexEngine::DefaultInvertCase(static_cast<char>(c)));
    for (detail::TMatcher* m : {&plain, &visiting, &switching}) {
      m->settings.boundedMost = std::int64_t{kBudget} * kBoundedSearchFactor;
      m->settings.invert = invert;
      m->settings.word.AddText(words);
      m->settings.lineSeparators.AddText("\r\n");
    }
    plain.settings.visited = detail::TMatchSettings::TVisited::Never;
    visiting.settings.visited = detail::TMatchSettings::TVisited::Always;
    switching.settings.visited = detail::TMatchSettings::TVisited::After;
    return true;
  }();
  (void)ready;
  if (expression.empty()) return;
  detail::TCompileSettings s;
  s.modifiers = modifiers;
  s.spaceChars = &spaces;
  s.wordChars = &words;
  s.invert = invert;
  s.lineSeparators.AddText("\r\n");
  const detail::TCompileResult compiled = detail::Compile(std::string(expression), s);
  if (!compiled.program) return;
  const detail::TProgram& program = *compiled.program;
  subject = subject.substr(0, subject.find('\0'));
  const auto* in = reinterpret_cast<const std::uint8_t*>(subject.data());
  const auto len = static_cast<std::int32_t>(subject.size());
  std::int32_t from = 0;
  switching.settings.after = 1 + static_cast<std::int64_t>(expression.size() * 31 + subject.size()) % 127;
  for (int n = 0; n < 16 && from <= len; ++n) {
    std::int32_t s1[15], e1[15], s2[15], e2[15], s3[15], e3[15];
    const int r1 = plain.Search(program, in, len, from, kBudget, s1, e1);
    if (r1 == kStepBudgetError) return;
    const int r2 = visiting.Search(program, in, len, from, kBudget, s2, e2);
    const int r3 = switching.Search(program, in, len, from, kBudget, s3, e3);
    if (r1 != r2 || r1 != r3) Crash();
    if (r1 != 1) return;
    for (int g = 0; g <= program.groupCount; ++g)
      if (s1[g] != s2[g] || e1[g] != e2[g] || s1[g] != s3[g] || e1[g] != e3[g]) Crash();
    from = e1[0] + (e1[0] == s1[0] ? 1 : 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const RegexModifiers modifiers = data[0] & 63u;
  const std::uint8_t options = data[1];
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t cut1 = rest.find('\0');
  const std::string_view expression = rest.substr(0, cut1);
  std::string_view subject, templ;
  if (cut1 != std::string_view::npos) {
    subject = rest.substr(cut1 + 1);
    const std::size_t cut2 = subject.find('\0');
    if (cut2 != std::string_view::npos) {
      // A long template only makes long outputs: keep the run fast.
      templ = subject.substr(cut2 + 1, 64);
      subject = subject.substr(0, cut2);
    }
  }

  TRegexEngine e;
  e.SetModifiers(modifiers);
  e.SetStepBudget(kBudget);
  if (options & 1) e.SetLinePairedSeparator("");
  if (options & 2) e.SetWordChars("abc\xE9\xC9");
  e.SetExpression(expression);
  try {
    int n = 0;
    for (bool found = e.Exec(subject); found && n < 32; found = e.ExecNext(), ++n) {
      CheckPositions(e, subject.size());
      if (options & 4) e.ExpandTemplate(templ);
    }
    // The budget bounds each search, and a replace-all makes one per match:
    // over a subject of empty matches, one per character. Like the matches
    // above, keep their number small so that a run stays fast.
    if (options & 8) e.ReplaceMatches(subject.substr(0, 128), templ, (options & 16) != 0);
  } catch (const ERegexError& x) {
    CheckCode(x.ErrorCode);
  }

  CheckVisitedSet(expression, modifiers, subject);

  // The cache, reused across inputs, must answer as a fresh engine.
  if (!(options & 3)) {
    static TRegexCache cache(8);
    const int offset = 1 + static_cast<int>(options >> 5) % static_cast<int>(subject.size() + 2);
    TRegexEngine fresh;
    fresh.SetModifiers(modifiers);
    fresh.SetStepBudget(kBudget);
    fresh.SetExpression(expression);
    TRegexEngine& cached = cache.Engine(expression, modifiers);
    cached.SetStepBudget(kBudget);
    if (Answer(fresh, subject, offset) != Answer(cached, subject, offset)) Crash();
  }
  return 0;
}
