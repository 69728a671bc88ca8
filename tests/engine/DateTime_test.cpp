// Tests of engine/DateTime.h: file times, calendar records, date-time
// values (before 1899 too), the scan's DOS rounding and its range, texts.
#include "engine/DateTime.h"

#include <gtest/gtest.h>

using namespace qv::engine;

namespace {
TCalendarTime Cal(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  TCalendarTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = mi, t.Second = s, t.Millisecond = ms;
  return t;
}
constexpr int64_t kJuly2024 = 133654340977890000LL;  // 2024-07-14 12:34:57.789 UTC
constexpr int64_t kMoon1969 = 116302906600000000LL;  // 1969-07-20 20:17:40 UTC
}  // namespace

TEST(DateTime, FileTimeAndCalendar) {
  EXPECT_EQ(*FileTimeToCalendar(0), Cal(1601, 1, 1));
  const auto t = FileTimeToCalendar(kJuly2024);
  ASSERT_TRUE(t);
  EXPECT_EQ(*t, Cal(2024, 7, 14, 12, 34, 57, 789));
  EXPECT_EQ(t->DayOfWeek, 0);  // a Sunday
  EXPECT_EQ(*CalendarToFileTime(*t), kJuly2024);
  EXPECT_EQ(*CalendarToFileTime(Cal(1969, 7, 20, 20, 17, 40)), kMoon1969);
  EXPECT_FALSE(FileTimeToCalendar(-1));
  EXPECT_FALSE(CalendarToFileTime(Cal(1600, 12, 31)));
  EXPECT_FALSE(CalendarToFileTime(Cal(2023, 2, 29)));
  EXPECT_TRUE(CalendarToFileTime(Cal(2024, 2, 29)));
  EXPECT_FALSE(CalendarToFileTime(Cal(2024, 1, 1, 24)));
}

