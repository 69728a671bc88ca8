// Differential test against Perl: every case of data/*.txt (Perl's answers
// for random expressions in the shared syntax, hand-picked cases, and our own
// answers where we differ from Perl on purpose) must come out the same here.
// Extra case files may follow the gtest flags on the command line:
//   regex_tests --gtest_filter='PerlDifferential*' my_cases.txt
// Case format: see gen_perl_cases.pl. The same cases also run through the
// matcher with and without its visited set (from the first step, and coming
// in after a few), which must agree exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramDump.h"
#include "regex/RegexCache.h"
#include "regex/RegexEngine.h"
#include "regex/detail/Matcher.h"

namespace qv::regex {
namespace {

std::string Decode(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(sep, start);
    out.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return out;
    start = at + 1;
  }
}

RegexModifiers ModifiersOf(const std::string& letters) {
  RegexModifiers m = DefaultModifiers;
  EXPECT_TRUE(TRegexEngine::ParseModifierString(letters, m)) << letters;
  return m;
}

// All matches as Perl's side writes them: groups 0..groups, 0-based spans.
std::string Matches(TRegexEngine& e, const std::string& subject, int groups) {
  std::string out;
  int count = 0;
  for (bool found = e.Exec(subject); found && count < 40; found = e.ExecNext(), ++count) {
    if (!out.empty()) out += ' ';
    for (int g = 0; g <= groups; ++g) {
      if (g > 0) out += ',';
      if (e.MatchStart(g) < 0)
        out += 'x';
      else
        out += std::to_string(e.MatchStart(g) - 1) + '-' + std::to_string(e.MatchStart(g) - 1 + e.MatchLength(g));
    }
  }
  return out.empty() ? "-" : out;
}

struct TCase {
  std::string where;
  std::vector<std::string> f;
};

// Spans written "?" are not compared (groups inside a repeated group, which
// Perl forgets when an inner repeat matches nothing in a later pass).
std::string Mask(const std::string& got, const std::string& want) {
  if (got.size() < 1 || want.find('?') == std::string::npos) return got;
  const std::vector<std::string> g = Split(got, ' ');
  const std::vector<std::string> w = Split(want, ' ');
  if (g.size() != w.size()) return got;
  std::string out;
  for (std::size_t m = 0; m < g.size(); ++m) {
    std::vector<std::string> gs = Split(g[m], ',');
    const std::vector<std::string> ws = Split(w[m], ',');
    if (gs.size() != ws.size()) return got;
    for (std::size_t i = 0; i < gs.size(); ++i) {
      if (ws[i] == "?") gs[i] = "?";
      out += (i == 0 ? (m == 0 ? "" : " ") : ",") + gs[i];
    }
  }
  return out;
}

// Runs one case on the given engine; returns what we found, in the case's
// own notation, for comparison with its last field.
std::string RunCase(TRegexEngine& e, const TCase& c) {
  const std::string& kind = c.f[0];
  try {
    if (kind == "e") {
      e.PrepareProgram();
      return "compiled";
    }
    if (kind == "m" && c.f[4][0] == '!') {
      e.Exec(Decode(c.f[3]));
      while (e.ExecNext()) {
      }
      return "no error";
    }
    if (kind == "m") {
      const std::string& expected = c.f[4];
      int groups = 0;
      if (expected != "-" && expected[0] != '!') {
        const std::string first = expected.substr(0, expected.find(' '));
        for (char ch : first) groups += ch == ',';
      }
      return Mask(Matches(e, Decode(c.f[3]), groups), expected);
    }
    return e.ReplaceMatches(Decode(c.f[3]), Decode(c.f[4]), true);
  } catch (const ERegexError& x) {
    return "!" + std::to_string(x.ErrorCode);
  }
}

std::vector<TCase> Load(const std::filesystem::path& file) {
  std::vector<TCase> cases;
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.good()) << file;
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    TCase c{file.filename().string() + ":" + std::to_string(n), Split(line, '\t')};
    const std::size_t want = c.f[0] == "r" ? 6 : c.f[0] == "m" ? 5 : 4;
    EXPECT_EQ(c.f.size(), want) << c.where << ": " << line;
    if (c.f.size() == want) cases.push_back(std::move(c));
  }
  return cases;
}

