// String and character-set routines of the input controls.
#include "services/QxStrUtils.h"

namespace qv::controls {

TCharSet MakeCharSet(std::string_view chars) {
  TCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

bool SetHasChar(char c, const TCharSet& set) { return set.test(static_cast<unsigned char>(c)); }

bool AllCharsIn(std::string_view s, const TCharSet& set) {
  for (char c : s)
    if (!SetHasChar(c, set)) return false;
  return true;
}

std::string ReplaceAll(std::string_view s, std::string_view search, std::string_view replacement) {
  if (search.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t from = 0;
  for (;;) {
    const size_t at = s.find(search, from);
    if (at == std::string_view::npos) break;
    out.append(s.substr(from, at - from));
    out.append(replacement);
    from = at + search.size();
  }
  out.append(s.substr(from));
  return out;
}

std::string RemoveChar(std::string_view s, char c) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s)
    if (ch != c) out.push_back(ch);
  return out;
}

std::string TrimLeadingSpaces(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return std::string(s.substr(i));
}

std::string TrimTrailingSpaces(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
}

std::string TrimSpaces(std::string_view s) { return TrimLeadingSpaces(TrimTrailingSpaces(s)); }

std::string RepeatChar(char c, int n) { return n > 0 ? std::string(static_cast<size_t>(n), c) : std::string(); }

int NthWordStart(int n, std::string_view s, const TCharSet& delimiters) {
  if (n < 1) return 0;
  int count = 0;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && SetHasChar(s[i], delimiters)) ++i;
    if (i >= s.size()) break;
    if (++count == n) return static_cast<int>(i) + 1;
    while (i < s.size() && !SetHasChar(s[i], delimiters)) ++i;
  }
  return 0;
}

std::string NthWord(int n, std::string_view s, const TCharSet& delimiters) {
  const int start = NthWordStart(n, s, delimiters);
  if (start == 0) return {};
  size_t end = static_cast<size_t>(start) - 1;
  while (end < s.size() && !SetHasChar(s[end], delimiters)) ++end;
  return std::string(s.substr(static_cast<size_t>(start) - 1, end - (static_cast<size_t>(start) - 1)));
}

}  // namespace qv::controls
