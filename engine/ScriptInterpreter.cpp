// Script-tag interpreter; see ScriptInterpreter.h.
#include "engine/ScriptInterpreter.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/DateTime.h"
#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

constexpr size_t npos = std::string_view::npos;

// A decimal integer with an optional sign; anything else (an empty text,
// other characters, a value outside 32 bits) is not a number and gives 0.
int32_t ParseInt(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return 0;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return 0;
    v = v * 10 + (c - '0');
    if (v > int64_t{INT32_MAX} + 1) return 0;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return 0;
  return static_cast<int32_t>(v);
}

// How many characters a count takes from a text of the given size: none
// for 0 or a negative count, never more than there are.
size_t Clamp(int64_t count, size_t size) {
  if (count <= 0) return 0;
  return std::min(static_cast<size_t>(count), size);
}

// One tag, without its brackets, taken apart.
struct TTag {
  std::string text;        // after the reduction of a "??" separator
  char letter = 0;         // first character, upper-cased
  size_t eq = npos;        // first "="
  size_t sep = npos;       // separator, only when it lies after eq
  int32_t count = 0;       // N
  std::string cmp;         // comparison text, upper-cased
  std::string_view repl;   // NEW (into text)
};

void ParseTag(std::string_view tag, TTag& t) {
  t.text.assign(tag);
  t.sep = npos;
  t.count = 0;
  t.cmp.clear();
  t.repl = {};
  t.letter = AnsiUpperChar(t.text[0]);
  t.eq = t.text.find('=');
  if (t.eq != npos) {
    const size_t twin = t.text.find("??");
    if (twin != npos) {
      t.text.erase(twin + 1, 1);
      if (twin < t.eq) --t.eq;
      t.sep = twin;
    } else {
      t.sep = t.text.find('?');
    }
    if (t.sep != npos && t.sep < t.eq) t.sep = npos;
  }
  const std::string_view text = t.text;
  if (t.sep != npos) t.repl = text.substr(t.sep + 1);
  if (t.letter == '$') return;
  if (t.eq == npos) {
    t.count = ParseInt(text.substr(1));
    return;
  }
  t.count = ParseInt(text.substr(1, t.eq - 1));
  const size_t cmpEnd = t.sep == npos ? text.size() : t.sep;
  t.cmp = AnsiUpperCase(text.substr(t.eq + 1, cmpEnd - t.eq - 1));
}

// "[n]" or "[f-n]" at the end of a D, E or M word: the word is cut at the
// first "[", and the range read up to the next "]".
struct TRange {
  int32_t from = 0;
  int32_t count = 0;
};

TRange CutRange(std::string_view& word) {
  TRange r;
  const size_t open = word.find('[');
  if (open == npos) return r;
  const std::string_view after = word.substr(open + 1);
  word = word.substr(0, open);
  const size_t close = after.find(']');
  if (close == npos) return r;
  const std::string_view inside = after.substr(0, close);
  const size_t dash = inside.find('-');
  if (dash == npos) {
    r.count = ParseInt(inside);
  } else {
    r.from = ParseInt(inside.substr(0, dash));
    r.count = ParseInt(inside.substr(dash + 1));
  }
  return r;
}

// A negative number in a range counts as 0; a range past the value's end
// gives what there is.
std::string_view ApplyRange(std::string_view value, TRange r) {
  const int64_t from = std::max<int64_t>(r.from, 0);
  const int64_t count = std::max<int64_t>(r.count, 0);
  if (from == 0) return count == 0 ? value : value.substr(0, Clamp(count, value.size()));
  if (count == 0 || static_cast<uint64_t>(from) > value.size()) return {};
  const size_t start = static_cast<size_t>(from - 1);
  return value.substr(start, Clamp(count, value.size() - start));
}

// Steps left to an expansion (kScriptStepBudget).
class TStepBudget {
public:
  bool Spend(uint64_t steps) {
    if (steps > m_left) {
      m_left = 0;
      return false;
    }
    m_left -= steps;
    return true;
  }

private:
  uint64_t m_left = kScriptStepBudget;
};

// What one search for cmp in text from 'from' may cost: a compare at every
// place where cmp could start, up to where it was found.
uint64_t SearchCost(std::string_view text, std::string_view cmp, size_t from, size_t at) {
  const size_t end = at != npos ? at + 1 : text.size() >= cmp.size() ? text.size() - cmp.size() + 1 : 0;
  return uint64_t{end > from ? end - from : 0} * cmp.size() + 1;
}