std::vector<std::filesystem::path> CaseFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(QV_REGEX_DATA_DIR))
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  // Arguments that are not gtest flags name further case files.
  const std::vector<std::string> args = ::testing::internal::GetArgvs();
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i].rfind("--", 0) != 0) files.emplace_back(args[i]);
  return files;
}

TEST(PerlDifferential, EveryCaseAgrees) {
  TRegexCache cache(8);
  int total = 0;
  int failures = 0;
  int undecided = 0;
  for (const auto& file : CaseFiles()) {
    for (const TCase& c : Load(file)) {
      ++total;
      const std::string expression = Decode(c.f[1]);
      const RegexModifiers mods = ModifiersOf(Decode(c.f[2]));
      const std::string& expected = c.f[0] == "e" ? c.f[3] : c.f[0] == "m" ? c.f[4] : c.f[5];
      const std::string want = c.f[0] == "r" ? Decode(expected) : expected;

      TRegexEngine fresh;
      fresh.SetModifiers(mods);
      fresh.SetExpression(expression);
      std::string got = RunCase(fresh, c);
      // The cached engine must answer exactly as a fresh one.
      const std::string cached = RunCase(cache.Engine(expression, mods), c);
      if (got == "!1016" && want != got) {
        // Perl has no step budget (the budget is a difference of its own, in
        // differences.txt): check the answer with a larger one. An
        // exponential case may still run out, and stays undecided.
        fresh.SetStepBudget(100000000);
        got = RunCase(fresh, c);
        if (got == want) continue;
        if (got == "!1016") {
          ++undecided;
          continue;
        }
      }
      if (got != want || cached != got) {
        if (++failures <= 40)
          ADD_FAILURE() << c.where << "\n  expression " << c.f[1] << "  modifiers '" << c.f[2] << "'  subject '"
                        << c.f[3] << "'\n  expected " << expected << "\n  got      " << got
                        << "\n  cached   " << cached;
      }
    }
  }
  EXPECT_EQ(failures, 0) << "of " << total << " cases";
  EXPECT_LE(undecided * 1000, total) << undecided << " cases still over budget";
  if (undecided > 0) std::printf("%d of %d cases over budget, not compared\n", undecided, total);
  EXPECT_GE(total, 3000);
}

// Every match of a subject, searched the way ExecNext steps, by a matcher
// with the given visited-set mode; "!n" for an error.
std::string AllMatches(detail::TMatcher& m, const detail::TProgram& program, const std::string& subject,
                       std::uint64_t budget) {
  const auto* in = reinterpret_cast<const std::uint8_t*>(subject.data());
  const auto len = static_cast<std::int32_t>(subject.size());
  std::string out;
  std::int32_t from = 0;
  for (int count = 0; count < 40 && from <= len; ++count) {
    std::int32_t starts[15], ends[15];
    const int r = m.Search(program, in, len, from, budget, starts, ends);
    if (r != 1) return r == 0 ? out : "!" + std::to_string(r);
    for (int g = 0; g <= program.groupCount; ++g)
      out += std::to_string(starts[g]) + '-' + std::to_string(ends[g]) + (g == program.groupCount ? ' ' : ',');
    from = ends[0] + (ends[0] == starts[0] ? 1 : 0);
  }
  return out;
}

