// Tests of engine/Collation.h: the sort order of the file list's text
// columns.
#include "engine/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace qv::engine;

TEST(Collation, OrderOfClasses) {
  std::vector<std::string> in = {"b", "\xE9t\xE9", "_x", "10", "2", "A", "ete", "Zoo", "\xC6on", "adam",
                                 " a", "9"};
  std::sort(in.begin(), in.end(), [](const std::string& a, const std::string& b) {
    return CompareTextCollated(a, b) < 0;
  });
  const std::vector<std::string> want = {" a", "_x", "10", "2", "9", "A", "adam", "\xC6on", "b", "ete",
                                         "\xE9t\xE9", "Zoo"};
  EXPECT_EQ(in, want);
}

TEST(Collation, CaseIgnoredAccentsLast) {
  EXPECT_EQ(CompareTextCollated("Photo.JPG", "photo.jpg"), 0);
  EXPECT_EQ(CompareTextCollated("\xC9T\xC9", "\xE9t\xE9"), 0);  // ÉTÉ = été
  EXPECT_LT(CompareTextCollated("cote", "c\xF4te"), 0);
  EXPECT_LT(CompareTextCollated("c\xF4te", "cotf"), 0);        // accent weaker than letters
  EXPECT_LT(CompareTextCollated("ab", "a-b"), 0);              // hyphen only breaks ties
  EXPECT_LT(CompareTextCollated("a-b", "ac"), 0);
  EXPECT_LT(CompareTextCollated("a", "ab"), 0);
  EXPECT_EQ(CompareTextCollated("stra\xDF" "e", "STRASSE") != 0, true);  // ß sorts as ss, accent differs
  EXPECT_LT(CompareTextCollated("strasse", "stra\xDF" "e"), 0);
  EXPECT_LT(CompareTextCollated("stra\xDF" "e", "strast"), 0);
}

TEST(Collation, KeysHaveNoZeroBytes) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  const std::string key = CollationKey(all);
  EXPECT_EQ(key.find('\0'), std::string::npos);
  // Every byte sorts somewhere consistent: a total order over single bytes.
  for (int a = 1; a < 256; ++a)
    for (int b = 1; b < 256; ++b) {
      const int ab = CompareTextCollated(std::string(1, static_cast<char>(a)), std::string(1, static_cast<char>(b)));
      const int ba = CompareTextCollated(std::string(1, static_cast<char>(b)), std::string(1, static_cast<char>(a)));
      ASSERT_EQ(ab, -ba) << a << " " << b;
    }
}