// "<Rn=old?new>": replaces n characters at each occurrence of cmp by repl,
// searching on after the inserted text. Everything before the search point
// is final, so the result is built in one pass. With an empty repl the
// search stops when the next occurrence starts where the last one was.
bool ReplaceAll(std::string& s, std::string_view cmp, size_t n, std::string_view repl, TStepBudget& budget) {
  const std::string upper = AnsiUpperCase(s);
  size_t at = upper.find(cmp);
  if (!budget.Spend(SearchCost(upper, cmp, 0, at))) return false;
  if (at == npos) return true;
  std::string out;
  out.reserve(s.size() + repl.size());
  size_t pos = 0;
  for (;;) {
    out.append(s, pos, at - pos);
    out.append(repl);
    if (out.size() > kMaxScriptText || !budget.Spend(at - pos + repl.size())) return false;
    pos = at + std::min(n, s.size() - at);
    const size_t next = upper.find(cmp, pos);
    if (!budget.Spend(SearchCost(upper, cmp, pos, next))) return false;
    if (next == npos || (repl.empty() && next == pos)) break;
    at = next;
  }
  out.append(s, pos, npos);
  if (out.size() > kMaxScriptText) return false;
  s = std::move(out);
  return true;
}

// "<Sn=text>": deletes n characters at the first occurrence of cmp while
// there is one. A deletion can only make a new occurrence that spans the
// place where it cut, so each search starts just before that place.
bool SuppressAll(std::string& s, std::string_view cmp, size_t n, TStepBudget& budget) {
  std::string upper = AnsiUpperCase(s);
  size_t from = 0;
  for (;;) {
    const size_t at = upper.find(cmp, from);
    if (!budget.Spend(SearchCost(upper, cmp, from, at))) return false;
    if (at == npos) return true;
    const size_t k = std::min(n, s.size() - at);
    if (!budget.Spend(s.size() - at)) return false;
    s.erase(at, k);
    upper.erase(at, k);
    from = at >= cmp.size() - 1 ? at - (cmp.size() - 1) : 0;
  }
}

}  // namespace

std::string ReplaceForbiddenChars(std::string_view text, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    // A control character in a tag value would make the name unusable and
    // the report no longer plain text.
    const unsigned char u = static_cast<unsigned char>(c);
    if (IsForbiddenChar(c) || (u >= 1 && u < 32))
      out.append(replacement);
    else
      out += c;
  }
  return out;
}

// One run of ExpandScript: the texts of the interpreter's data model.
class TScriptExpansion {
public:
  TScriptExpansion(TScriptInterpreter& in, size_t fileIndex, std::string_view oldFullName, std::string_view source)
      : m_in(in), m_fileIndex(fileIndex), m_oldFullName(oldFullName), m_source(source) {}

  // The expanded text, or nullopt when the script fails.
  std::optional<std::string> Run(std::string_view model) {
    for (;;) {
      const size_t lt = model.find('<');
      if (lt == npos) break;
      m_output.append(model.substr(0, lt));
      model.remove_prefix(lt);
      const size_t gt = model.find('>');
      if (gt == npos) {
        model = {};
        break;
      }
      const std::string_view tag = model.substr(1, gt - 1);
      const bool last = gt + 1 == model.size();
      if (!tag.empty() && !Apply(tag, last)) return std::nullopt;
      model.remove_prefix(gt + 1);
    }
    m_output += m_source;
    m_output.append(model);
    return std::move(m_output);
  }

private:
  bool Apply(std::string_view tag, bool last) {
    // Every tag may copy or move what it parses and what SOURCE holds.
    if (!m_budget.Spend(tag.size() + m_source.size() + 1)) return false;
    ParseTag(tag, m_tag);
    switch (m_tag.letter) {
      case 'G':
      case 'U':
      case 'L':
      case 'A':
        Take(last);
        return true;
      case 'C':
        Cut();
        return true;
      case 'R':
        if (m_tag.eq == npos || m_tag.count <= 0 || m_tag.sep == npos || m_tag.cmp.empty()) return true;
        return ReplaceAll(m_source, m_tag.cmp, static_cast<size_t>(m_tag.count), m_tag.repl, m_budget);
      case 'S':
        // An empty comparison text never occurs (it would be found forever).
        if (m_tag.eq == npos || m_tag.count < 1 || m_tag.cmp.empty()) return true;
        return SuppressAll(m_source, m_tag.cmp, static_cast<size_t>(m_tag.count), m_budget);
      case '$':
        return Value();
      default:
        return true;
    }
  }

  bool Matches() const {
    const std::string& cmp = m_tag.cmp;
    if (m_source.size() < cmp.size()) return false;
    for (size_t i = 0; i < cmp.size(); ++i)
      if (AnsiUpperChar(m_source[i]) != cmp[i]) return false;
    return true;
  }

