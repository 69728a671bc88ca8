// String and character-set routines shared by the input controls: 8-bit
// (cp1252) text, 1-based positions as the controls count them. Blanks are
// code 32 only; tabs are text. Pure functions, no state.
// Tested by tests/services/QxStrUtils_test.cpp.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::controls {

// A set of 8-bit characters, indexed by the unsigned character code.
using TCharSet = std::bitset<256>;

// The set of the given characters.
TCharSet MakeCharSet(std::string_view chars);

bool SetHasChar(char c, const TCharSet& set);
// True when every character of s is in the set (also for an empty s).
bool AllCharsIn(std::string_view s, const TCharSet& set);

// Replaces every occurrence, left to right; replaced text is not searched
// again. An empty search text leaves s unchanged.
std::string ReplaceAll(std::string_view s, std::string_view search, std::string_view replacement);
std::string RemoveChar(std::string_view s, char c);

std::string TrimLeadingSpaces(std::string_view s);
std::string TrimTrailingSpaces(std::string_view s);
std::string TrimSpaces(std::string_view s);

// n copies of c; empty when n <= 0.
std::string RepeatChar(char c, int n);

// Words are maximal runs of characters outside the delimiter set.
// 1-based position of the n-th word's first character; 0 when absent.
int NthWordStart(int n, std::string_view s, const TCharSet& delimiters);
// The n-th word; empty when absent.
std::string NthWord(int n, std::string_view s, const TCharSet& delimiters);

inline int32_t IntMax(int32_t a, int32_t b) { return a > b ? a : b; }
inline int32_t IntMin(int32_t a, int32_t b) { return a < b ? a : b; }

}  // namespace qv::controls
