// Text routines of the support library: prefix and suffix removal, the
// ANSI character tables and a
// growable character buffer with a hard ceiling (the number readers build
// their kept characters in one).
// Example:  TQcStringBuilder b(16, 100); b.Append("ab", 2, 3);  // "ababab"
// Tested by tests/support/QcStrings_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>


namespace qv::controls {

// Text without Prefix when Text starts with it, else Text.
std::string StrRemovePrefix(std::string_view prefix, std::string_view text);
// Text without Suffix when Text ends with it, else Text (an empty suffix
// changes nothing).
std::string StrRemoveSuffix(std::string_view suffix, std::string_view text);

// RepeatChar is the window services' one (services/QxStrUtils.h): the
// library does not repeat it.

// Character tables of the ANSI code page, taken once from the user's
// locale: the CT_CTYPE1 class (C1_UPPER, C1_DIGIT, ...) and the lower,
// upper and swapped case of each of the 256 codes.
uint16_t AnsiCharClass(char c);
char AnsiCharLower(char c);
char AnsiCharUpper(char c);
// Upper-case letters to lower, lower-case to upper, others unchanged.
char AnsiCharSwapCase(char c);

// Characters appended behind each other; the capacity grows by 5/3 plus
// the appended count. An append that would take the length beyond the
// maximum capacity raises ArgumentOutOfRangeException and appends nothing.
class TQcStringBuilder {
public:
  static constexpr int32_t kUnlimited = 2147483647;

  explicit TQcStringBuilder(int32_t capacity = 16, int32_t maxCapacity = kUnlimited);

  // `count` characters of `chars`, `repeat` times; nothing for a count or
  // a repeat below 1.
  TQcStringBuilder& Append(const char* chars, int32_t count, int32_t repeat = 1);
  TQcStringBuilder& Append(char c) { return Append(&c, 1, 1); }
  TQcStringBuilder& Append(std::string_view text) {
    return Append(text.data(), static_cast<int32_t>(text.size() > INT32_MAX ? INT32_MAX : text.size()));
  }

  std::string ToString() const { return std::string(m_chars.data(), static_cast<size_t>(m_length)); }
  int32_t Length() const { return m_length; }
  int32_t Capacity() const { return static_cast<int32_t>(m_chars.size()); }
  int32_t MaxCapacity() const { return m_maxCapacity; }

private:
  std::string m_chars;  // its size is the capacity
  int32_t m_length = 0;
  int32_t m_maxCapacity;
};

}  // namespace qv::controls
