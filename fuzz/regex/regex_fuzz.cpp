// Fuzz target of the regular-expression engine. Input: one byte of
// modifiers, one byte of options, then expression NUL subject NUL template.
// Every search is bounded by a small step budget; the checks: positions stay
// inside the input, internal errors never happen, and an engine from the
// cache answers exactly as a fresh one.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regex/RegexCache.h"
#include "regex/RegexEngine.h"

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
    if (options & 8) e.ReplaceMatches(subject, templ, (options & 16) != 0);
  } catch (const ERegexError& x) {
    CheckCode(x.ErrorCode);
  }

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
