// Number text of the spin edit.
#include "controls/edits/QxNumText.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qv::controls {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// printf of long double through the runtime that knows its 80-bit layout.
std::string PrintLD(const char* format, int precision, long double v) {
  char buf[128];
  int n = std::snprintf(buf, sizeof buf, format, precision, v);
  if (n >= 0 && static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
  // Very large fixed-point values need more room.
  std::string big(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
  n = std::snprintf(big.data(), big.size(), format, precision, v);
  big.resize(static_cast<size_t>(n > 0 ? n : 0));
  return big;
}

bool AllZeroDigits(const std::string& s) {
  for (char c : s)
    if (IsDigit(c) && c != '0') return false;
  return true;
}

std::string NonFinite(long double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

std::string GroupThousands(const std::string& digits, char sep) {
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += sep;
    out += digits[i];
  }
  return out;
}

}  // namespace

TNumberSeparators LocaleSeparators() {
  TNumberSeparators s;
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1) s.Decimal = buf[0];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) > 1) s.Thousands = buf[0];
  return s;
}

int64_t RoundToInt64(long double x) {
  if (std::isnan(x)) return 0;
  // Both bounds are exact in the 64-bit mantissa of the extended type.
  constexpr long double lo = -9223372036854775808.0L, hi = 9223372036854775807.0L;
  if (x <= lo) return INT64_MIN;
  if (x >= hi) return INT64_MAX;
  return static_cast<int64_t>(std::llrint(x));  // the default mode: nearest, ties to even
}

