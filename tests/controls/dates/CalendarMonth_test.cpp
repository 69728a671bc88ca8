// Tests of controls/dates/CalendarMonth.h: grid layout by the week's first day,
// navigation across month ends and leap days, and the limits.
#include "controls/dates/CalendarMonth.h"

#include <gtest/gtest.h>

using namespace qv::controls;
using namespace qv::engine;

namespace {

TDateTime Day(int y, int m, int d) { return EncodeDateOnly(y, m, d); }

TCalendarMonth At(int y, int m, int d) {
  TCalendarMonth c;
  c.SetDate(Day(y, m, d));
  return c;
}

}  // namespace

TEST(CalendarMonth, FirstOfTheMonthSitsUnderItsWeekday) {
  // September 2024 starts on a Sunday: last column with Monday first.
  TCalendarMonth c = At(2024, 9, 15);
  EXPECT_EQ(c.CellDay(6, 1), 1);
  EXPECT_EQ(c.CellDay(5, 1), 0);
  EXPECT_EQ(c.FirstDayOffset(), -5);
  // July 2024 starts on a Monday: first column.
  c.SetDate(Day(2024, 7, 1));
  EXPECT_EQ(c.CellDay(0, 1), 1);
  EXPECT_EQ(c.CellDay(2, 5), 31);
  EXPECT_EQ(c.CellDay(3, 5), 0);  // beyond the month
  EXPECT_EQ(c.CellDay(0, 0), 0);  // header row
  // With Sunday first, September 2024 starts in the first column.
  c.SetStartOfWeek(Sun);
  c.SetDate(Day(2024, 9, 15));
  EXPECT_EQ(c.CellDay(0, 1), 1);
  EXPECT_EQ(c.ColumnWeekday(0), 0);
  EXPECT_TRUE(c.IsWeekendColumn(0));
  EXPECT_FALSE(c.IsWeekendColumn(6));
}

TEST(CalendarMonth, SelectedCellMatchesTheCellDay) {
  for (int month = 1; month <= 12; ++month) {
    for (int day : {1, 9, 28}) {
      TCalendarMonth c = At(2025, month, day);
      int col = -1, row = -1;
      c.SelectedCell(col, row);
      EXPECT_EQ(c.CellDay(col, row), day) << month << "/" << day;
      EXPECT_EQ(c.CellDate(col, row), Day(2025, month, day));
    }
  }
}

TEST(CalendarMonth, MonthAndYearStepsKeepTheDayWithinTheMonth) {
  TCalendarMonth c = At(2024, 3, 31);
  EXPECT_TRUE(c.ShiftMonth(-1));
  EXPECT_EQ(c.Date(), Day(2024, 2, 29));
  c.SetDate(Day(2023, 3, 31));
  c.ShiftMonth(-1);
  EXPECT_EQ(c.Date(), Day(2023, 2, 28));
  c.SetDate(Day(2024, 12, 31));
  c.ShiftMonth(1);
  EXPECT_EQ(c.Date(), Day(2025, 1, 31));
  c.SetDate(Day(2024, 1, 31));
  c.ShiftMonth(1);
  EXPECT_EQ(c.Date(), Day(2024, 2, 29));
  c.SetDate(Day(2024, 2, 29));
  EXPECT_TRUE(c.GoNextYear());
  EXPECT_EQ(c.Date(), Day(2025, 2, 28));
  c.SetDate(Day(2024, 2, 29));
  c.GoPrevYear();
  EXPECT_EQ(c.Date(), Day(2023, 2, 28));
  // Days step across month ends.
  c.SetDate(Day(2024, 3, 1));
  c.StepDay(-1);
  EXPECT_EQ(c.Date(), Day(2024, 2, 29));
  c.StepDay(1);
  EXPECT_EQ(c.Date(), Day(2024, 3, 1));
}

