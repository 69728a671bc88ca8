// Text routines and the string builder.
#include "support/QcStrings.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "support/QcErrors.h"
#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {
const TUnitVersionInfo kUnitVersion = {"support/QcStrings.cpp", "3.2.0.0", "", "QCL\\source\\common", "", nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);
}  // namespace

std::string StrRemovePrefix(std::string_view prefix, std::string_view text) {
  if (text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix) text.remove_prefix(prefix.size());
  return std::string(text);
}

std::string StrRemoveSuffix(std::string_view suffix, std::string_view text) {
  if (text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix)
    text.remove_suffix(suffix.size());
  return std::string(text);
}

namespace {

struct TAnsiTables {
  std::array<WORD, 256> Class{};
  std::array<char, 256> Lower{}, Upper{}, Swapped{};
};

TAnsiTables BuildAnsiTables() {
  TAnsiTables t;
  char codes[256];
  for (int i = 0; i < 256; ++i) codes[i] = static_cast<char>(i);
  // Code 0 would end the text: ask for 1..255 and leave 0 classless.
  GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, codes + 1, 255, t.Class.data() + 1);
  std::copy(codes, codes + 256, t.Lower.begin());
  std::copy(codes, codes + 256, t.Upper.begin());
  CharLowerBuffA(t.Lower.data(), 256);
  CharUpperBuffA(t.Upper.data(), 256);
  for (int i = 0; i < 256; ++i) {
    if (t.Class[i] & C1_UPPER) t.Swapped[i] = t.Lower[i];
    else if (t.Class[i] & C1_LOWER) t.Swapped[i] = t.Upper[i];
    else t.Swapped[i] = codes[i];
  }
  return t;
}

const TAnsiTables& AnsiTables() {
  static const TAnsiTables tables = BuildAnsiTables();
  return tables;
}
// Built when the unit starts, as the rest of the library expects.
const TAnsiTables& kStartupTables = AnsiTables();

size_t Code(char c) { return static_cast<unsigned char>(c); }

}  // namespace

uint16_t AnsiCharClass(char c) { return AnsiTables().Class[Code(c)]; }
char AnsiCharLower(char c) { return AnsiTables().Lower[Code(c)]; }
char AnsiCharUpper(char c) { return AnsiTables().Upper[Code(c)]; }
char AnsiCharSwapCase(char c) { return AnsiTables().Swapped[Code(c)]; }

TQcStringBuilder::TQcStringBuilder(int32_t capacity, int32_t maxCapacity)
    : m_maxCapacity(std::max<int32_t>(maxCapacity, 0)) {
  m_chars.resize(static_cast<size_t>(std::clamp<int32_t>(capacity, 0, m_maxCapacity)));
}

TQcStringBuilder& TQcStringBuilder::Append(const char* chars, int32_t count, int32_t repeat) {
  if (count < 1 || repeat < 1) return *this;
  // The whole append is checked first, so a refused one leaves the text as
  // it was; 64-bit sums cannot wrap.
  const int64_t added = static_cast<int64_t>(count) * repeat;
  const int64_t needed = m_length + added;
  if (needed > m_maxCapacity) throw ArgumentOutOfRangeException();
  if (needed > Capacity()) {
    int64_t grown = static_cast<int64_t>(Capacity()) * 5 / 3 + count;
    grown = std::clamp<int64_t>(grown, needed, m_maxCapacity);
    m_chars.resize(static_cast<size_t>(grown));
  }
  for (int32_t r = 0; r < repeat; ++r) {
    std::copy(chars, chars + count, m_chars.begin() + m_length);
    m_length += count;
  }
  return *this;
}

}  // namespace qv::controls
