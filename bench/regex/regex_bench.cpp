// Throughput of the regular-expression engine against std::regex and PCRE2
// (interpreter and JIT), in one process on the same data: compile time of
// the tag expressions, all matches over 10,000 synthetic file names (also
// with engines at 32 heap placements), replace with a template, long
// subjects (1 KiB to 1 MiB) for linear expressions, complex loops that run
// once per character of a 1 MiB subject (time and peak memory), and what
// backtracking-prone expressions answer, and when, and the shapes that once
// ran out of steps.
//   cmake --preset bench -B build/bench-regex && cmake --build build/bench-regex --target regex_bench
//   build/bench-regex/bench/regex/regex_bench [corpus | shapes]
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "regex/RegexCache.h"
#include "regex/RegexEngine.h"

using namespace qv::regex;

namespace {

std::uint64_t g_sink = 0;  // keeps results alive

struct TRng {
  std::uint64_t s = 0x9E3779B97F4A7C15ull;
  std::uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<std::uint32_t>(s);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
};

std::vector<std::string> MakeNames(int count) {
  static const char* words[] = {"Holiday", "Rome", "beach", "Family", "party", "Scan", "page", "invoice", "Noel",
                                "track", "artist", "Concert", "trip", "Paris", "summer", "IMG", "DSC", "photo",
                                "Mariage", "ete", "report", "draft", "final", "copy"};
  static const char* exts[] = {".jpg", ".JPG", ".nef", ".mp3", ".tif", ".pdf", ".txt", ".png"};
  TRng r;
  std::vector<std::string> names;
  char buf[64];
  for (int i = 0; i < count; ++i) {
    std::string n;
    switch (r.Below(5)) {
      case 0:
        std::snprintf(buf, sizeof buf, "IMG_%04d_%04d", 1998 + r.Below(27), r.Below(10000));
        n = buf;
        break;
      case 1:
        std::snprintf(buf, sizeof buf, "DSC%05d", r.Below(100000));
        n = buf;
        break;
      case 2:
        std::snprintf(buf, sizeof buf, "%02d - ", 1 + r.Below(20));
        n = std::string(buf) + words[r.Below(24)] + " - " + words[r.Below(24)] + " " + words[r.Below(24)];
        break;
      case 3:
        n = std::string(words[r.Below(24)]) + " " + words[r.Below(24)] + " " + std::to_string(1990 + r.Below(35));
        break;
      default:
        std::snprintf(buf, sizeof buf, "_%04d-%02d-%02d (%d)", 2000 + r.Below(25), 1 + r.Below(12), 1 + r.Below(28),
                      r.Below(9));
        n = std::string(words[r.Below(24)]) + buf;
        break;
    }
    names.push_back(n + exts[r.Below(8)]);
  }
  return names;
}

// CPU time of this thread: the machine may be shared, and time spent
// waiting for a core is no time of ours.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs f repeatedly in five slices of about 60 ms; returns the seconds per
// call of the fastest slice, the one least disturbed by other work.
double Time(const std::function<void()>& f) {
  f();  // warm-up
  double best = 1e300;
  for (int slice = 0; slice < 5; ++slice) {
    int reps = 0;
    const double start = CpuSeconds();
    double elapsed = 0;
    do {
      f();
      ++reps;
      elapsed = CpuSeconds() - start;
    } while (elapsed < 0.06);
    best = std::min(best, elapsed / reps);
  }
  return best;
}

struct TPcre {
  pcre2_code* code = nullptr;
  pcre2_match_data* md = nullptr;
  TPcre(const std::string& re, bool jit) {
    int err = 0;
    PCRE2_SIZE off = 0;
    code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(re.c_str()), re.size(), 0, &err, &off, nullptr);
    if (jit) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    md = pcre2_match_data_create_from_pattern(code, nullptr);
  }
  ~TPcre() {
    pcre2_match_data_free(md);
    pcre2_code_free(code);
  }
  // All matches the way our ExecNext steps; returns the total matched length + count.
  std::uint64_t All(const std::string& s) {
    std::uint64_t sum = 0;
    PCRE2_SIZE at = 0;
    while (at <= s.size()) {
      const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), at, 0, md, nullptr);
      if (rc < 0) break;
      const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
      sum += 1 + (ov[1] - ov[0]);
      at = ov[1] + (ov[1] == ov[0] ? 1 : 0);
    }
    return sum;
  }
  std::string Replace(const std::string& s, const std::string& templ) {
    std::string out(s.size() * 2 + 64, '\0');
    PCRE2_SIZE len = out.size();
    pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), 0, PCRE2_SUBSTITUTE_GLOBAL, md, nullptr,
                     reinterpret_cast<PCRE2_SPTR>(templ.data()), templ.size(),
                     reinterpret_cast<PCRE2_UCHAR*>(out.data()), &len);
    out.resize(len);
    return out;
  }
};

