// Date entry rules; see DateEntry.h.
#include "controls/dates/DateEntry.h"

#include <cctype>
#include <cmath>

namespace qv::controls {

using namespace qv::engine;

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// cp1252 letters compare without case: ASCII, and the accented capitals
// 0xC0..0xDE (but the multiplication sign) with their small forms.
char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  return c;
}

bool SameTextPrefix(std::string_view a, std::string_view b, size_t n) {
  if (a.size() < n || b.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

// The free scanner's cursor over the text.
struct TScan {
  std::string_view s;
  size_t pos = 0;

  void Blanks() {
    while (pos < s.size() && s[pos] == ' ') ++pos;
  }
  // Blanks, then digits while the value stays below 1000 (four
  // significant digits at most); false when no digit follows.
  bool Number(int& n) {
    Blanks();
    size_t i = pos;
    int v = 0;
    while (i < s.size() && IsDigit(s[i]) && v < 1000) {
      v = v * 10 + (s[i] - '0');
      ++i;
    }
    if (i == pos) return false;
    pos = i;
    n = v;
    return true;
  }
  bool Char(char c) {
    Blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  void ToNumber() {
    while (pos < s.size() && !IsDigit(s[pos])) ++pos;
  }
};

}  // namespace

bool DatePartsValid(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool DateValueValid(TDateTime value) {
  const auto t = DecodeDateTime(value);
  return t && DatePartsValid(t->Year, t->Month, t->Day);
}

TDateFieldOrder DateOrderOf(std::string_view format) {
  for (char c : format) {
    switch (Upper(c)) {
      case 'D': return dfoDayMonthYear;
      case 'E':
      case 'Y': return dfoYearMonthDay;
      case 'M': return dfoMonthDayYear;
      default: break;
    }
  }
  return dfoDayMonthYear;
}

int FullYear(int year, const TDateEntrySettings& s) {
  if (year == -1) return s.ThisYear;
  if (year >= 100) return year;
  const int start = s.ThisYear - s.CenturyWindow;
  year += (start / 100) * 100;
  if (s.CenturyWindow > 0 && year < start) year += 100;
  return year;
}

int MonthByName(std::string_view text, size_t length, const TDateEntrySettings& s) {
  if (text.empty()) return 0;
  for (int m = 0; m < 12; ++m) {
    const std::string& name = s.LongMonthNames[static_cast<size_t>(m)];
    if (!name.empty() && SameTextPrefix(name, text, length)) return m + 1;
  }
  return 0;
}

namespace {

// The non-blank characters under the first run of `count` copies of the
// letter; nullopt when the field's default applies.
std::optional<std::string> MaskedFieldText(std::string_view format, std::string_view text, char letter, int count) {
  if (text.size() > format.size()) return std::nullopt;
  const size_t length = text.size();
  const char want = Upper(letter);
  size_t start = std::string_view::npos;
  for (size_t i = 0; count > 0 && i + static_cast<size_t>(count) <= format.size(); ++i) {
    bool run = true;
    for (size_t k = 0; k < static_cast<size_t>(count) && run; ++k) run = Upper(format[i + k]) == want;
    if (run) {
      start = i;
      break;
    }
  }
  if (start == std::string_view::npos) return std::nullopt;
  std::string taken;
  for (size_t i = start; i < format.size() && Upper(format[i]) == want && i < length; ++i)
    if (text[i] != ' ') taken += text[i];
  return taken;
}

}  // namespace

int ExtractMaskedField(std::string_view format, std::string_view text, char letter, int count, int defaultValue,
                       const TDateEntrySettings& s) {
  const std::optional<std::string> field = MaskedFieldText(format, text, letter, count);
  if (!field) return defaultValue;
  const std::string& taken = *field;
  if (taken.empty()) return -1;
  if (count >= 2) {
    const int m = MonthByName(taken, taken.size(), s);
    return m > 0 ? m : -1;
  }
  // Plain digits only: a sign or a hexadecimal prefix is no date field.
  if (taken.size() > 9) return -1;
  int n = 0;
  for (char c : taken) {
    if (!IsDigit(c)) return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool ParseFreeDate(std::string_view text, std::string_view format, int& year, int& month, int& day,
                   const TDateEntrySettings& s) {
  year = month = day = 0;
  const TDateFieldOrder order = DateOrderOf(format);
  TScan scan{text};
  if (!s.ShortDateFormat.empty() && s.ShortDateFormat[0] == 'g') scan.ToNumber();
  int n1 = 0, n2 = 0, n3 = 0;
  if (!scan.Number(n1) || !scan.Char(s.DateSeparator) || !scan.Number(n2)) return false;
  const size_t afterSecond = scan.pos;
  bool third = scan.Char(s.DateSeparator);
  if (third && !scan.Number(n3)) {
    // "3/4/": a separator ending the text still means "no year".
    scan.Blanks();
    if (scan.pos < text.size()) return false;
    scan.pos = afterSecond;
    third = false;
  }
  if (third) {
    switch (order) {
      case dfoMonthDayYear: month = n1, day = n2, year = n3; break;
      case dfoDayMonthYear: day = n1, month = n2, year = n3; break;
      case dfoYearMonthDay: year = n1, month = n2, day = n3; break;
    }
    year = FullYear(year, s);
  } else {
    year = s.ThisYear;
    if (order == dfoDayMonthYear) day = n1, month = n2;
    else month = n1, day = n2;
  }
  scan.Char(s.DateSeparator);
  scan.Blanks();
  if (s.FarEast && s.ShortDateFormat.find("ddd") != std::string::npos) {
    if (!s.ShortTimeFormat.empty() && IsDigit(s.ShortTimeFormat[0])) {
      scan.ToNumber();
    } else {
      auto atMarker = [&] {
        const std::string_view rest = text.substr(scan.pos);
        return (!s.TimeAMString.empty() && SameTextPrefix(rest, s.TimeAMString, s.TimeAMString.size())) ||
               (!s.TimePMString.empty() && SameTextPrefix(rest, s.TimePMString, s.TimePMString.size()));
      };
      do {
        while (scan.pos < text.size() && text[scan.pos] != ' ') ++scan.pos;
        scan.Blanks();
      } while (scan.pos < text.size() && !atMarker());
    }
  }
  return DatePartsValid(year, month, day) && scan.pos >= text.size();
}

bool ParseMaskedDate(std::string_view format, std::string_view text, int& day, int& month, int& year,
                     const TDateEntrySettings& s) {
  month = ExtractMaskedField(format, text, 'm', 3, 0, s);
  if (month == 0) month = ExtractMaskedField(format, text, 'm', 1, 0, s);
  day = ExtractMaskedField(format, text, 'd', 1, 1, s);
  // -1 stands for a blank year and for letters there: only a blank one is
  // this year, the other is no year at all.
  const int rawYear = ExtractMaskedField(format, text, 'y', 1, s.ThisYear, s);
  const std::optional<std::string> yearText = MaskedFieldText(format, text, 'y', 1);
  year = rawYear == -1 && yearText && !yearText->empty() ? 0 : FullYear(rawYear, s);
  if (DatePartsValid(year, month, day)) return true;
  return ParseFreeDate(text, format, year, month, day, s);
}

std::optional<TDateTime> TryTextToDate(std::string_view format, std::string_view text, const TDateEntrySettings& s) {
  if (text.empty()) return EmptyDate;
  int day = 0, month = 0, year = 0;
  if (!ParseMaskedDate(format, text, day, month, year, s)) return std::nullopt;
  TCalendarTime t;
  t.Year = year;
  t.Month = month;
  t.Day = day;
  return EncodeDateTime(t);
}

TDateTime TextToDateFmtDef(std::string_view format, std::string_view text, TDateTime defaultDate,
                           const TDateEntrySettings& s) {
  if (auto d = TryTextToDate(format, text, s)) return *d;
  return std::trunc(defaultDate);
}

bool FourDigitYearFormat(const TDateEntrySettings& s) {
  std::string upper;
  for (char c : s.ShortDateFormat) upper += Upper(c);
  return upper.find("YYYY") != std::string::npos;
}

std::string DefaultDateFormat(bool fourDigitYear, const TDateEntrySettings& s) {
  switch (DateOrderOf(s.ShortDateFormat)) {
    case dfoMonthDayYear: return fourDigitYear ? "MM/DD/YYYY" : "MM/DD/YY";
    case dfoYearMonthDay: return fourDigitYear ? "YYYY/MM/DD" : "YY/MM/DD";
    case dfoDayMonthYear: break;
  }
  return fourDigitYear ? "DD/MM/YYYY" : "DD/MM/YY";
}

std::string DefaultDateMask(char blank, bool fourDigitYear, const TDateEntrySettings& s) {
  std::string mask;
  if (!fourDigitYear) mask = "!99/99/99;1;";
  else if (DateOrderOf(s.ShortDateFormat) == dfoYearMonthDay) mask = "!9999/99/99;1;";
  else mask = "!99/99/9999;1;";
  return mask + blank;
}

}  // namespace qv::controls
