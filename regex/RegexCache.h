// TRegexCache: compiled expressions kept for callers that apply the same few
// expressions again and again (the script tags, for every row on every
// repaint). Engine() gives an engine in the state a fresh one would have
// after SetExpression and SetModifiers (default settings, no input, no
// match), whose program is compiled at most once.
//
//   TRegexCache cache;
//   TRegexEngine& re = cache.Engine("(\\d+)");
//   if (re.Exec(name)) ...
//
// The reference stays valid until the next Engine() call or Clear(). Its
// modifiers and step budget are set back at each Engine() call; do not change
// its character settings (use an engine of your own for that). An expression that does not compile raises its error at each search,
// as a fresh engine would. Covered by tests/regex/Cache_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/RegexEngine.h"

namespace qv::regex {

class TRegexCache {
public:
  explicit TRegexCache(std::size_t capacity = 32);
  TRegexCache(const TRegexCache&) = delete;
  TRegexCache& operator=(const TRegexCache&) = delete;

  TRegexEngine& Engine(std::string_view expression, RegexModifiers modifiers = DefaultModifiers);
  void Clear() { m_entries.clear(); }
  std::size_t Size() const { return m_entries.size(); }

private:
  struct TEntry {
    std::string expression;
    RegexModifiers modifiers;
    std::uint64_t lastUse;
    std::unique_ptr<TRegexEngine> engine;
  };
  std::size_t m_capacity;
  std::uint64_t m_clock = 0;
  std::vector<TEntry> m_entries;
};

}  // namespace qv::regex
