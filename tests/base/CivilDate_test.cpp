// Tests of base/CivilDate.h: day numbers against a plain day-by-day walk
// over years 1..9999, the fixed points the date values build on, and the
// month lengths.
#include "base/CivilDate.h"

#include <gtest/gtest.h>

using namespace qv::base;

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(1601, 1, 1) == -134774);  // FILETIME's zero
static_assert(DaysFromCivil(1899, 12, 30) == -25569);  // date-time value 0.0

TEST(CivilDate, MonthLengthsAndLeapYears) {
  const int common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(DaysInMonth(2023, m), common[m - 1]) << m;
    EXPECT_EQ(DaysInMonth(2024, m), m == 2 ? 29 : common[m - 1]) << m;
  }
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
  EXPECT_EQ(DaysInMonth(2024, -1), 0);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(1600));
  EXPECT_TRUE(IsLeapYear(0));
  EXPECT_TRUE(IsLeapYear(-4));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_FALSE(IsLeapYear(-1));
}

// Every day of years 1..9999 in order: each is one more than the day
// before, comes back as the same date, and the week goes round.
TEST(CivilDate, EveryDayOfYears1To9999) {
  int y = 1, m = 1, d = 1;
  int64_t expected = DaysFromCivil(1, 1, 1);
  EXPECT_EQ(expected, -719162);
  EXPECT_EQ(DayOfWeek(expected), 1);  // 1 January 0001 was a Monday
  int week = DayOfWeek(expected);
  int mismatches = 0;
  while (y <= 9999) {
    const int64_t n = DaysFromCivil(y, m, d);
    const TCivilDate back = CivilFromDays(n);
    if (n != expected || back.Year != y || back.Month != m || back.Day != d || DayOfWeek(n) != week) {
      if (++mismatches <= 5) ADD_FAILURE() << y << '-' << m << '-' << d << ": " << n << " instead of " << expected;
    }
    ++expected;
    week = (week + 1) % 7;
    if (++d > DaysInMonth(y, m)) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(DaysFromCivil(9999, 12, 31), 2932896);
}

// Before year 1 and before 1970 the counts go on backwards, week included.
TEST(CivilDate, NegativeDayNumbers) {
  EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
  EXPECT_EQ(DayOfWeek(-1), 3);  // a Wednesday
  EXPECT_EQ(DayOfWeek(-7), 4);
  EXPECT_EQ(DayOfWeek(-8), 3);
  const TCivilDate leapDay = CivilFromDays(DaysFromCivil(0, 2, 29));
  EXPECT_EQ(leapDay.Year, 0);
  EXPECT_EQ(leapDay.Month, 2);
  EXPECT_EQ(leapDay.Day, 29);
  EXPECT_EQ(DaysFromCivil(0, 3, 1) - DaysFromCivil(0, 2, 28), 2);
  const TCivilDate old = CivilFromDays(DaysFromCivil(-400, 1, 1) - 1);
  EXPECT_EQ(old.Year, -401);
  EXPECT_EQ(old.Month, 12);
  EXPECT_EQ(old.Day, 31);
  EXPECT_EQ(DaysFromCivil(2000, 1, 1) - DaysFromCivil(1600, 1, 1), 146097);  // one 400-year cycle
}