// AllMatches' answer in the cases' notation: unset groups "x", "-" for none.
std::string CaseNotation(const std::string& all, int groups) {
  if (all.empty()) return "-";
  std::string out;
  for (const std::string& match : Split(all.substr(0, all.size() - 1), ' ')) {
    const std::vector<std::string> spans = Split(match, ',');
    if (!out.empty()) out += ' ';
    for (int g = 0; g <= groups && g < static_cast<int>(spans.size()); ++g)
      out += (g ? "," : "") + (spans[static_cast<std::size_t>(g)].rfind("-1", 0) == 0 ? std::string("x")
                                                                                    : spans[static_cast<std::size_t>(g)]);
  }
  return out;
}

TEST(VisitedSet, AgreesWithThePlainBacktrackerOnEveryCase) {
  const detail::TCompileSettings base = testing::DefaultSettings();
  // switching: the set comes in after a few steps, over choices made
  // without it, as it does on long searches.
  detail::TMatcher plain, visiting, switching;
  for (detail::TMatcher* m : {&plain, &visiting, &switching}) {
    m->settings.invert = base.invert;
    m->settings.word.AddText(*base.wordChars);
    m->settings.lineSeparators = base.lineSeparators;
  }
  plain.settings.visited = detail::TMatchSettings::TVisited::Never;
  visiting.settings.visited = detail::TMatchSettings::TVisited::Always;
  switching.settings.visited = detail::TMatchSettings::TVisited::After;
  int compared = 0, failures = 0, over = 0;
  for (const auto& file : CaseFiles()) {
    for (const TCase& c : Load(file)) {
      if (c.f[0] != "m") continue;
      RegexModifiers mods = DefaultModifiers;
      if (!TRegexEngine::ParseModifierString(Decode(c.f[2]), mods)) continue;
      const std::string expression = Decode(c.f[1]);
      if (expression.find('\0') != std::string::npos) continue;
      const auto compiled = detail::Compile(expression, testing::DefaultSettings(mods));
      if (!compiled.program) continue;
      std::string subject = Decode(c.f[3]);
      const bool whole = subject.find('\0') == std::string::npos;
      subject = subject.substr(0, subject.find('\0'));
      const std::string got = AllMatches(visiting, *compiled.program, subject, 2000000);
      // Each path on its own against the case's answer, where it is one.
      const std::string& expected = c.f[4];
      if (whole && expected[0] != '!' && got != "!1016") {
        int groups = 0;
        if (expected != "-") {
          const std::string first = expected.substr(0, expected.find(' '));
          for (char ch : first) groups += ch == ',';
        }
        const std::string mine = Mask(CaseNotation(got, groups), expected);
        if (mine != expected && ++failures <= 20)
          ADD_FAILURE() << c.where << "  expression " << c.f[1] << "  subject '" << c.f[3] << "'\n  expected "
                        << expected << "\n  visiting " << mine;
      }
      const std::string want = AllMatches(plain, *compiled.program, subject, 2000000);
      if (want == "!1016") {
        ++over;
        continue;
      }
      ++compared;
      if (got != want && ++failures <= 20)
        ADD_FAILURE() << c.where << "  expression " << c.f[1] << "  modifiers '" << c.f[2] << "'  subject '"
                      << c.f[3] << "'\n  plain    " << want << "\n  visiting " << got;
      switching.settings.after = 1 + compared % 97;
      const std::string late = AllMatches(switching, *compiled.program, subject, 2000000);
      if (late != want && ++failures <= 20)
        ADD_FAILURE() << c.where << "  expression " << c.f[1] << "  modifiers '" << c.f[2] << "'  subject '"
                      << c.f[3] << "'\n  plain    " << want << "\n  after " << switching.settings.after
                      << " steps " << late;
    }
  }
  EXPECT_EQ(failures, 0) << "of " << compared << " cases";
  std::printf("%d cases agree, %d over the plain backtracker's budget\n", compared - failures, over);
  EXPECT_GE(compared, 2000);
}

