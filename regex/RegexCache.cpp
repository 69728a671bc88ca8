// Least-recently-used store of engines keyed by expression and modifiers.
// Covered by tests/regex/Cache_test.cpp.
#include "regex/RegexCache.h"

namespace qv::regex {

TRegexCache::TRegexCache(std::size_t capacity) : m_capacity(capacity == 0 ? 1 : capacity) {}

TRegexEngine& TRegexCache::Engine(std::string_view expression, RegexModifiers modifiers) {
  // The key is what the engine keeps: the text up to its first NUL.
  const std::size_t nul = expression.find('\0');
  if (nul != std::string_view::npos) expression = expression.substr(0, nul);
  modifiers &= 63u;
  ++m_clock;
  for (TEntry& e : m_entries) {
    if (e.modifiers == modifiers && e.expression == expression) {
      e.lastUse = m_clock;
      // As fresh: whatever the last user changed of the search state goes.
      e.engine->ResetMatchState();
      e.engine->SetModifiers(modifiers);
      e.engine->SetStepBudget(kDefaultStepBudget);
      return *e.engine;
    }
  }
  if (m_entries.size() >= m_capacity) {
    std::size_t oldest = 0;
    for (std::size_t i = 1; i < m_entries.size(); ++i)
      if (m_entries[i].lastUse < m_entries[oldest].lastUse) oldest = i;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(oldest));
  }
  auto engine = std::make_unique<TRegexEngine>();
  engine->SetExpression(expression);
  engine->SetModifiers(modifiers);
  TRegexEngine& ref = *engine;
  m_entries.push_back(TEntry{std::string(expression), modifiers, m_clock, std::move(engine)});
  return ref;
}

}  // namespace qv::regex
