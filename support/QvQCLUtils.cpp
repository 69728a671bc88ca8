// Number-text routines of the edits.
#include "support/QvQCLUtils.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cmath>
#include <limits>

#include "support/QcErrors.h"
#include "support/QcSysUtils.h"
#include "support/QvExceptions.h"

namespace qv::controls {

namespace {

void CheckBase(int base) {
  if (base > 36) throw EQVLException("Base > 36 not supported");
  if (base < 2) throw EQVLException("Base must be greater than 1");
}

// Strict reading of [sign] digits [. digits] [e [sign] digits] with '.' as
// the separator, the whole text consumed; false otherwise.
bool ParseFloat(const std::string& text, double& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != text.size()) return false;
  // The syntax is checked above; strtod only converts (the program never
  // changes the C locale, so its separator is '.').
  const std::string body = text.substr(start);
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(body.c_str(), &end);
  if (end != body.c_str() + body.size()) return false;
  if (errno == ERANGE && std::isinf(v)) return false;  // overflow; underflow reads as 0
  if (errno == ERANGE) v = 0;
  out = negative ? -v : v;
  if (out == 0) out = 0;  // no negative zero
  return true;
}

}  // namespace

std::string PadLeftWith(char ch, std::string_view text, int width) {
  std::string s(text);
  if (width > 0 && s.size() < static_cast<size_t>(width)) s.insert(0, static_cast<size_t>(width) - s.size(), ch);
  return s;
}

std::string IntToBaseText(int64_t value, int base, int digits) {
  CheckBase(base);
  uint32_t v = static_cast<uint32_t>(static_cast<uint64_t>(value));
  std::string s;
  do {
    const unsigned d = v % static_cast<unsigned>(base);
    s.insert(s.begin(), static_cast<char>(d < 10 ? '0' + d : 'A' + d - 10));
    v /= static_cast<unsigned>(base);
  } while (v != 0);
  return PadLeftWith('0', s, digits);
}

int64_t BaseTextToInt(std::string_view text, int base) {
  CheckBase(base);
  uint64_t sum = 0, power = 1;
  for (size_t i = text.size(); i-- > 0;) {
    const int code = std::toupper(static_cast<unsigned char>(text[i]));
    const int digit = code > 64 ? code - 55 : code - 48;
    sum += static_cast<uint64_t>(static_cast<int64_t>(digit)) * power;
    power *= static_cast<uint64_t>(base);
  }
  return static_cast<int64_t>(sum);
}

namespace detail {

double ReadNumberTolerant(std::string_view text, char decimalSeparator, double fallback, char systemDecimalSeparator) {
  char sep = decimalSeparator == ' ' ? systemDecimalSeparator : decimalSeparator;
  if (text.find('.') != std::string_view::npos && text.find(sep) == std::string_view::npos) sep = '.';
  std::string kept;
  for (char c : text)
    if (c == '+' || c == '-' || (c >= '0' && c <= '9') || c == 'E' || c == 'e' || c == sep) kept += c;
  if (kept.empty()) return fallback;
  if (kept.back() == '-') kept += '0';
  if (kept.back() == sep) kept += '0';
  for (char& c : kept)
    if (c == sep) c = '.';
  double v = 0;
  return ParseFloat(kept, v) ? v : fallback;
}

TCurrency ReadCurrencyTolerant(std::string_view text, TCurrency fallback, char decimalSeparator) {
  std::string kept;
  for (char c : text)
    if (c == '+' || c == '-' || (c >= '0' && c <= '9') || c == decimalSeparator) kept += c;
  size_t i = 0;
  bool negative = false;
  if (i < kept.size() && (kept[i] == '+' || kept[i] == '-')) negative = kept[i++] == '-';
  // Whole ten-thousandths, then the fifth decimal and whether more follow,
  // for rounding half to even.
  uint64_t scaled = 0;
  int decimals = -1, digits = 0, roundDigit = 0;
  bool sticky = false;
  constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  for (; i < kept.size(); ++i) {
    const char c = kept[i];
    if (c == decimalSeparator) {
      if (decimals >= 0) return fallback;
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9') return fallback;
    ++digits;
    if (decimals >= 4) {
      if (decimals == 4) roundDigit = c - '0';
      else if (c != '0') sticky = true;
      ++decimals;
      continue;
    }
    if (scaled > (kLimit - 9) / 10) return fallback;
    scaled = scaled * 10 + static_cast<uint64_t>(c - '0');
    if (decimals >= 0) ++decimals;
  }
  if (digits == 0) return fallback;
  for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d) {
    if (scaled > kLimit / 10) return fallback;
    scaled *= 10;
  }
  if (roundDigit > 5 || (roundDigit == 5 && (sticky || (scaled & 1)))) ++scaled;
  if (scaled > kLimit) return fallback;
  const int64_t v = static_cast<int64_t>(scaled);
  return TCurrency::FromScaled(negative ? -v : v);
}

}  // namespace detail

double ReadNumberTolerant(std::string_view text, char decimalSeparator, double fallback) {
  return detail::ReadNumberTolerant(text, decimalSeparator, fallback, LocaleSettings().SystemDecimalSeparator);
}

TCurrency ReadCurrencyTolerant(std::string_view text, TCurrency fallback) {
  return detail::ReadCurrencyTolerant(text, fallback, DecimalSeparator());
}

int MakeYear4Digit(int year, int pivot) {
  if (pivot < 0) throw EQVLException("QvQCLUtils.MakeYear4Digit: Pivot < 0");
  if (year == 100) year = 0;
  if (pivot == 100) pivot = 0;
  if (pivot < 100) pivot += 1900;
  if (year < 0 || year > 99) return year;
  int result = year + (pivot / 100) * 100;
  if (result < pivot) result += 100;
  return result;
}

void CheckOSResult(bool ok) {
  if (!ok) RaiseLastOSError();
}

}  // namespace qv::controls
