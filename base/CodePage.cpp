// Locale-free UTF-16 / UTF-8 / cp1252 conversions.
#include "base/CodePage.h"

namespace qv::base {

namespace {

// cp1252 bytes 0x80-0x9F. The undefined ones keep their C1 value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Appends one character for the unit sequence starting at i; returns how many
// units it used (a valid pair counts as one character).
template <typename UnitAt>
size_t appendOne(std::string& out, size_t i, size_t n, UnitAt unitAt) {
  const char16_t u = unitAt(i);
  if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(unitAt(i + 1))) {
    out.push_back('?');
    return 2;
  }
  out.push_back(Utf16UnitToCp1252(u));
  return 1;
}

void appendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

char Utf16UnitToCp1252(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  // The high block's characters lie between U+0152 and U+2122 (and the five C1
  // controls); anything else has no cp1252 form.
  if (unit > 0x2122 || (unit > 0x9F && unit < 0x152)) return '?';
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

char16_t Cp1252ToUtf16Unit(uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte);
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();)
    i += appendOne(out, i, text.size(), [&](size_t k) { return text[k]; });
  return out;
}

std::string Utf16BytesToCp1252(const uint8_t* bytes, size_t count, bool bigEndian) {
  const size_t n = count / 2;
  const int hi = bigEndian ? 0 : 1;
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n;)
    i += appendOne(out, i, n, [&](size_t k) { return char16_t(bytes[2 * k + hi] << 8 | bytes[2 * k + 1 - hi]); });
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const uint8_t b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    size_t len = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) len = 2, cp = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) len = 3, cp = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) len = 4, cp = b & 0x07, min = 0x10000;
    size_t k = 1;
    if (len != 0) {
      for (; k < len && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (len == 0 || k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // One replacement for the lead byte and the continuation bytes it took.
      out.push_back(0xFFFD);
      i += k;
      continue;
    }
    appendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) { return Utf16ToCp1252(Utf8ToUtf16(text)); }

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char c : text) out.push_back(Cp1252ToUtf16Unit(static_cast<uint8_t>(c)));
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const char16_t u = Cp1252ToUtf16Unit(static_cast<uint8_t>(c));
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

}  // namespace qv::base