TEST(DateTime, DateTimeValues) {
  EXPECT_EQ(*EncodeDateTime(Cal(1899, 12, 30)), 0.0);
  EXPECT_EQ(*EncodeDateTime(Cal(1900, 1, 1)), 2.0);
  EXPECT_EQ(*EncodeDateTime(Cal(2024, 7, 14, 18)), 45487.75);
  EXPECT_EQ(*EncodeDateTime(Cal(1899, 12, 29, 6)), -1.25);  // time counts forward
  EXPECT_EQ(*DecodeDateTime(-1.25), Cal(1899, 12, 29, 6));
  EXPECT_EQ(*DecodeDateTime(45487.75), Cal(2024, 7, 14, 18));
  EXPECT_EQ(*EncodeDateTime(Cal(1, 1, 1)), -693593.0);
  EXPECT_FALSE(DecodeDateTime(1e12));
  EXPECT_FALSE(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(EncodeDateOnly(2024, 2, 30), 0.0);
  EXPECT_EQ(DateOf(-1.25), -1.0);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  // File time <-> value to the millisecond, on both sides of 1899 and 1980.
  for (int64_t ft : {int64_t{0}, kMoon1969, kJuly2024, kJuly2024 + 10000}) {
    const auto v = FileTimeToDateTimeValue(ft);
    ASSERT_TRUE(v);
    EXPECT_EQ(*DateTimeValueToFileTime(*v), ft);
  }
  EXPECT_EQ(*FileTimeToDateTimeValue(0), -109205.0);
}

TEST(DateTime, ScanRuleDosRoundingAndRange) {
  const TTimeZone utc = FixedOffsetTimeZone(0);
  // 2-second resolution: 57.789 s shows as 56 s.
  EXPECT_EQ(FileTimeToDateTime(kJuly2024, utc), *EncodeDateTime(Cal(2024, 7, 14, 12, 34, 56)));
  // Local time applied before rounding.
  EXPECT_EQ(FileTimeToDateTime(kJuly2024, FixedOffsetTimeZone(120)), *EncodeDateTime(Cal(2024, 7, 14, 14, 34, 56)));
  // Before 1980 and after 2107: the invalid value (the raw time is kept apart).
  EXPECT_EQ(FileTimeToDateTime(kMoon1969, utc), kInvalidFileDateTime);
  EXPECT_EQ(FileTimeToDateTime(*CalendarToFileTime(Cal(1979, 12, 31, 23, 59, 59)), utc), kInvalidFileDateTime);
  EXPECT_NE(FileTimeToDateTime(*CalendarToFileTime(Cal(1980, 1, 1)), utc), kInvalidFileDateTime);
  EXPECT_NE(FileTimeToDateTime(*CalendarToFileTime(Cal(2107, 12, 31, 23, 59, 58)), utc), kInvalidFileDateTime);
  EXPECT_EQ(FileTimeToDateTime(*CalendarToFileTime(Cal(2108, 1, 1)), utc), kInvalidFileDateTime);
  EXPECT_EQ(FileTimeToDateTime(-5, utc), kInvalidFileDateTime);
  // A zone whose conversion fails.
  TTimeZone broken;
  broken.ToLocal = [](int64_t, int64_t&) { return false; };
  EXPECT_EQ(FileTimeToDateTime(kJuly2024, broken), kInvalidFileDateTime);
  // Local value back to UTC, full precision, pre-1980 included.
  const TTimeZone paris = FixedOffsetTimeZone(60);
  EXPECT_EQ(*LocalDateTimeToFileTime(*EncodeDateTime(Cal(1969, 7, 20, 21, 17, 40)), paris), kMoon1969);
}

TEST(DateTime, Texts) {
  const double v = *EncodeDateTime(Cal(2006, 12, 25, 14, 30, 5, 7));
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss", v), "25/12/2006 14:30:05");
  EXPECT_EQ(FormatDateTime("d/m/yy h:n:s.zzz", v), "25/12/06 14:30:5.007");
  EXPECT_EQ(FormatDateTime("hh:mm", v), "14:30");  // m after h is minutes
  EXPECT_EQ(FormatDateTime("dddd d mmmm yyyy", v), "lundi 25 d\xE9" "cembre 2006");
  EXPECT_EQ(FormatDateTime("ddd mmm", v), "lun. d\xE9" "c.");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", v), "2:30 pm");
  EXPECT_EQ(FormatDateTime("'dd' \"mm\" yyyy", v), "dd mm 2006");
  EXPECT_EQ(FormatDateTime("c", v), "25/12/2006 14:30:05");
  EXPECT_EQ(DateTimeToStr(v), "25/12/2006 14:30:05");
  EXPECT_EQ(DateTimeToStr(DateOf(v)), "25/12/2006");  // midnight: no time
  EXPECT_EQ(DateToStr(v), "25/12/2006");
  EXPECT_EQ(TimeToStr(v), "14:30:05");
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy", -1.25), "29/12/1899");
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss mmmm", kInvalidFileDateTime), "00/00/0000 00:00:00 ");
  EXPECT_EQ(FormatDateTime("yyyy", 1e15), "");
}

TEST(DateTime, Parsing) {
  EXPECT_EQ(*StrToDate("25/12/2006"), EncodeDateOnly(2006, 12, 25));
  EXPECT_EQ(*StrToDate(" 1/2/24 "), EncodeDateOnly(2024, 2, 1));
  EXPECT_EQ(*StrToDate("1/2/75"), EncodeDateOnly(1975, 2, 1));
  EXPECT_FALSE(StrToDate("31/02/2024"));
  EXPECT_FALSE(StrToDate("25/12"));
  EXPECT_FALSE(StrToDate("aa/bb/cccc"));
  EXPECT_FALSE(StrToDate(""));
  TFormatSettings us;
  us.ShortDateFormat = "M/d/yyyy";
  EXPECT_EQ(*StrToDate("7/14/2024", us), EncodeDateOnly(2024, 7, 14));
  EXPECT_NEAR(*StrToTime("14:30:05"), (14 * 3600 + 30 * 60 + 5) / 86400.0, 1e-12);
  EXPECT_NEAR(*StrToTime("7:05"), (7 * 3600 + 5 * 60) / 86400.0, 1e-12);
  EXPECT_FALSE(StrToTime("24:00:00"));
  EXPECT_FALSE(StrToTime("12"));
  EXPECT_FALSE(StrToTime("12:60"));
}

TEST(DateTime, TheSystemsFormatsWithTheProgramsSeparators) {
  EXPECT_EQ(NormalizeShortDateFormat("dd.MM.yyyy", '.'), "dd/MM/yyyy");
  EXPECT_EQ(NormalizeShortDateFormat("yyyy-MM-dd", '.'), "yyyy-MM-dd");
  const TDateTime when = *EncodeDateTime({2006, 12, 25, 14, 30, 5, 0, 0});
  const struct {
    const char *date, *time;
    char separator;
    const char *shortDate, *longTime;
  } cases[] = {
      {"dd/MM/yyyy", "HH:mm:ss", '/', "25/12/2006", "14:30:05"},    // French
      {"M/d/yyyy", "h:mm:ss tt", '/', "12/25/2006", "2:30:05 PM"},  // American
      {"dd.MM.yyyy", "HH:mm:ss", '.', "25/12/2006", "14:30:05"},    // German: "/" all the same
      {"yyyy-MM-dd", "H:mm:ss", '-', "2006/12/25", "14:30:05"},
      {"gg yyyy/M/d", "tt h:mm:ss", '/', "2006/12/25", "PM 2:30:05"},
      {"dd.MM.yyyy", "HH:mm:ss", '/', "25/12/2006", "14:30:05"},  // a separator edited in the picture alone
      {"d' de 'MMMM", "HH'h'mm", '/', "25 de d\xE9" "cembre", "14h30"},
      {"", "", '/', "25/12/2006", "14:30:05"},  // nothing read: the defaults
  };
  for (const auto& c : cases) {
    const TFormatSettings fs = FormatSettingsFromLocale(c.date, c.time, c.separator);
    EXPECT_EQ(DateToStr(when, fs), c.shortDate) << c.date;
    EXPECT_EQ(TimeToStr(when, fs), c.longTime) << c.time;
    EXPECT_EQ(fs.DateSeparator, '/');
    EXPECT_EQ(fs.TimeSeparator, ':');
  }
  // A date typed in the system's order reads back.
  const TFormatSettings us = FormatSettingsFromLocale("M/d/yyyy", "h:mm:ss tt", '/');
  EXPECT_EQ(StrToDate("12/25/2006", us), EncodeDateOnly(2006, 12, 25));
  EXPECT_EQ(DateTimeToStr(when, us), "12/25/2006 2:30:05 PM");
  // A time in a twelve-hour long time format reads back as well.
  EXPECT_EQ(StrToTime(TimeToStr(when, us)), StrToTime("14:30:05"));
  EXPECT_EQ(StrToTime("12:05 am"), StrToTime("0:05"));
  EXPECT_EQ(StrToTime("PM 12:05:00"), StrToTime("12:05"));
  EXPECT_FALSE(StrToTime("13:00 PM"));
  EXPECT_FALSE(StrToTime("0:30 AM"));
  const TFormatSettings edited = FormatSettingsFromLocale("dd.MM.yyyy", "HH:mm:ss", '/');
  EXPECT_EQ(StrToDate(DateToStr(when, edited), edited), EncodeDateOnly(2006, 12, 25));
}
