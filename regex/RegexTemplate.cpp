// Substitution: replace-all over successive matches and the expansion of
// "$n" / "${n}" / "$&" templates. Covered by tests/regex/Template_test.cpp.
#include <climits>

#include "regex/RegexEngine.h"

namespace qv::regex {

std::string TRegexEngine::ReplaceMatches(std::string_view input, std::string_view templ, bool expand) {
  std::string result;
  std::size_t copied = 0;
  if (Exec(input)) {
    do {
      const auto start = static_cast<std::size_t>(m_starts[0]);
      result.append(input.substr(copied, start - copied));
      if (expand)
        result += ExpandTemplate(templ);
      else
        result.append(templ);
      copied = static_cast<std::size_t>(m_ends[0]);
    } while (ExecNext());
  }
  // The rest of the text as given, past a NUL the search stopped at.
  result.append(input.substr(copied));
  return result;
}

std::string TRegexEngine::ExpandTemplate(std::string_view templ) {
  PrepareProgram();
  if (!m_hasInput) Fail(1005);
  std::string out;
  const std::size_t n = templ.size();
  out.reserve(n);
  for (std::size_t i = 0; i < n;) {
    const char c = templ[i];
    if (c == '\\') {
      if (i + 1 < n) {
        out.push_back(templ[i + 1]);
        i += 2;
      } else {
        out.push_back(c);
        ++i;
      }
      continue;
    }
    if (c != '$') {
      out.push_back(c);
      ++i;
      continue;
    }
    // A group reference: ${...} or $..., holding '&' or decimal digits.
    std::size_t j = i + 1;
    const bool brace = j < n && templ[j] == '{';
    if (brace) ++j;
    long long group = -1;
    if (j < n && templ[j] == '&') {
      group = 0;
      ++j;
    } else if (j < n && templ[j] >= '0' && templ[j] <= '9') {
      group = 0;
      for (; j < n && templ[j] >= '0' && templ[j] <= '9'; ++j) {
        group = group * 10 + (templ[j] - '0');
        if (group > INT_MAX) group = INT_MAX;  // saturates: a huge number is just no group
      }
    }
    if (brace) {
      if (j < n && templ[j] == '}') {
        ++j;
        if (group < 0) group = 0;
      } else {
        group = -1;
      }
    }
    if (group < 0) {
      out.push_back(c);
      ++i;
      continue;
    }
    if (group <= 14 && m_starts[group] >= 0 && m_ends[group] >= 0)
      out.append(m_input, static_cast<std::size_t>(m_starts[group]),
                 static_cast<std::size_t>(m_ends[group] - m_starts[group]));
    i = j;
  }
  return out;
}

std::string RegexReplaceAll(std::string_view expression, std::string_view input, std::string_view templ,
                            bool expand) {
  TRegexEngine engine;
  engine.SetExpression(expression);
  return engine.ReplaceMatches(input, templ, expand);
}

}  // namespace qv::regex