  // G, U, L, A: append the N characters (changed, unchanged or not at all
  // by the compare form), then consume them.
  void Take(bool last) {
    const size_t n = Clamp(m_tag.count, m_source.size());
    const std::string_view chars = std::string_view(m_source).substr(0, n);
    const bool change = m_tag.eq == npos || Matches();
    if (change) {
      switch (m_tag.letter) {
        case 'U': m_output += AnsiUpperCase(chars); break;
        case 'L': m_output += AnsiLowerCase(chars); break;
        case 'A': m_output += FoldAccents(chars); break;
        default: m_output.append(chars); break;
      }
    } else if (m_tag.letter != 'G') {
      m_output.append(chars);
    }
    m_source.erase(0, n);
    if (last) m_source.clear();
  }

  // C: the N characters go away, kept in OUTPUT only when a compare form
  // does not match; SOURCE is never cleared.
  void Cut() {
    const size_t n = Clamp(m_tag.count, m_source.size());
    if (m_tag.eq != npos && !Matches()) m_output.append(m_source, 0, n);
    m_source.erase(0, n);
  }

  bool Value() {
    const std::string& t = m_tag.text;
    if (t.size() < 2) return true;
    const char kind = AnsiUpperChar(t[1]);
    if (t.size() == 2) {
      if (kind == 'D' || kind == 'F') m_output += m_in.m_folderName;
      return true;
    }
    switch (kind) {
      case 'D':
      case 'E':
      case 'M':
        if (t[2] == '_') NamedValue(kind, std::string_view(t).substr(3));
        return true;
      case 'L':
      case 'U':
        if (t[2] != '=') return true;
        return Regex(m_in.m_values->RegexCase(std::string_view(t).substr(3), m_source, kind == 'U'));
      case 'X':
        if (t[2] != '=' || m_tag.sep == npos) return true;
        return Regex(m_in.m_values->RegexReplace(std::string_view(t).substr(3, m_tag.sep - 3), m_tag.repl, m_source));
      default:
        return true;
    }
  }

  void NamedValue(char kind, std::string_view word) {
    const TRange range = CutRange(word);
    if (word.empty()) return;
    std::string value;
    if (kind == 'D') {
      value = m_in.FileDateTag(m_fileIndex, word);
      if (!value.empty() && !m_in.m_values->FileExists(File())) value.clear();
    } else if (kind == 'E') {
      value = m_in.m_values->ExifValue(File(), word);
    } else {
      value = m_in.m_values->Mp3Value(File(), word);
    }
    m_output += ReplaceForbiddenChars(ApplyRange(value, range), m_in.m_options.ReplaceChar);
  }

  bool Regex(const std::optional<std::string>& value) {
    if (!value) return false;
    m_output += ReplaceForbiddenChars(*value, m_in.m_options.ReplaceChar);
    m_source.clear();
    return true;
  }

  const TScriptFile& File() {
    if (m_path.empty()) {
      m_path = AddTrailingBackslash(m_in.m_options.Directory);
      m_path += m_oldFullName;
      m_file = TScriptFile{m_fileIndex, m_oldFullName, m_path, ++m_in.m_expansions};
    }
    return m_file;
  }

  TScriptInterpreter& m_in;
  const size_t m_fileIndex;
  const std::string_view m_oldFullName;
  std::string m_source;
  std::string m_output;
  TTag m_tag;
  TStepBudget m_budget;
  std::string m_path;
  TScriptFile m_file;
};

TScriptInterpreter::TScriptInterpreter(const TProgramOptions& options, const TFileListing& listing,
                                       TScriptValues* values)
    : m_options(options), m_listing(listing), m_values(values ? values : &m_noValues) {}

void TScriptInterpreter::SetValues(TScriptValues* values) { m_values = values ? values : &m_noValues; }

std::string TScriptInterpreter::ExpandScript(size_t fileIndex, std::string_view model, std::string_view oldFullName,
                                             std::string_view source) {
  try {
    TScriptExpansion run(*this, fileIndex, oldFullName, source);
    if (std::optional<std::string> result = run.Run(model)) return std::move(*result);
  } catch (...) {
    // A fault of any kind, here or in a value reader, gives SOURCE back.
  }
  return std::string(source);
}

std::string TScriptInterpreter::FileDateTag(size_t fileIndex, std::string_view which) const {
  if (fileIndex >= m_listing.Count()) return {};
  const TFileObject& f = m_listing.Item(fileIndex);
  const std::string word = AnsiUpperCase(which);
  TDateTime value;
  if (word == "CREATE")
    value = f.Created;
  else if (word == "LASTWRITE")
    value = f.Modified;
  else if (word == "ACCESS")
    value = f.Accessed;
  else
    return {};
  return DateTimeToStr(value);
}

}  // namespace qv::engine
