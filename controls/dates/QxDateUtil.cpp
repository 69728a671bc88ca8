// Date locale, clock and strict date reading; see QxDateUtil.h.
#include "controls/dates/QxDateUtil.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/DateTime.h"
#include "framework/Format.h"

namespace qv::controls {

namespace eng = qv::engine;

namespace {

std::string LocaleText(LCTYPE type) {
  char buf[128] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf) <= 0) return {};
  return buf;
}

std::optional<TDateLocale>& ProgramLocale() {
  static std::optional<TDateLocale> locale;
  return locale;
}

}  // namespace

TDateLocale SystemDateLocale() {
  TDateLocale l;
  // Dates are written with "/" whatever the system's separator is.
  const std::string sep = LocaleText(LOCALE_SDATE);
  std::string format = LocaleText(LOCALE_SSHORTDATE);
  if (!sep.empty() && sep != "/") {
    std::string normal;
    for (size_t i = 0; i < format.size();) {
      if (format.compare(i, sep.size(), sep) == 0) {
        normal += '/';
        i += sep.size();
      } else {
        normal += format[i++];
      }
    }
    format = normal;
  }
  if (!format.empty()) l.Entry.ShortDateFormat = format;
  l.Entry.DateSeparator = '/';
  for (int m = 0; m < 12; ++m) {
    const std::string name = LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + m));
    if (!name.empty()) l.Entry.LongMonthNames[static_cast<size_t>(m)] = name;
  }
  // The locale lists Monday first.
  for (int d = 0; d < 7; ++d) l.ShortDayNames[static_cast<size_t>((d + 1) % 7)] = LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + d));
  l.Entry.ShortTimeFormat = LocaleText(LOCALE_STIMEFORMAT);
  l.Entry.TimeAMString = LocaleText(LOCALE_S1159);
  l.Entry.TimePMString = LocaleText(LOCALE_S2359);
  const LANGID lang = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()));
  l.Entry.FarEast = lang == LANG_JAPANESE || lang == LANG_CHINESE || lang == LANG_KOREAN;
  return l;
}

TDateLocale DateLocale() {
  TDateLocale l = ProgramLocale() ? *ProgramLocale() : SystemDateLocale();
  l.Entry.ThisYear = ThisYear();
  return l;
}

void SetDateLocale(const TDateLocale& locale) { ProgramLocale() = locale; }
void ResetDateLocale() { ProgramLocale().reset(); }

int ThisYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wYear;
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  eng::TCalendarTime t;
  t.Year = st.wYear, t.Month = st.wMonth, t.Day = st.wDay;
  t.Hour = st.wHour, t.Minute = st.wMinute, t.Second = st.wSecond, t.Millisecond = st.wMilliseconds;
  return eng::EncodeDateTime(t).value_or(0.0);
}

TDateTime Today() { return std::floor(Now()); }

bool FourDigitYearFormat() { return qv::controls::FourDigitYearFormat(DateLocale().Entry); }

TDateTime TextToDateFmt(std::string_view format, std::string_view text) {
  if (auto d = qv::controls::TryTextToDate(format, text, DateLocale().Entry)) return *d;
  throw EConvertError("'" + std::string(text) + "' n'est pas une date correcte");
}

TDateTime TextToDateFmtDef(std::string_view format, std::string_view text, TDateTime defaultDate) {
  return qv::controls::TextToDateFmtDef(format, text, defaultDate, DateLocale().Entry);
}

std::string FormatDateFmt(std::string_view format, TDateTime date) {
  std::string out;
  const auto t = eng::DecodeDateTime(std::floor(date));
  if (!t) return out;
  auto pad = [](int v, size_t n) {
    std::string s = std::to_string(v);
    return s.size() < n ? std::string(n - s.size(), '0') + s : s;
  };
  for (size_t i = 0; i < format.size();) {
    const char c = static_cast<char>(toupper(static_cast<unsigned char>(format[i])));
    size_t n = 1;
    while (i + n < format.size() && toupper(static_cast<unsigned char>(format[i + n])) == c) ++n;
    if (c == 'D') out += pad(t->Day, 2);
    else if (c == 'M') out += pad(t->Month, 2);
    else if (c == 'Y') out += n >= 4 ? pad(t->Year, 4) : pad(t->Year % 100, 2);
    else out += std::string(n, format[i]);
    i += n;
  }
  return out;
}

std::string MonthTitle(TDateTime date) {
  const auto t = eng::DecodeDateTime(std::floor(date));
  if (!t) return {};
  return DateLocale().Entry.LongMonthNames[static_cast<size_t>(t->Month - 1)] + ", " + std::to_string(t->Year);
}

namespace {

int& PixelsPerInchOverride() {
  static int ppi = 0;
  return ppi;
}

}  // namespace

int CalendarPixelsPerInch() {
  if (PixelsPerInchOverride() > 0) return PixelsPerInchOverride();
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

void SetCalendarPixelsPerInch(int ppi) { PixelsPerInchOverride() = std::max(0, ppi); }

std::string CalendarText(unsigned id) {
  std::string s = qv::fw::LoadStr(id);
  if (!s.empty()) return s;
  switch (id) {
    case 61258: return "Previous Month|";
    case 61259: return "Previous Year|";
    case 61260: return "Next Month|";
    case 61261: return "Next Year|";
    case 61262: return "Select a Date";
    default: return {};
  }
}

}  // namespace qv::controls
