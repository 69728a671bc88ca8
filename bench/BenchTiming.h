// What every benchmark times with: milliseconds between clock readings, the
// best of several runs (the one least disturbed by the other work of a
// shared machine), and decimal numbers as UTF-16 for generated file names.
// Header-only; benchmarks print figures, nothing here asserts.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>

namespace qv::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}
inline double Ms(Clock::time_point since) { return Ms(since, Clock::now()); }

template <typename F>
double Best(int runs, F f) {
  double best = 1e18;
  for (int i = 0; i < runs; ++i) {
    const auto a = Clock::now();
    f();
    best = std::min(best, Ms(a, Clock::now()));
  }
  return best;
}

inline std::u16string Num(size_t n) {
  std::u16string s;
  for (char c : std::to_string(n)) s += static_cast<char16_t>(c);
  return s;
}

}  // namespace qv::bench