TEST(CalendarMonth, StepsStopAtTheFirstAndLastRepresentableMonths) {
  TCalendarMonth c = At(9999, 12, 15);
  EXPECT_FALSE(c.ShiftMonth(1));
  EXPECT_EQ(c.Date(), Day(9999, 12, 15));
  EXPECT_FALSE(c.GoNextYear());
  EXPECT_EQ(c.Date(), Day(9999, 12, 15));
  EXPECT_TRUE(c.ShiftMonth(-1));
  EXPECT_EQ(c.Date(), Day(9999, 11, 15));
  c.SetDate(Day(9999, 12, 31));
  EXPECT_FALSE(c.StepDay(1));
  EXPECT_EQ(c.Date(), Day(9999, 12, 31));

  c.SetDate(Day(1, 1, 20));
  EXPECT_FALSE(c.ShiftMonth(-1));
  EXPECT_EQ(c.Date(), Day(1, 1, 20));
  EXPECT_FALSE(c.GoPrevYear());
  EXPECT_EQ(c.Date(), Day(1, 1, 20));
  EXPECT_TRUE(c.ShiftMonth(1));
  EXPECT_EQ(c.Date(), Day(1, 2, 20));
  c.SetDate(Day(1, 1, 1));
  EXPECT_FALSE(c.StepDay(-1));
  EXPECT_EQ(c.Date(), Day(1, 1, 1));
}

TEST(CalendarMonth, PartWritesRefuseOddValues) {
  TCalendarMonth c = At(2024, 5, 10);
  EXPECT_FALSE(c.SetDay(0));
  EXPECT_FALSE(c.SetDay(32));
  EXPECT_FALSE(c.SetDay(10));
  EXPECT_FALSE(c.SetMonth(13));
  EXPECT_FALSE(c.SetMonth(0));
  EXPECT_FALSE(c.SetYear(0));
  EXPECT_FALSE(c.SetYear(2024));
  EXPECT_EQ(c.Date(), Day(2024, 5, 10));
  c.SetDate(Day(2024, 1, 31));
  EXPECT_TRUE(c.SetMonth(4));
  EXPECT_EQ(c.Date(), Day(2024, 4, 30));
}

TEST(CalendarMonth, LimitsHoldTheDateAndTheButtons) {
  TCalendarMonth c = At(2024, 6, 20);
  c.SetMinDate(Day(2024, 6, 10));
  TCalendarNav n = c.Navigation();
  EXPECT_FALSE(n.PrevMonth);
  EXPECT_FALSE(n.PrevYear);
  EXPECT_TRUE(n.NextMonth && n.NextYear);
  c.SetDay(10);
  EXPECT_FALSE(c.StepDay(-1));  // Left on 10 June keeps 10 June
  EXPECT_EQ(c.Date(), Day(2024, 6, 10));
  EXPECT_FALSE(c.SetDay(5));
  EXPECT_EQ(c.Date(), Day(2024, 6, 10));
  c.ShiftMonth(-1);
  EXPECT_EQ(c.Date(), Day(2024, 6, 10));
  // June 2024 starts on a Saturday: its 1st is disabled, its 10th not.
  EXPECT_EQ(c.CellDay(5, 1), 1);
  EXPECT_FALSE(c.CellEnabled(5, 1));
  EXPECT_TRUE(c.CellEnabled(0, 3));
  EXPECT_EQ(c.CellDay(0, 3), 10);
  EXPECT_TRUE(c.CellEnabled(0, 0));
  // A later year, then back: pulled to the limit's month and day.
  c.SetDate(Day(2026, 3, 1));
  c.SetYear(2023);
  EXPECT_EQ(c.Date(), Day(2024, 6, 10));
  // A maximum moves the date down and closes the next buttons.
  c.SetDate(Day(2025, 1, 15));
  c.SetMaxDate(Day(2024, 12, 24));
  EXPECT_EQ(c.Date(), Day(2024, 12, 24));
  n = c.Navigation();
  EXPECT_FALSE(n.NextMonth || n.NextYear);
  EXPECT_TRUE(n.PrevMonth);
  EXPECT_FALSE(n.PrevYear);  // MinDate lies in the same year
  EXPECT_TRUE(c.SetMonth(11));
  EXPECT_TRUE(c.SetMonth(12) && c.Date() == Day(2024, 12, 24));
  EXPECT_TRUE(c.WithinLimits(EmptyDate));
  EXPECT_FALSE(c.WithinLimits(Day(2024, 12, 25)));
  EXPECT_FALSE(c.WithinLimits(Day(2024, 6, 9)));
}