// Random expressions dense in nested and counted loops over a two-letter
// alphabet, on subjects long enough for their choices to meet again.
std::string RandomExpression(std::uint32_t& seed, int depth) {
  auto next = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
  };
  static const char* atoms[] = {"a", "b", ".", "[ab]", "a?", "b*", "$", "^", "\\b", ""};
  static const char* quantifiers[] = {"", "*", "+", "?", "*?", "+?", "{2}", "{1,}", "{0,3}", "{2,}?"};
  std::string out;
  const int parts = 1 + next(3);
  for (int i = 0; i < parts; ++i) {
    if (depth < 3 && next(2) == 0) {
      out += "(" + RandomExpression(seed, depth + 1);
      if (next(2) == 0) out += "|" + RandomExpression(seed, depth + 1);
      out += ")";
      out += quantifiers[next(10)];
    } else {
      const int atom = next(10);
      out += atoms[atom];
      if (atom < 4) out += quantifiers[next(10)];  // anchors and repeats take none
    }
  }
  return out;
}

// Random expressions from `seed` over the subjects `subjectOf` makes of the
// seed after each, through the plain backtracker, the set from the first
// step and the set coming in on the way; returns the cases compared.
int CompareOnRandomLoops(std::uint32_t seed, int count, std::string (*subjectOf)(std::uint32_t),
                         std::uint64_t budget) {
  detail::TMatcher plain, visiting, switching;
  const detail::TCompileSettings base = testing::DefaultSettings();
  for (detail::TMatcher* m : {&plain, &visiting, &switching}) {
    m->settings.invert = base.invert;
    m->settings.word.AddText(*base.wordChars);
    m->settings.lineSeparators = base.lineSeparators;
  }
  plain.settings.visited = detail::TMatchSettings::TVisited::Never;
  visiting.settings.visited = detail::TMatchSettings::TVisited::Always;
  switching.settings.visited = detail::TMatchSettings::TVisited::After;
  int compared = 0, failures = 0;
  for (int i = 0; i < count; ++i) {
    const std::string expression = RandomExpression(seed, 0);
    const auto compiled = detail::Compile(expression, base);
    if (!compiled.program) continue;
    const std::string subject = subjectOf(seed);
    const std::string want = AllMatches(plain, *compiled.program, subject, budget);
    if (want == "!1016") continue;
    ++compared;
    const std::string got = AllMatches(visiting, *compiled.program, subject, budget);
    if (got != want && ++failures <= 20)
      ADD_FAILURE() << expression << " on " << subject << "\n  plain    " << want << "\n  visiting " << got;
    switching.settings.after = 1 + compared % 97;
    const std::string late = AllMatches(switching, *compiled.program, subject, budget);
    if (late != want && ++failures <= 20)
      ADD_FAILURE() << expression << " on " << subject << "\n  plain    " << want << "\n  after "
                    << switching.settings.after << " steps " << late;
  }
  EXPECT_EQ(failures, 0) << "of " << compared;
  return compared;
}

TEST(VisitedSet, AgreesOnRandomNestedLoops) {
  const int compared = CompareOnRandomLoops(2026, 40000, [](std::uint32_t seed) {
    std::string subject;
    const int length = 8 + static_cast<int>(seed % 24);
    for (int j = 0; j < length; ++j) subject += "aab"[(seed >> (j % 24)) % 3];
    return subject;
  }, 200000);
  EXPECT_GE(compared, 10000);
}

// Runs longer than the chunks a repeat reads its operand's run in, so that
// marks are met in the middle of a run, at its end and past a chunk.
TEST(VisitedSet, AgreesOnRandomLoopsOverLongRuns) {
  const int compared = CompareOnRandomLoops(35, 3000, [](std::uint32_t seed) {
    std::string subject;
    const int length = 60 + static_cast<int>(seed % 200);
    std::uint32_t r = seed;
    for (int j = 0; j < length; ++j) {
      r = r * 1103515245u + 12345u;
      subject += (r >> 16) % 50 == 0 ? 'b' : 'a';
    }
    return subject;
  }, 2000000);
  EXPECT_GE(compared, 1000);
}

}  // namespace
}  // namespace qv::regex
