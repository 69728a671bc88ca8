// Locale-free formatting. Calendar arithmetic is done on day numbers (civil
// calendar algorithms) rather than through SYSTEMTIME/FILETIME calls, which
// stop at 1601.
#include "framework/Format.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "base/CivilDate.h"

namespace qv::fw {

namespace {

constexpr int64_t kEpoch = base::DaysFromCivil(1899, 12, 30);
constexpr int64_t kMsPerDay = 86400000;

std::string Pad(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

}  // namespace

std::string FormatCount(int64_t n) {
  // Work on the magnitude as unsigned: -INT64_MIN does not fit an int64.
  const bool negative = n < 0;
  uint64_t u = negative ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  std::string digits;
  int count = 0;
  do {
    if (count && count % 3 == 0) digits += ' ';
    digits += static_cast<char>('0' + u % 10);
    u /= 10;
    ++count;
  } while (u);
  if (negative) digits += '-';
  return std::string(digits.rbegin(), digits.rend());
}

std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                        int millisecond) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > base::DaysInMonth(year, month)) return {};
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return {};
  const int64_t days = base::DaysFromCivil(year, month, day) - kEpoch;
  const double time = ((hour * 60 + minute) * 60 + second) * 1000.0 + millisecond;
  const double frac = time / static_cast<double>(kMsPerDay);
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

bool DecodeDateTime(TDateTime value, SYSTEMTIME& out) {
  if (!std::isfinite(value) || value < -693595.0 || value > 2958466.0) return false;
  int64_t day = static_cast<int64_t>(value);  // toward zero
  int64_t ms = std::llround(std::fabs(value - static_cast<double>(day)) * kMsPerDay);
  if (ms >= kMsPerDay) {  // rounded up to midnight: the next calendar day
    ms -= kMsPerDay;
    ++day;
  }
  const base::TCivilDate date = base::CivilFromDays(day + kEpoch);
  if (date.Year < 1 || date.Year > 9999) return false;
  out = SYSTEMTIME{};
  out.wYear = static_cast<WORD>(date.Year);
  out.wMonth = static_cast<WORD>(date.Month);
  out.wDay = static_cast<WORD>(date.Day);
  out.wDayOfWeek = static_cast<WORD>(base::DayOfWeek(day + kEpoch));
  out.wHour = static_cast<WORD>(ms / 3600000);
  out.wMinute = static_cast<WORD>(ms / 60000 % 60);
  out.wSecond = static_cast<WORD>(ms / 1000 % 60);
  out.wMilliseconds = static_cast<WORD>(ms % 1000);
  return true;
}

std::optional<TDateTime> SystemTimeToDateTime(const SYSTEMTIME& st) {
  return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return SystemTimeToDateTime(st).value_or(0.0);
}

std::string FormatDateTime(const std::string& format, TDateTime value) {
  SYSTEMTIME t;
  if (!DecodeDateTime(value, t)) return {};
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  const size_t n = format.size();
  while (i < n) {
    const char c = format[i];
    if (c == '"' || c == '\'') {
      const size_t close = format.find(c, i + 1);
      const size_t end = close == std::string::npos ? n : close;
      out += format.substr(i + 1, end - i - 1);
      i = close == std::string::npos ? n : close + 1;
      continue;
    }
    const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t run = 1;
    while (i + run < n && std::tolower(static_cast<unsigned char>(format[i + run])) == lc) ++run;
    switch (lc) {
      case 'd': out += run == 1 ? std::to_string(t.wDay) : Pad(t.wDay, 2); break;
      case 'm':
        if (afterHour) out += run == 1 ? std::to_string(t.wMinute) : Pad(t.wMinute, 2);
        else out += run == 1 ? std::to_string(t.wMonth) : Pad(t.wMonth, 2);
        break;
      case 'y': out += run <= 2 ? Pad(t.wYear % 100, 2) : Pad(t.wYear, 4); break;
      case 'h': out += run == 1 ? std::to_string(t.wHour) : Pad(t.wHour, 2); break;
      case 'n': out += run == 1 ? std::to_string(t.wMinute) : Pad(t.wMinute, 2); break;
      case 's': out += run == 1 ? std::to_string(t.wSecond) : Pad(t.wSecond, 2); break;
      case 'z': out += run == 1 ? std::to_string(t.wMilliseconds) : Pad(t.wMilliseconds, 3); break;
      default:
        out += format.substr(i, run);
        i += run;
        continue;  // separators keep the "minutes after hours" state
    }
    afterHour = lc == 'h';
    i += run;
  }
  return out;
}

std::string DateToStr(TDateTime value) { return FormatDateTime("dd/mm/yyyy", value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime("hh:nn:ss", value); }
std::string DateTimeToStr(TDateTime value) { return FormatDateTime("dd/mm/yyyy hh:nn:ss", value); }

std::string LoadStr(UINT id) { return LoadStr(GetModuleHandleA(nullptr), id); }

std::string LoadStr(HINSTANCE module, UINT id) {
  // With a zero size LoadStringW hands out the resource itself, so texts of
  // any length come whole.
  const wchar_t* text = nullptr;
  const int len = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (len <= 0 || !text) return {};
  const int bytes = WideCharToMultiByte(1252, 0, text, len, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(1252, 0, text, len, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace qv::fw
