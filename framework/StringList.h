// TStringList: an ordered list of cp1252 strings, or a sorted one (kept in
// order on every Add, searched by binary search). The duplicates policy
// (accept by default, ignore, or error) holds for both kinds.
// Texts: Text (lines ended by CR LF), CommaText (comma-separated, items
// with blanks, commas or quotes double-quoted). Comparison is linguistic
// and the same on every machine (invariant locale, not the user's), case-
// insensitive unless CaseSensitive; strings that differ only in bytes the
// collation ignores are still told apart, so IndexOf finds the exact item.
// Misuse (Insert into a sorted list, a refused duplicate, a bad index) throws
// EStringListError. Not thread-safe.
// Example:  TStringList l; l.SetSorted(true); l.Add("b"); l.Add("a"); l.CommaText() == "a,b"
// Tested by tests/framework/StringList_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Exception.h"

namespace qv::fw {

class TStream;

class EStringListError : public EQvError {
public:
  using EQvError::EQvError;
};

enum class TDuplicates { Accept, Ignore, Error };

class TStringList {
public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items) : m_items(items) {}

  // --- Items
  int Count() const { return static_cast<int>(m_items.size()); }
  bool Empty() const { return m_items.empty(); }
  const std::string& operator[](int index) const { return m_items.at(Checked(index)); }
  const std::string& Strings(int index) const { return (*this)[index]; }
  // Put, Insert, Move and Exchange need an unsorted list.
  void Put(int index, const std::string& s);
  const std::vector<std::string>& Items() const { return m_items; }
  std::vector<std::string>::const_iterator begin() const { return m_items.begin(); }
  std::vector<std::string>::const_iterator end() const { return m_items.end(); }

  // Adds at the end (or at its sorted place); the index, or -1 when a
  // duplicate was ignored.
  int Add(const std::string& s);
  void AddStrings(const std::vector<std::string>& items);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear() { m_items.clear(); }
  void Move(int from, int to);
  void Exchange(int a, int b);
  // -1 when absent.
  int IndexOf(const std::string& s) const;
  // Sorted lists: true when found; index is where it is or would go.
  bool Find(const std::string& s, int& index) const;

  // --- Order and policy
  bool Sorted() const { return m_sorted; }
  void SetSorted(bool v);  // sorts now when turned on
  TDuplicates Duplicates() const { return m_duplicates; }
  void SetDuplicates(TDuplicates d) { m_duplicates = d; }
  bool CaseSensitive() const { return m_caseSensitive; }
  void SetCaseSensitive(bool v);
  void Sort();
  // Sorts by a caller's order (a < b); the list is no longer Sorted.
  void CustomSort(const std::function<bool(const std::string&, const std::string&)>& less);
  // <0, 0, >0 by the list's comparison.
  int Compare(const std::string& a, const std::string& b) const;

  // --- Texts
  // Each item followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a final line break adds no empty item. With
  // the Error policy a duplicate throws and leaves the list as it was.
  void SetText(const std::string& text);
  std::string CommaText() const;
  // Items separated by commas or blanks; "..." items may hold both, with ""
  // for a quote inside.
  void SetCommaText(const std::string& text);

  // --- Files (bytes as they are, cp1252); false on any failure, leaving
  // the list unchanged on a failed load.
  bool LoadFromStream(TStream& stream);
  bool SaveToStream(TStream& stream) const;
  bool LoadFromFile(const std::wstring& path);
  bool SaveToFile(const std::wstring& path) const;

private:
  size_t Checked(int index) const;
  void Replace(const std::vector<std::string>& items);
  std::vector<std::string> m_items;
  bool m_sorted = false;
  bool m_caseSensitive = false;
  TDuplicates m_duplicates = TDuplicates::Accept;
};

}  // namespace qv::fw
