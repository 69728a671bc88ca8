// Cell comparisons of the list views.
#include "controls/lists/SmartCompare.h"

#include <windows.h>

#include <charconv>

namespace qv::controls {

namespace {

int Sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

// Sign, digits, optional "." fraction, optional exponent; nothing else.
std::optional<double> ParseReal(std::string_view t) {
  size_t i = 0;
  const size_t n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    size_t e = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++e;
    if (e == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  // from_chars takes no leading "+".
  if (t[0] == '+') t.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc()) return std::nullopt;
  return v;
}

// A cp1252 locale value; one that cp1252 cannot hold (the narrow no-break
// space of recent French locales) becomes the no-break space.
std::string LocaleInfo(LCTYPE type, const char* fallback) {
  wchar_t w[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, w, 8) <= 1) return fallback;
  char buf[16] = {};
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, w, -1, buf, sizeof buf, nullptr, &lossy);
  if (lossy) return "\xA0";
  return n > 1 ? std::string(buf) : std::string(fallback);
}

}  // namespace

TCompareSettings TCompareSettings::FromUserLocale() {
  TCompareSettings s;
  s.ThousandSeparator = LocaleInfo(LOCALE_STHOUSAND, " ");
  const std::string dec = LocaleInfo(LOCALE_SDECIMAL, ",");
  s.DecimalSeparator = dec.empty() ? ',' : dec[0];
  return s;
}

TCompareSettings& DefaultCompareSettings() {
  static TCompareSettings s = TCompareSettings::FromUserLocale();
  return s;
}

std::optional<double> CellAsDate(std::string_view text, const TCompareSettings& s) {
  const char ds = s.Dates.DateSeparator, ts = s.Dates.TimeSeparator;
  const size_t p = text.find(ds);
  bool hasDate = false;
  // A leading separator ("/12") starts no date.
  if (p != std::string_view::npos && p > 0)
    hasDate = p + 1 == text.size() || text.find(ds, p + 1) != std::string_view::npos;
  const bool hasTime = text.find(ts) != std::string_view::npos;
  if (!hasDate && !hasTime) return std::nullopt;
  if (hasDate && hasTime) {
    // Date, blanks, time.
    size_t b = 0;
    while (b < text.size() && text[b] == ' ') ++b;
    const size_t gap = text.find(' ', b);
    if (gap == std::string_view::npos) return std::nullopt;
    const auto d = engine::StrToDate(text.substr(0, gap), s.Dates);
    const auto t = engine::StrToTime(text.substr(gap + 1), s.Dates);
    if (!d || !t) return std::nullopt;
    return *d < 0 ? *d - *t : *d + *t;
  }
  if (hasDate) return engine::StrToDate(text, s.Dates);
  return engine::StrToTime(text, s.Dates);
}

std::optional<double> CellAsNumber(std::string_view text, const TCompareSettings& s) {
  const size_t blank = text.find(' ');
  const std::string_view part = blank == std::string_view::npos ? text : text.substr(0, blank);
  if (part.empty()) return std::nullopt;
  if (auto v = ParseReal(part)) return v;
  std::string cleaned;
  cleaned.reserve(part.size());
  const std::string& th = s.ThousandSeparator;
  for (size_t i = 0; i < part.size();) {
    if (!th.empty() && part.compare(i, th.size(), th) == 0) {
      i += th.size();
      continue;
    }
    cleaned += part[i] == s.DecimalSeparator ? '.' : part[i];
    ++i;
  }
  if (cleaned.empty()) return std::nullopt;
  return ParseReal(cleaned);
}

int CompareCellText(std::string_view a, std::string_view b) {
  const int r = CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  if (r == 0) return a < b ? -1 : (b < a ? 1 : 0);  // the call failed: byte order
  return r - CSTR_EQUAL;
}

int CompareCellsSmart(std::string_view a, std::string_view b, const TCompareSettings& s) {
  const auto da = CellAsDate(a, s);
  if (da) {
    if (const auto db = CellAsDate(b, s)) return Sign(*da - *db);
  }
  const auto na = CellAsNumber(a, s);
  if (na) {
    if (const auto nb = CellAsNumber(b, s)) return Sign(*na - *nb);
  }
  return CompareCellText(a, b);
}

int CompareCellsAsNumbers(std::string_view a, std::string_view b, const TCompareSettings& s) {
  return Sign(CellAsNumber(a, s).value_or(0) - CellAsNumber(b, s).value_or(0));
}

int CompareCellsAsDates(std::string_view a, std::string_view b, const TCompareSettings& s) {
  return Sign(CellAsDate(a, s).value_or(0) - CellAsDate(b, s).value_or(0));
}

bool CellStartsWith(std::string_view cell, std::string_view prefix) {
  if (prefix.size() > cell.size()) return false;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, cell.data(), static_cast<int>(prefix.size()),
                        prefix.data(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

}  // namespace qv::controls
