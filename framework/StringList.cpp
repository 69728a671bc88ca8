// String lists.
#include "framework/StringList.h"

#include <windows.h>

#include <algorithm>

#include "framework/Streams.h"

namespace qv::fw {

namespace {

// Upper case of a cp1252 byte; the collation decides order, this only
// breaks its ties, so it must agree with it on what "same letter" means.
unsigned char Fold(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

int CompareBytes(const std::string& a, const std::string& b, bool fold) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (fold) {
      x = Fold(x);
      y = Fold(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool NeedsQuotes(const std::string& s) {
  if (s.empty()) return true;
  for (unsigned char c : s)
    if (c <= ' ' || c == '"' || c == ',') return true;
  return false;
}

}  // namespace

size_t TStringList::Checked(int index) const {
  if (index < 0 || index >= Count())
    throw EStringListError("Index de liste hors limites (" + std::to_string(index) + ")");
  return static_cast<size_t>(index);
}

int TStringList::Compare(const std::string& a, const std::string& b) const {
  const DWORD flags = SORT_STRINGSORT | (m_caseSensitive ? 0 : NORM_IGNORECASE);
  const int r = CompareStringA(LOCALE_INVARIANT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  if (r == CSTR_LESS_THAN) return -1;
  if (r == CSTR_GREATER_THAN) return 1;
  return CompareBytes(a, b, !m_caseSensitive);
}

bool TStringList::Find(const std::string& s, int& index) const {
  auto it = std::lower_bound(m_items.begin(), m_items.end(), s,
                             [this](const std::string& item, const std::string& key) { return Compare(item, key) < 0; });
  index = static_cast<int>(it - m_items.begin());
  return it != m_items.end() && Compare(*it, s) == 0;
}

int TStringList::IndexOf(const std::string& s) const {
  if (m_sorted) {
    int i = 0;
    return Find(s, i) ? i : -1;
  }
  for (size_t i = 0; i < m_items.size(); ++i)
    if (Compare(m_items[i], s) == 0) return static_cast<int>(i);
  return -1;
}

int TStringList::Add(const std::string& s) {
  if (!m_sorted) {
    const int before = Count();
    Insert(before, s);
    return Count() > before ? before : -1;
  }
  int at = 0;
  if (Find(s, at)) {
    if (m_duplicates == TDuplicates::Ignore) return -1;
    if (m_duplicates == TDuplicates::Error) throw EStringListError("La liste n'accepte pas les doublons (\"" + s + "\")");
  }
  m_items.insert(m_items.begin() + at, s);
  return at;
}

void TStringList::AddStrings(const std::vector<std::string>& items) {
  for (const auto& s : items) Add(s);
}

void TStringList::Insert(int index, const std::string& s) {
  if (m_sorted) throw EStringListError("Opération impossible sur une liste triée");
  if (index < 0 || index > Count())
    throw EStringListError("Index de liste hors limites (" + std::to_string(index) + ")");
  if (m_duplicates != TDuplicates::Accept && IndexOf(s) >= 0) {
    if (m_duplicates == TDuplicates::Ignore) return;
    throw EStringListError("La liste n'accepte pas les doublons (\"" + s + "\")");
  }
  m_items.insert(m_items.begin() + index, s);
}

void TStringList::Put(int index, const std::string& s) {
  if (m_sorted) throw EStringListError("Opération impossible sur une liste triée");
  m_items[Checked(index)] = s;
}

void TStringList::Delete(int index) { m_items.erase(m_items.begin() + static_cast<long>(Checked(index))); }

void TStringList::Move(int from, int to) {
  if (m_sorted) throw EStringListError("Opération impossible sur une liste triée");
  const size_t f = Checked(from), t = Checked(to);
  if (f == t) return;
  std::string s = std::move(m_items[f]);
  m_items.erase(m_items.begin() + static_cast<long>(f));
  m_items.insert(m_items.begin() + static_cast<long>(t), std::move(s));
}

void TStringList::Exchange(int a, int b) {
  if (m_sorted) throw EStringListError("Opération impossible sur une liste triée");
  std::swap(m_items[Checked(a)], m_items[Checked(b)]);
}

void TStringList::SetSorted(bool v) {
  if (v == m_sorted) return;
  m_sorted = v;
  if (v) Sort();
}

void TStringList::SetCaseSensitive(bool v) {
  if (v == m_caseSensitive) return;
  m_caseSensitive = v;
  if (m_sorted) Sort();
}

void TStringList::Sort() {
  std::stable_sort(m_items.begin(), m_items.end(),
                   [this](const std::string& a, const std::string& b) { return Compare(a, b) < 0; });
}

void TStringList::CustomSort(const std::function<bool(const std::string&, const std::string&)>& less) {
  m_sorted = false;
  std::stable_sort(m_items.begin(), m_items.end(), less);
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& s : m_items) {
    out += s;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  Replace(lines);
}

std::string TStringList::CommaText() const {
  std::string out;
  for (size_t i = 0; i < m_items.size(); ++i) {
    if (i) out += ',';
    const std::string& s = m_items[i];
    if (!NeedsQuotes(s)) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStringList::SetCommaText(const std::string& text) {
  std::vector<std::string> items;
  size_t p = 0;
  const size_t n = text.size();
  auto blank = [&](size_t i) { return i < n && static_cast<unsigned char>(text[i]) <= ' '; };
  while (blank(p)) ++p;
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',') item += text[p++];
    }
    items.push_back(std::move(item));
    while (blank(p)) ++p;
    if (p < n && text[p] == ',') {
      do ++p;
      while (blank(p));
    }
  }
  Replace(items);
}

void TStringList::Replace(const std::vector<std::string>& items) {
  TStringList copy;
  copy.m_sorted = m_sorted;
  copy.m_caseSensitive = m_caseSensitive;
  copy.m_duplicates = m_duplicates;
  copy.AddStrings(items);  // may throw; this list is then unchanged
  m_items = std::move(copy.m_items);
}

bool TStringList::LoadFromStream(TStream& stream) {
  const std::string bytes = stream.ReadRest();
  try {
    SetText(bytes);
  } catch (const EStringListError&) {
    return false;  // a refused duplicate
  }
  return true;
}

bool TStringList::SaveToStream(TStream& stream) const { return stream.WriteText(Text()); }

bool TStringList::LoadFromFile(const std::wstring& path) {
  TFileStream f;
  return f.Open(path, TFileMode::Read) && LoadFromStream(f);
}

bool TStringList::SaveToFile(const std::wstring& path) const {
  TFileStream f;
  return f.Open(path, TFileMode::Create) && SaveToStream(f);
}

}  // namespace qv::fw