std::optional<int64_t> TextToInt64(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i < n && (s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return std::nullopt;
  uint64_t value = 0;
  if (hex) {
    // Hexadecimal is the 64-bit pattern: up to 16 significant digits.
    for (; i < n; ++i) {
      const int d = HexValue(s[i]);
      if (d < 0) return std::nullopt;
      if (value > (UINT64_MAX >> 4)) return std::nullopt;
      value = (value << 4) | static_cast<uint64_t>(d);
    }
    const auto pattern = static_cast<int64_t>(value);
    if (negative) {
      if (pattern == INT64_MIN) return std::nullopt;
      return -pattern;
    }
    return pattern;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  for (; i < n; ++i) {
    if (!IsDigit(s[i])) return std::nullopt;
    const auto d = static_cast<uint64_t>(s[i] - '0');
    if (value > (limit - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  if (negative) return value == (uint64_t{1} << 63) ? INT64_MIN : -static_cast<int64_t>(value);
  return static_cast<int64_t>(value);
}

std::optional<long double> TextToFloat(std::string_view s, char decimalSeparator) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  while (n > i && IsBlank(s[n - 1])) --n;
  std::string c;  // the same number in the C locale's spelling
  if (i < n && (s[i] == '+' || s[i] == '-')) c += s[i++];
  int digits = 0;
  while (i < n && IsDigit(s[i])) {
    c += s[i++];
    ++digits;
  }
  if (i < n && s[i] == decimalSeparator) {
    c += '.';
    ++i;
    while (i < n && IsDigit(s[i])) {
      c += s[i++];
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) c += s[i++];
    int expDigits = 0;
    while (i < n && IsDigit(s[i])) {
      c += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long double v = std::strtold(c.c_str(), &end);
  if (!end || *end != '\0' || !std::isfinite(v)) return std::nullopt;
  if (errno == ERANGE && std::fabs(v) > 1.0L) return std::nullopt;  // overflow; underflow reads as 0
  return v;
}

std::string NormalizeNumberText(std::string_view s, const TNumberSeparators& seps) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  std::string out;
  for (size_t i = b; i < e; ++i) {
    char ch = s[i];
    if (seps.Decimal != seps.Thousands && ch == seps.Thousands) continue;
    if (ch == '.' && seps.Decimal != '.' && seps.Thousands != '.') ch = seps.Decimal;
    if (ch == ',' && seps.Decimal != ',' && seps.Thousands != ',') ch = seps.Decimal;
    out += ch;
  }
  if (out.empty()) return "0";
  if (out == "-") return "-0";
  return out;
}

std::string FormatGeneral(long double v, int precision, char decimalSeparator) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  if (v == 0) return "0";
  // Rounded to the precision first: its exponent decides the form.
  const std::string sci = PrintLD("%.*Le", precision - 1, v);
  const size_t ePos = sci.find_first_of("eE");
  const int exponent = std::atoi(sci.c_str() + ePos + 1);
  std::string out;
  if (exponent < precision && std::fabs(v) >= 1e-5L) {
    out = PrintLD("%.*Lf", precision - 1 - exponent > 0 ? precision - 1 - exponent : 0, v);
    if (out.find('.') != std::string::npos) {
      while (out.back() == '0') out.pop_back();
      if (out.back() == '.') out.pop_back();
    }
  } else {
    std::string mantissa = sci.substr(0, ePos);
    if (mantissa.find('.') != std::string::npos) {
      while (mantissa.back() == '0') mantissa.pop_back();
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    out = mantissa + "E" + std::to_string(exponent);
  }
  if (out.size() > 1 && out[0] == '-' && AllZeroDigits(out)) out.erase(0, 1);
  for (char& ch : out)
    if (ch == '.') ch = decimalSeparator;
  return out;
}

std::string FormatFixed(long double v, int precision, int digits, char decimalSeparator) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  if (digits < 0) digits = 0;
  if (digits > 18) digits = 18;
  if (std::fabs(v) >= std::pow(10.0L, precision)) return FormatGeneral(v, precision, decimalSeparator);
  // Only `precision` digits are significant; the rest would be noise.
  const long double rounded = std::strtold(PrintLD("%.*Le", precision - 1, v).c_str(), nullptr);
  std::string out = PrintLD("%.*Lf", digits, rounded);
  if (out.size() > 1 && out[0] == '-' && AllZeroDigits(out)) out.erase(0, 1);
  for (char& ch : out)
    if (ch == '.') ch = decimalSeparator;
  return out;
}

std::string FormatFloatPattern(long double v, std::string_view pattern, const TNumberSeparators& seps) {
  if (!std::isfinite(v)) return NonFinite(v);
  // One pass outside quotes: "," anywhere turns grouping on, the first "."
  // splits integer and decimal placeholders, every other character (and
  // quoted text) is literal, before or after the digits.
  std::string prefix, suffix;
  bool seenDigit = false, seenPoint = false, grouping = false;
  int requiredInt = 0, minDec = 0, maxDec = 0;
  char quote = 0;
  for (const char ch : pattern) {
    if (quote) {
      if (ch == quote) quote = 0;
      else (seenDigit ? suffix : prefix) += ch;
    } else if (ch == '"' || ch == '\'') {
      quote = ch;
    } else if (ch == '0' || ch == '#') {
      if (!suffix.empty()) {  // after trailing text, a placeholder is text too
        suffix += ch;
        continue;
      }
      seenDigit = true;
      if (seenPoint) {
        ++maxDec;
        if (ch == '0') minDec = maxDec;
      } else if (ch == '0') {
        ++requiredInt;
      }
    } else if (ch == ',') {
      grouping = true;
    } else if (ch == '.') {
      seenPoint = true;
    } else {
      (seenDigit ? suffix : prefix) += ch;
    }
  }
  if (!seenDigit) return prefix;
  if (maxDec > 18) maxDec = 18;

  const std::string fixed = PrintLD("%.*Lf", maxDec, std::fabs(v));
  std::string intPart = fixed, frac;
  if (const size_t p = fixed.find('.'); p != std::string::npos) {
    intPart = fixed.substr(0, p);
    frac = fixed.substr(p + 1);
  }
  while (static_cast<int>(frac.size()) > minDec && frac.back() == '0') frac.pop_back();
  if (intPart == "0" && requiredInt == 0) intPart.clear();
  while (static_cast<int>(intPart.size()) < requiredInt) intPart.insert(intPart.begin(), '0');
  if (grouping) intPart = GroupThousands(intPart, seps.Thousands);
  std::string number = intPart;
  if (!frac.empty()) number += seps.Decimal + frac;
  if (number.empty()) number = "0";
  const bool negative = v < 0 && !AllZeroDigits(intPart + frac);
  return (negative ? "-" : "") + prefix + number + suffix;
}

std::string IntToHex(int64_t v, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  auto u = static_cast<uint64_t>(v);
  std::string out;
  do {
    out.insert(out.begin(), kHex[u & 0xF]);
    u >>= 4;
  } while (u != 0);
  while (static_cast<int>(out.size()) < digits) out.insert(out.begin(), '0');
  return out;
}

}  // namespace qv::controls
