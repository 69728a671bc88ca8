// Date and time conversions; see DateTime.h.
#include "engine/DateTime.h"

#include <cctype>
#include <algorithm>
#include <cmath>
#include <vector>

namespace qv::engine {

namespace {

using base::CivilFromDays;
using base::DaysFromCivil;

constexpr int64_t kDaysTo1601 = DaysFromCivil(1601, 1, 1);
constexpr int64_t kDaysTo1899 = DaysFromCivil(1899, 12, 30);
constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kTicksPerMs = 10000;
constexpr int64_t kMaxFileTimeYear = 30827;  // the limit of SYSTEMTIME

int64_t TimeMs(const TCalendarTime& t) {
  return ((static_cast<int64_t>(t.Hour) * 60 + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond;
}

TCalendarTime FromDaysAndMs(int64_t daysFrom1970, int64_t ms) {
  TCalendarTime t;
  const base::TCivilDate date = CivilFromDays(daysFrom1970);
  t.Year = date.Year;
  t.Month = date.Month;
  t.Day = date.Day;
  t.DayOfWeek = base::DayOfWeek(daysFrom1970);
  t.Hour = static_cast<int>(ms / 3600000);
  t.Minute = static_cast<int>(ms / 60000 % 60);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Millisecond = static_cast<int>(ms % 1000);
  return t;
}

TDateTime Combine(int64_t days, int64_t ms) {
  const double time = static_cast<double>(ms) / kMsPerDay;
  const double date = static_cast<double>(days);
  return days >= 0 ? date + time : date - time;
}

}  // namespace

bool IsValidCalendarTime(const TCalendarTime& t) {
  return t.Year >= 1 && t.Month >= 1 && t.Month <= 12 && t.Day >= 1 && t.Day <= DaysInMonth(t.Year, t.Month) &&
         t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60 &&
         t.Millisecond >= 0 && t.Millisecond < 1000;
}

std::optional<TCalendarTime> FileTimeToCalendar(int64_t fileTime) {
  if (fileTime < 0) return std::nullopt;
  const int64_t days = fileTime / kTicksPerDay;
  const int64_t ms = fileTime % kTicksPerDay / kTicksPerMs;
  TCalendarTime t = FromDaysAndMs(days + kDaysTo1601, ms);
  if (t.Year > kMaxFileTimeYear) return std::nullopt;
  return t;
}

std::optional<int64_t> CalendarToFileTime(const TCalendarTime& t) {
  if (!IsValidCalendarTime(t) || t.Year < 1601 || t.Year > kMaxFileTimeYear) return std::nullopt;
  const int64_t days = DaysFromCivil(t.Year, t.Month, t.Day) - kDaysTo1601;
  return days * kTicksPerDay + TimeMs(t) * kTicksPerMs;
}

std::optional<TDateTime> EncodeDateTime(const TCalendarTime& t) {
  if (!IsValidCalendarTime(t) || t.Year > 9999) return std::nullopt;
  return Combine(DaysFromCivil(t.Year, t.Month, t.Day) - kDaysTo1899, TimeMs(t));
}

std::optional<TCalendarTime> DecodeDateTime(TDateTime value) {
  // Years 1..9999 only: -693593 is 1 January 0001, 2958465 is 31 December 9999.
  if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0) return std::nullopt;
  const int64_t days = static_cast<int64_t>(value);  // toward zero
  int64_t ms = std::llround(std::fabs(value - static_cast<double>(days)) * kMsPerDay);
  if (ms >= kMsPerDay) ms = kMsPerDay - 1;
  TCalendarTime t = FromDaysAndMs(days + kDaysTo1899, ms);
  if (t.Year < 1 || t.Year > 9999) return std::nullopt;
  return t;
}

TDateTime EncodeDateOnly(int year, int month, int day) {
  TCalendarTime t;
  t.Year = year;
  t.Month = month;
  t.Day = day;
  return EncodeDateTime(t).value_or(0.0);
}

std::optional<TDateTime> FileTimeToDateTimeValue(int64_t fileTime) {
  if (fileTime < 0) return std::nullopt;
  const int64_t days = fileTime / kTicksPerDay;
  const int64_t ms = fileTime % kTicksPerDay / kTicksPerMs;
  return Combine(days + kDaysTo1601 - kDaysTo1899, ms);
}

std::optional<int64_t> DateTimeValueToFileTime(TDateTime value) {
  const auto t = DecodeDateTime(value);
  if (!t) return std::nullopt;
  return CalendarToFileTime(*t);
}

std::optional<TDosDateTime> FileTimeToDosDateTime(int64_t localFileTime) {
  const auto t = FileTimeToCalendar(localFileTime);
  if (!t || t->Year < 1980 || t->Year > 2107) return std::nullopt;
  TDosDateTime d;
  d.Date = static_cast<uint16_t>(((t->Year - 1980) << 9) | (t->Month << 5) | t->Day);
  d.Time = static_cast<uint16_t>((t->Hour << 11) | (t->Minute << 5) | (t->Second / 2));
  return d;
}

std::optional<TDateTime> DosDateTimeToDateTime(TDosDateTime dos) {
  TCalendarTime t;
  t.Year = 1980 + (dos.Date >> 9);
  t.Month = (dos.Date >> 5) & 15;
  t.Day = dos.Date & 31;
  t.Hour = dos.Time >> 11;
  t.Minute = (dos.Time >> 5) & 63;
  t.Second = (dos.Time & 31) * 2;
  return EncodeDateTime(t);
}

TTimeZone FixedOffsetTimeZone(int64_t offsetMinutes) {
  const int64_t offset = offsetMinutes * 60 * 1000 * kTicksPerMs;
  TTimeZone z;
  z.ToLocal = [offset](int64_t utc, int64_t& local) {
    local = utc + offset;
    return utc >= 0 && local >= 0;
  };
  z.ToUtc = [offset](int64_t local, int64_t& utc) {
    utc = local - offset;
    return local >= 0 && utc >= 0;
  };
  return z;
}

TDateTime FileTimeToDateTime(int64_t utcFileTime, const TTimeZone& zone) {
  int64_t local = utcFileTime;
  if (zone.ToLocal && !zone.ToLocal(utcFileTime, local)) return kInvalidFileDateTime;
  const auto dos = FileTimeToDosDateTime(local);
  if (!dos) return kInvalidFileDateTime;
  return DosDateTimeToDateTime(*dos).value_or(kInvalidFileDateTime);
}

std::optional<int64_t> LocalDateTimeToFileTime(TDateTime local, const TTimeZone& zone) {
  const auto ft = DateTimeValueToFileTime(local);
  if (!ft) return std::nullopt;
  int64_t utc = *ft;
  if (zone.ToUtc && !zone.ToUtc(*ft, utc)) return std::nullopt;
  return utc;
}

// ---- Texts -------------------------------------------------------------

namespace {
TFormatSettings& ProcessFormatSettings() {
  static TFormatSettings fs;
  return fs;
}

// A locale picture with its marks outside quotes rewritten by mark().
template <class Mark>
std::string TranslatePicture(std::string_view picture, Mark mark) {
  std::string out;
  for (size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (c == '\'') {
      const size_t end = picture.find('\'', i + 1);
      const size_t stop = end == std::string_view::npos ? picture.size() - 1 : end;
      out.append(picture.substr(i, stop - i + 1));
      i = stop;
      continue;
    }
    size_t n = 1;
    while (i + n < picture.size() && picture[i + n] == c) ++n;
    out += mark(c, n, picture.substr(i, n));
    i += n - 1;
  }
  return out;
}
}  // namespace

const TFormatSettings& DefaultFormatSettings() { return ProcessFormatSettings(); }

void SetDefaultFormatSettings(const TFormatSettings& fs) { ProcessFormatSettings() = fs; }

std::string NormalizeShortDateFormat(std::string_view format, char systemSeparator) {
  std::string out(format);
  for (char& c : out)
    if (c == systemSeparator) c = '/';
  return out;
}

namespace {
// The separator the picture itself uses, when it holds none of the one the
// locale names (settings edited by hand): the first mark outside quotes
// that is neither a field letter nor a blank.
char PictureSeparator(std::string_view picture, char named) {
  if (picture.find(named) != std::string_view::npos) return named;
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') quoted = !quoted;
    if (quoted || c == '\'' || c == ' ' || std::isalpha(static_cast<unsigned char>(c))) continue;
    return c;
  }
  return named;
}

std::string TrimBlanks(std::string s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
}  // namespace

TFormatSettings FormatSettingsFromLocale(std::string_view shortDate, std::string_view longTime, char dateSeparator) {
  TFormatSettings fs;
  // The era marks go, and the blank that parted them from the date with them.
  const std::string date = TrimBlanks(TranslatePicture(shortDate, [](char c, size_t, std::string_view run) {
    return c == 'g' ? std::string() : std::string(run);
  }));
  dateSeparator = PictureSeparator(date, dateSeparator);
  const std::string time = TranslatePicture(longTime, [](char c, size_t, std::string_view run) {
    return c == 't' ? std::string("ampm") : std::string(run);
  });
  if (!date.empty()) fs.ShortDateFormat = NormalizeShortDateFormat(date, dateSeparator);
  if (!time.empty()) fs.LongTimeFormat = time;
  return fs;
}

namespace {

const char* const kLongDayNames[7] = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
const char* const kShortDayNames[7] = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
const char* const kLongMonthNames[12] = {"janvier", "f\xE9vrier", "mars",      "avril",   "mai",      "juin",
                                         "juillet", "ao\xFBt",    "septembre", "octobre", "novembre", "d\351cembre"};
const char* const kShortMonthNames[12] = {"janv.", "f\xE9vr.", "mars", "avr.", "mai",  "juin",
                                          "juil.", "ao\xFBt",  "sept.", "oct.", "nov.", "d\351c."};

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

void AppendNumber(std::string& out, int n, int width) {
  std::string s = std::to_string(n);
  if (static_cast<int>(s.size()) < width) out.append(static_cast<size_t>(width) - s.size(), '0');
  out += s;
}

size_t RunLength(std::string_view f, size_t i, char lower) {
  size_t n = 0;
  while (i + n < f.size() && Lower(f[i + n]) == lower) ++n;
  return n;
}

bool StartsWithNoCase(std::string_view f, size_t i, std::string_view what) {
  if (f.size() - i < what.size()) return false;
  for (size_t k = 0; k < what.size(); ++k)
    if (Lower(f[i + k]) != what[k]) return false;
  return true;
}

bool HasAmPm(std::string_view f) {
  for (size_t i = 0; i < f.size(); ++i)
    if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm"))
      return true;
  return false;
}

void Format(std::string& out, std::string_view f, const TCalendarTime& t, TDateTime value, const TFormatSettings& fs,
            int depth) {
  if (depth > 2) return;  // nested formats cannot recurse for ever
  const bool twelve = HasAmPm(f);
  bool lastWasHour = false;
  size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    const char lc = Lower(c);
    if (c == '"' || c == '\'') {
      const size_t end = f.find(c, i + 1);
      const size_t stop = end == std::string_view::npos ? f.size() : end;
      out.append(f.substr(i + 1, stop - i - 1));
      i = stop == f.size() ? stop : stop + 1;
      continue;
    }
    if (lc == 'a') {
      if (StartsWithNoCase(f, i, "am/pm")) {
        out += t.Hour < 12 ? "am" : "pm";
        i += 5;
      } else if (StartsWithNoCase(f, i, "a/p")) {
        out += t.Hour < 12 ? 'a' : 'p';
        i += 3;
      } else if (StartsWithNoCase(f, i, "ampm")) {
        out += t.Hour < 12 ? "AM" : "PM";
        i += 4;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    const size_t n = (lc == 'd' || lc == 'm' || lc == 'y' || lc == 'h' || lc == 'n' || lc == 's' || lc == 'z' ||
                      lc == 't' || lc == 'c')
                         ? RunLength(f, i, lc)
                         : 1;
    switch (lc) {
      case 'c':
        Format(out, fs.ShortDateFormat, t, value, fs, depth + 1);
        if (TimeOf(value) != 0.0) {
          out += ' ';
          Format(out, fs.LongTimeFormat, t, value, fs, depth + 1);
        }
        i += 1;
        continue;
      case 'd':
        if (n == 1) AppendNumber(out, t.Day, 1);
        else if (n == 2) AppendNumber(out, t.Day, 2);
        else if (n == 3) out += kShortDayNames[t.DayOfWeek];
        else if (n == 4) out += kLongDayNames[t.DayOfWeek];
        else Format(out, fs.ShortDateFormat, t, value, fs, depth + 1);
        lastWasHour = false;
        break;
      case 'm': {
        const size_t m = n > 4 ? 4 : n;
        if (lastWasHour && m <= 2) {
          AppendNumber(out, t.Minute, static_cast<int>(m));
        } else if (m <= 2) {
          AppendNumber(out, t.Month, static_cast<int>(m));
        } else {
          if (t.Month >= 1) out += m == 3 ? kShortMonthNames[t.Month - 1] : kLongMonthNames[t.Month - 1];
        }
        i += m;
        lastWasHour = false;
        continue;
      }
      case 'y':
        if (n <= 2) AppendNumber(out, t.Year % 100, 2);
        else AppendNumber(out, t.Year, 4);
        lastWasHour = false;
        break;
      case 'h': {
        int h = t.Hour;
        if (twelve) {
          h %= 12;
          if (h == 0) h = 12;
        }
        AppendNumber(out, h, n >= 2 ? 2 : 1);
        i += n > 2 ? 2 : n;
        lastWasHour = true;
        continue;
      }
      case 'n':
        AppendNumber(out, t.Minute, n >= 2 ? 2 : 1);
        i += n > 2 ? 2 : n;
        lastWasHour = false;
        continue;
      case 's':
        AppendNumber(out, t.Second, n >= 2 ? 2 : 1);
        i += n > 2 ? 2 : n;
        lastWasHour = false;
        continue;
      case 'z':
        AppendNumber(out, t.Millisecond, n >= 3 ? 3 : 1);
        i += n >= 3 ? 3 : n;
        continue;
      case 't':
        if (n >= 2) Format(out, fs.LongTimeFormat, t, value, fs, depth + 1);
        else Format(out, "hh:nn", t, value, fs, depth + 1);
        i += n >= 2 ? 2 : 1;
        continue;
      case '/':
        out += fs.DateSeparator;
        break;
      case ':':
        out += fs.TimeSeparator;
        break;
      default:
        out += c;
        break;
    }
    i += n;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits s at sep into decimal numbers of at most 4 digits; false when a
// piece is empty or not a number.
bool SplitNumbers(std::string_view s, char sep, std::vector<int>& out, std::vector<size_t>* digits = nullptr) {
  out.clear();
  size_t i = 0;
  while (true) {
    const size_t end = s.find(sep, i);
    const std::string_view piece = Trim(s.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
    if (piece.empty() || piece.size() > 4) return false;
    int n = 0;
    for (char c : piece) {
      if (c < '0' || c > '9') return false;
      n = n * 10 + (c - '0');
    }
    out.push_back(n);
    if (digits) digits->push_back(piece.size());
    if (end == std::string_view::npos) return true;
    i = end + 1;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs) {
  auto t = DecodeDateTime(value);
  if (!t && std::isfinite(value) && value > -693595.0 && value < -693593.0) {
    // The day before 1 January 0001, the value of file times that could
    // not be converted: shown with a zero date, as it always was.
    const int64_t ms = std::llround(std::fabs(value - static_cast<double>(static_cast<int64_t>(value))) * kMsPerDay);
    t = FromDaysAndMs(0, std::min<int64_t>(ms, kMsPerDay - 1));
    t->Year = t->Month = t->Day = t->DayOfWeek = 0;
  }
  if (!t) return {};
  std::string out;
  if (format.empty()) format = "c";
  Format(out, format, *t, value, fs, 0);
  return out;
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("c", value, fs); }
std::string DateToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("ddddd", value, fs); }
std::string TimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("tt", value, fs); }

std::optional<TDateTime> StrToDate(std::string_view text, const TFormatSettings& fs) {
  text = Trim(text);
  std::vector<int> n;
  std::vector<size_t> digits;
  if (!SplitNumbers(text, fs.DateSeparator, n, &digits) || n.size() != 3) return std::nullopt;
  // Order of day, month and year as in the short date format.
  int posD = -1, posM = -1, posY = -1, next = 0;
  for (char c : fs.ShortDateFormat) {
    const char lc = Lower(c);
    if (lc == 'd' && posD < 0) posD = next++;
    else if (lc == 'm' && posM < 0) posM = next++;
    else if (lc == 'y' && posY < 0) posY = next++;
  }
  if (posD < 0 || posM < 0 || posY < 0) posD = 0, posM = 1, posY = 2;
  int year = n[static_cast<size_t>(posY)];
  if (digits[static_cast<size_t>(posY)] <= 2) year += year < 50 ? 2000 : 1900;
  TCalendarTime t;
  t.Year = year;
  t.Month = n[static_cast<size_t>(posM)];
  t.Day = n[static_cast<size_t>(posD)];
  return EncodeDateTime(t);
}

std::optional<TDateTime> StrToTime(std::string_view text, const TFormatSettings& fs) {
  text = Trim(text);
  // A twelve-hour time, as the long time format of some locales writes it:
  // its "AM" or "PM" before or after the numbers.
  int half = -1;
  for (const auto& [mark, value] : {std::pair{std::string_view("am"), 0}, std::pair{std::string_view("pm"), 1}}) {
    if (text.size() > 2 && StartsWithNoCase(text, 0, mark) && text[2] == ' ') {
      half = value;
      text = Trim(text.substr(3));
    } else if (text.size() > 2 && StartsWithNoCase(text, text.size() - 2, mark) && text[text.size() - 3] == ' ') {
      half = value;
      text = Trim(text.substr(0, text.size() - 3));
    }
  }
  int ms = 0;
  const size_t dot = text.find('.');
  if (dot != std::string_view::npos) {
    const std::string_view frac = text.substr(dot + 1);
    if (frac.empty() || frac.size() > 3) return std::nullopt;
    for (char c : frac) {
      if (c < '0' || c > '9') return std::nullopt;
      ms = ms * 10 + (c - '0');
    }
    for (size_t k = frac.size(); k < 3; ++k) ms *= 10;
    text = text.substr(0, dot);
  }
  std::vector<int> n;
  if (!SplitNumbers(text, fs.TimeSeparator, n) || n.size() < 2 || n.size() > 3) return std::nullopt;
  if (dot != std::string_view::npos && n.size() != 3) return std::nullopt;
  TCalendarTime t;
  t.Year = 1899;
  t.Month = 12;
  t.Day = 30;
  t.Hour = n[0];
  if (half >= 0) {
    if (t.Hour < 1 || t.Hour > 12) return std::nullopt;
    t.Hour = t.Hour % 12 + 12 * half;
  }
  t.Minute = n[1];
  t.Second = n.size() == 3 ? n[2] : 0;
  t.Millisecond = ms;
  return EncodeDateTime(t);
}

}  // namespace qv::engine