std::uint64_t OursAll(TRegexEngine& e, const std::string& s) {
  std::uint64_t sum = 0;
  for (bool ok = e.Exec(s); ok; ok = e.ExecNext()) sum += 1 + static_cast<std::uint64_t>(e.MatchLength(0));
  return sum;
}

std::uint64_t StdAll(const std::regex& re, const std::string& s) {
  std::uint64_t sum = 0;
  for (auto it = std::sregex_iterator(s.begin(), s.end(), re); it != std::sregex_iterator(); ++it)
    sum += 1 + static_cast<std::uint64_t>(it->length(0));
  return sum;
}

// Resident-set figures of this process in KiB (Linux); the peak can be reset
// so that one case's peak is measured against the memory held before it.
long StatusKiB(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long value = -1;
  const std::size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, n) == 0) value = std::atol(line + n);
  std::fclose(f);
  return value;
}
void ResetPeak() {
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

struct TExpr {
  const char* ours;
  const char* pcre;
  const char* std;
  bool icase;
  const char* templ;  // replace-all when set
};

void Row(const char* what, double ours, double fresh, double stdre, double pint, double pjit, const char* unit,
         double scale) {
  std::printf("%-24s %9.1f %9.1f %9.1f %9.1f %9.1f %s   x%-5.1f vs std, %4.2f of PCRE2\n", what, ours * scale,
              fresh * scale, stdre * scale, pint * scale, pjit * scale, unit, stdre / ours, ours / pint);
}

// Shapes that once ran out of steps although a real answer exists: bounded
// counted loops over a group, searches that meet one long run from every
// start position, and bounded loops over long subjects, which need more
// than the budget's 64 steps a character. Answer and CPU time of a fresh
// engine's first search (best of three), beside PCRE2's interpreter with its
// default match limit.
void BudgetShapes() {
  std::printf("Shapes once over the step budget: answer and time of a first search (best of 3)\n");
  const std::pair<const char*, std::string> shapes[] = {
      {"(x|x){1,30}y", std::string(30, 'x') + "zxy"},
      {"(.*x){12}y", "y" + std::string(30, 'x')},
      {"(x{1,99999999}){1,99999999}y", "y" + std::string(30, 'x') + "z"},
      {"\\w+\\d", std::string(std::size_t{1} << 20, 'x')},
      {"(\\w+) (\\w+)", std::string(2000, 'w') + " "},
      {"(x|x){1,30}y", "y" + std::string(3500, 'x')},
      {"(x|x){1,30}y", "y" + std::string(100000, 'x')},
      {"(.*x){12}y", "y" + std::string(10000, 'x')},
      {"(.*x){12}y", "y" + std::string(100000, 'x')}};
  for (const auto& [re, subject] : shapes) {
    std::string answer;
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
      TRegexEngine e;
      e.SetExpression(re);
      e.PrepareProgram();
      const double start = CpuSeconds();
      try {
        answer = e.Exec(subject) ? "match " + std::to_string(e.MatchStart(0)) + "+" + std::to_string(e.MatchLength(0))
                                 : "no match";
      } catch (const ERegexError& x) {
        answer = "error " + std::to_string(x.ErrorCode);
      }
      best = std::min(best, CpuSeconds() - start);
    }
    // PCRE2's interpreter tries a long run from every start, its match
    // limit counted per start: hours for 1 MiB of "\\w+\\d".
    if (subject.size() > (1u << 16)) {
      std::printf("%-30s %8zu chars  ours: %-12s %9.3f ms   pcre2: not run (long subject)\n", re, subject.size(),
                  answer.c_str(), best * 1e3);
      continue;
    }
    // PCRE2 takes no bound above 65535: the same loop unbounded.
    const std::string pre = std::string(re) == "(x{1,99999999}){1,99999999}y" ? "(x+)+y" : re;
    TPcre p(pre, false);
    const double pstart = CpuSeconds();
    const int rc = pcre2_match(p.code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0, p.md,
                               nullptr);
    const double pms = (CpuSeconds() - pstart) * 1e3;
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(p.md);
    std::printf("%-30s %8zu chars  ours: %-12s %9.3f ms   pcre2: rc %d %zu+%zu after %.3f ms\n", re, subject.size(),
                answer.c_str(), best * 1e3, rc, rc > 0 ? static_cast<std::size_t>(ov[0]) + 1 : 0,
                rc > 0 ? static_cast<std::size_t>(ov[1] - ov[0]) : 0, pms);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // "corpus": only the compile and file-name sections, for repeated runs;
  // "shapes": only the shapes once over the step budget.
  const bool corpusOnly = argc > 1 && std::string(argv[1]) == "corpus";
  if (argc > 1 && std::string(argv[1]) == "shapes") {
    BudgetShapes();
    return 0;
  }
  const std::vector<std::string> names = MakeNames(10000);
  const TExpr exprs[] = {
      {"\\d+", "\\d+", "\\d+", false, nullptr},
      {"^(\\w+)_(\\d{4})", "^(\\w+)_(\\d{4})", "^(\\w+)_(\\d{4})", false, nullptr},
      {"(?i)img", "(?i)img", "img", true, nullptr},
      {"[aeiou]", "[aeiou]", "[aeiou]", false, nullptr},
      {"(\\w+) (\\w+)", "(\\w+) (\\w+)", "(\\w+) (\\w+)", false, "$2 $1"},
      {"x*", "x*", "x*", false, nullptr},
      {".*\\.", ".*\\.", ".*\\.", false, nullptr},
  };

  std::printf("Corpus: %zu synthetic file names, e.g. \"%s\", \"%s\", \"%s\"\n\n", names.size(), names[0].c_str(),
              names[1].c_str(), names[2].c_str());

  std::printf("Compile, microseconds per expression\n");
  std::printf("%-24s %9s %9s %9s %9s %9s\n", "expression", "ours", "-", "std", "pcre2", "pcre2+jit");
  for (const TExpr& x : exprs) {
    const double ours = Time([&] {
      TRegexEngine e;
      e.SetExpression(x.ours);
      e.PrepareProgram();
    });
    const double stdre = Time([&] {
      std::regex re(x.std, x.icase ? std::regex::ECMAScript | std::regex::icase : std::regex::ECMAScript);
      g_sink += re.mark_count();
    });
    const double pint = Time([&] { TPcre p(x.pcre, false); });
    const double pjit = Time([&] { TPcre p(x.pcre, true); });
    Row(x.ours, ours, 0, stdre, pint, pjit, "us", 1e6);
  }

  std::printf("\nAll matches (replace-all with a template) over the 10,000 names, nanoseconds per name\n");
  std::printf("%-24s %9s %9s %9s %9s %9s\n", "expression", "cached", "fresh", "std", "pcre2", "pcre2+jit");
  TRegexCache cache;
  for (const TExpr& x : exprs) {
    std::uint64_t sums[5] = {0, 0, 0, 0, 0};
    std::regex stdre(x.std, x.icase ? std::regex::ECMAScript | std::regex::icase : std::regex::ECMAScript);
    TPcre pint(x.pcre, false);
    TPcre pjit(x.pcre, true);
    double t[5];
    if (x.templ) {
      const std::string templ = x.templ;
      t[0] = Time([&] {
        sums[0] = 0;
        for (const auto& n : names) sums[0] += cache.Engine(x.ours).ReplaceMatches(n, templ, true).size();
      });
      t[1] = Time([&] {
        sums[1] = 0;
        for (const auto& n : names) sums[1] += RegexReplaceAll(x.ours, n, templ, true).size();
      });
      t[2] = Time([&] {
        sums[2] = 0;
        for (const auto& n : names) sums[2] += std::regex_replace(n, stdre, templ).size();
      });
      t[3] = Time([&] {
        sums[3] = 0;
        for (const auto& n : names) sums[3] += pint.Replace(n, templ).size();
      });
      t[4] = Time([&] {
        sums[4] = 0;
        for (const auto& n : names) sums[4] += pjit.Replace(n, templ).size();
      });
    } else {
      t[0] = Time([&] {
        sums[0] = 0;
        for (const auto& n : names) sums[0] += OursAll(cache.Engine(x.ours), n);
      });
      t[1] = Time([&] {
        sums[1] = 0;
        for (const auto& n : names) {
          TRegexEngine e;
          e.SetExpression(x.ours);
          sums[1] += OursAll(e, n);
        }
      });
      t[2] = Time([&] {
        sums[2] = 0;
        for (const auto& n : names) sums[2] += StdAll(stdre, n);
      });
      t[3] = Time([&] {
        sums[3] = 0;
        for (const auto& n : names) sums[3] += pint.All(n);
      });
      t[4] = Time([&] {
        sums[4] = 0;
        for (const auto& n : names) sums[4] += pjit.All(n);
      });
    }
    const bool agree = sums[0] == sums[1] && sums[0] == sums[3] && sums[0] == sums[4];
    Row(x.ours, t[0], t[1], t[2], t[3], t[4], agree ? "ns" : "ns (RESULTS DIFFER)", 1e9 / names.size());
  }

  // Where the heap puts an engine must not change its speed: each search
  // writes the engine's group table, and stores that straddle a page
  // boundary cost more than a short search.
  std::printf("\nThe same expressions over the 10,000 names, engines at 32 heap placements, nanoseconds per name\n");
  std::printf("%-24s %9s %9s %9s\n", "expression", "fastest", "mean", "slowest");
  for (const TExpr& x : exprs) {
    if (x.templ) continue;
    constexpr int kPlacements = 32;
    std::vector<std::unique_ptr<TRegexEngine>> engines;
    std::vector<std::unique_ptr<char[]>> pads;
    for (int k = 0; k < kPlacements; ++k) {
      pads.push_back(std::make_unique<char[]>(static_cast<std::size_t>(16 + 48 * k)));
      engines.push_back(std::make_unique<TRegexEngine>());
      engines.back()->SetExpression(x.ours);
    }
    std::vector<double> best(kPlacements, 1e300);
    for (int round = 0; round < 5; ++round) {
      for (int k = 0; k < kPlacements; ++k) {
        const double start = CpuSeconds();
        for (const auto& n : names) g_sink += OursAll(*engines[static_cast<std::size_t>(k)], n);
        best[static_cast<std::size_t>(k)] = std::min(best[static_cast<std::size_t>(k)], CpuSeconds() - start);
      }
    }
    double sum = 0;
    for (const double b : best) sum += b;
    const double scale = 1e9 / static_cast<double>(names.size());
    std::printf("%-24s %9.1f %9.1f %9.1f ns\n", x.ours, *std::min_element(best.begin(), best.end()) * scale,
                sum / kPlacements * scale, *std::max_element(best.begin(), best.end()) * scale);
  }

  if (corpusOnly) return 0;
  std::printf("\nLong subjects (names joined by spaces), all matches, MB/s\n");
  std::printf("%-24s %9s %9s %9s %9s %9s\n", "expression / size", "ours", "-", "std", "pcre2", "pcre2+jit");
  std::string text;
  for (std::size_t i = 0; text.size() < (1u << 20); ++i) text += names[i % names.size()] + " ";
  for (const char* re : {"\\d+", "[aeiou]", "x*", "(\\w+) (\\w+)"}) {
    for (std::size_t size : {std::size_t{1} << 10, std::size_t{1} << 15, std::size_t{1} << 20}) {
      const std::string subject = text.substr(0, size);
      TRegexEngine e;
      e.SetExpression(re);
      std::regex stdre(re);
      TPcre pint(re, false);
      TPcre pjit(re, true);
      std::uint64_t a = 0, b = 0;
      const double t0 = Time([&] { a = OursAll(e, subject); });
      const double t2 = size <= (1u << 15) ? Time([&] { g_sink += StdAll(stdre, subject); }) : 0;
      const double t3 = Time([&] { b = pint.All(subject); });
      const double t4 = Time([&] { g_sink += pjit.All(subject); });
      char label[64];
      std::snprintf(label, sizeof label, "%s / %zu KiB", re, size >> 10);
      const double mb = static_cast<double>(size) / 1e6;
      std::printf("%-24s %9.1f %9s %9s %9.1f %9.1f MB/s %s", label, mb / t0, "-",
                  t2 > 0 ? std::to_string(static_cast<int>(mb / t2)).c_str() : "(slow)", mb / t3, mb / t4,
                  a == b ? "" : "(RESULTS DIFFER)");
      if (t2 > 0) std::printf("  x%.1f vs std,", t2 / t0);
      std::printf(" %.2f of PCRE2\n", t0 / t3);
    }
  }

  std::printf("\nComplex loops once per character, 1 MiB subject, first match: fresh engine, same engine again,\n"
              "extra peak resident memory of the first search\n");
  {
    TRng r;
    std::string xy;
    for (int i = 0; i < (1 << 20); ++i) xy += r.Below(2) ? 'x' : 'y';
    std::string xyz = xy;
    xyz.back() = 'z';
    std::string pairs;
    while (pairs.size() < (1u << 20)) pairs += "xy";
    const std::pair<const char*, const std::string*> shapes[] = {
        {"(x|y)*$", &xy}, {"(.)*z", &xyz}, {"(xy)*", &pairs}};
    for (const auto& [re, subject] : shapes) {
      TRegexEngine e;
      e.SetExpression(re);
      const long before = StatusKiB("VmRSS:");
      ResetPeak();
      std::string answer;
      const double start = CpuSeconds();
      try {
        answer = e.Exec(*subject) ? "match " + std::to_string(e.MatchStart(0)) + "+" + std::to_string(e.MatchLength(0))
                                  : "no match";
      } catch (const ERegexError& x) {
        answer = "error " + std::to_string(x.ErrorCode);
      }
      const double ms = (CpuSeconds() - start) * 1e3;
      const long peak = StatusKiB("VmHWM:") - before;
      const double again = CpuSeconds();
      try {
        e.Exec(*subject);
      } catch (const ERegexError&) {
      }
      const double ms2 = (CpuSeconds() - again) * 1e3;
      TPcre p(re, false);
      const int rc = pcre2_match(p.code, reinterpret_cast<PCRE2_SPTR>(subject->data()), subject->size(), 0, 0, p.md,
                                 nullptr);
      const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(p.md);
      std::printf("%-10s %8.1f ms %8.1f ms again %8.1f MiB peak   %-20s pcre2: rc %d %zu+%zu\n", re, ms, ms2,
                  static_cast<double>(peak) / 1024, answer.c_str(), rc, rc > 0 ? static_cast<std::size_t>(ov[0]) + 1 : 0,
                  rc > 0 ? static_cast<std::size_t>(ov[1] - ov[0]) : 0);
    }
  }

  std::printf("\nBacktracking-prone expressions on short subjects: answer and time (default step budget)\n");
  const std::string x30(30, 'x');
  std::string letters;
  while (letters.size() < 40) letters += "abcde1";
  letters.resize(40);
  const std::string a30(30, 'a');
  const std::pair<const char*, std::string> bad[] = {{"(x|x)*y", x30 + "!y"},
                                                     {"(x+)+y", x30 + "!y"},
                                                     {"([a-z]+\\d?)+!", letters + "?!"},
                                                     {"(.+)+x", "x" + a30},
                                                     {"(\\w+\\s?)+$", x30 + "!"},
                                                     {"a*a*a*a*a*a*a*a*a*b", a30 + "!b"},
                                                     {"(x|xx)*z", std::string(40, 'x') + "!z"}};
  for (const auto& [re, subject] : bad) {
    TRegexEngine e;
    e.SetExpression(re);
    std::string answer;
    const double start = CpuSeconds();
    try {
      answer = e.Exec(subject) ? "match " + std::to_string(e.MatchStart(0)) + "+" + std::to_string(e.MatchLength(0))
                               : "no match";
    } catch (const ERegexError& x) {
      answer = "error " + std::to_string(x.ErrorCode);
    }
    const double ms = (CpuSeconds() - start) * 1e3;
    TPcre p(re, false);
    const double pstart = CpuSeconds();
    const int rc = pcre2_match(p.code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0, p.md,
                               nullptr);
    const double pms = (CpuSeconds() - pstart) * 1e3;
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(p.md);
    std::printf("%-16s ours: %-14s after %8.2f ms   pcre2: rc %d %zu+%zu after %.2f ms\n", re, answer.c_str(), ms,
                rc, rc > 0 ? static_cast<std::size_t>(ov[0]) + 1 : 0, rc > 0 ? static_cast<std::size_t>(ov[1] - ov[0]) : 0,
                pms);
  }
  std::printf("\n");
  BudgetShapes();
  std::printf("\n(sink %llu)\n", static_cast<unsigned long long>(g_sink % 10));
  return 0;
}
