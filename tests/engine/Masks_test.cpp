// Tests of engine/Masks.h: the mask list's loading rules and matching,
// including the backtracking and extension-less cases.
#include "engine/Masks.h"

#include <gtest/gtest.h>

using namespace qv::engine;

namespace {
bool Matches(const char* maskText, const char* name) {
  TMaskList list;
  LoadMaskList(maskText, list);
  return NameMatchesMaskList(name, list);
}
}  // namespace

TEST(Masks, LoadingRules) {
  TMaskList l;
  LoadMaskList("", l);
  EXPECT_EQ(l, TMaskList{"*"});
  LoadMaskList("*.JPG; *.png", l);
  EXPECT_EQ(l, (TMaskList{" *.png", "*.jpg"}));  // sorted, blanks kept
  LoadMaskList("a;;b;", l);
  EXPECT_EQ(l, (TMaskList{"", "a", "b"}));
  LoadMaskList("*.txt;*.txt", l);
  EXPECT_EQ(l.size(), 2u);
  LoadMaskList("\xC9T\xC9*", l);  // locale lower case
  EXPECT_EQ(l, TMaskList{"\xE9t\xE9*"});
}

TEST(Masks, ExamplesAndEdgeCases) {
  struct Case {
    const char* mask;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"", "anything.dat", true},
      {"", "readme", true},
      {"*.*", "readme", true},  // extension-less names too
      {"*.*", "a.b", true},
      {"*.", "readme", true},
      {"*.", "a.txt", false},
      {"*.JPG", "a.jpg", true},
      {"*.jpg", "A.JPG", true},
      {"a?c.txt", "abc.txt", true},
      {"a?c.txt", "ac.txt", false},
      {"*a*b.txt", "xaxb.txt", true},
      {"*.jpg; *.png", "a.png", false},  // " *.png" wants a leading blank
      {"*.jpg; *.png", " a.png", true},
      {";", "a.txt", false},  // an empty mask matches nothing
      {"x;", "x", true},
      // Mended: backtracking to later occurrences after a star.
      {"*_?.jpg", "img_2_3.jpg", true},
      {"*ab", "aab", true},
      {"*a*a*a", "aaaa", true},
      {"a*b*c", "abbbc", true},
      {"a*b*c", "acb", false},
      {"*.tar.gz", "x.tar.tar.gz", true},
      // Mended: an exact mask finds the extension-less file of that name.
      {"readme", "readme", true},
      {"README", "readme", true},
      {"readme", "readme.txt", false},
      {"read*", "readme", true},
      {"????", "abcd", true},
      {"????", "abc", true},  // tried as "abc."
      {"????", "ab.c", true},
      {"?????", "abc", false},
      {"????.", "abcd", true},
      {"a?", "a", true},  // "a."
      {"a??", "a", false},
      {"*?", "a", true},
      {"?*", "", true},  // the empty name is tried as "."
  };
  for (const Case& c : cases) EXPECT_EQ(Matches(c.mask, c.name), c.match) << c.mask << " / " << c.name;
}

TEST(Masks, MaskMatchesNameDirect) {
  EXPECT_TRUE(MaskMatchesName("", "*"));
  EXPECT_FALSE(MaskMatchesName("abc", ""));
  EXPECT_FALSE(MaskMatchesName("abc", "*.*"));
  EXPECT_TRUE(MaskMatchesName("abc", "abc"));
  EXPECT_FALSE(MaskMatchesName("abcd", "abc"));
  EXPECT_TRUE(MaskMatchesName("abc", "***"));
  EXPECT_TRUE(MaskMatchesName("a?c", "a?c"));  // "?" matches the character "?" too
  EXPECT_TRUE(NameMatchesMaskList("x", TMaskList{}));
}

// Differential check against a plain recursive matcher on every mask and
// name over a small alphabet.
namespace {
bool Reference(const char* n, const char* m) {
  if (!*m) return !*n;
  if (*m == '*') return Reference(n, m + 1) || (*n && Reference(n + 1, m));
  if (!*n) return false;
  return (*m == '?' || *m == *n) && Reference(n + 1, m + 1);
}
void Enumerate(const std::string& alphabet, size_t maxLen, std::vector<std::string>& out) {
  out = {""};
  for (size_t i = 0, start = 0; i < maxLen; ++i) {
    const size_t end = out.size();
    for (size_t k = start; k < end; ++k)
      for (char c : alphabet) out.push_back(out[k] + c);
    start = end;
  }
}
}  // namespace

TEST(Masks, AgreesWithReferenceMatcher) {
  std::vector<std::string> masks, names;
  Enumerate("ab*?.", 4, masks);
  Enumerate("ab.", 5, names);
  for (const auto& m : masks) {
    if (m.empty() || m == "*" || m == "*.*") continue;  // special rules
    for (const auto& n : names)
      ASSERT_EQ(MaskMatchesName(n, m), Reference(n.c_str(), m.c_str())) << m << " / " << n;
  }
}
