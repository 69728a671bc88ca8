// The state of a month calendar without any window: the selected date, its
// limits, the week's first column, and the 7 x 7 grid (a header row, then
// six rows of day numbers) with the rules that move the date by its parts,
// by months and years, and by single days, always inside the limits.
// The calendar controls only draw it and forward input.
// Example:  TCalendarMonth c; c.SetDate(EncodeDateOnly(2024, 3, 31));
//           c.ShiftMonth(-1);  // 29 February 2024
// Tested by tests/controls/dates/CalendarMonth_test.cpp.
#pragma once

#include "controls/dates/DateEntry.h"

namespace qv::controls {

// Which of the four navigation buttons may act on the shown month.
struct TCalendarNav {
  bool PrevYear = true, PrevMonth = true, NextMonth = true, NextYear = true;
};

class TCalendarMonth {
public:
  TCalendarMonth();

  TDateTime Date() const { return m_date; }
  int Year() const { return m_year; }
  int Month() const { return m_month; }
  int Day() const { return m_day; }
  // A set MinDate above d replaces it, else a set MaxDate below it.
  // Returns whether the date changed.
  bool SetDate(TDateTime d);

  // Part writes: values below 1 (and months above 12, days beyond the
  // month) are refused, and so are unchanged values; the result is pulled
  // inside the limits. Return whether the date changed.
  bool SetYear(int year);
  bool SetMonth(int month);
  bool SetDay(int day);

  // 0 means no limit. A new limit pulls the date inside it.
  TDateTime MinDate() const { return m_min; }
  TDateTime MaxDate() const { return m_max; }
  bool SetMinDate(TDateTime d);
  bool SetMaxDate(TDateTime d);
  // Both limits without moving the date (the drop-down's settings).
  void SetLimitsOnly(TDateTime minDate, TDateTime maxDate) { m_min = minDate, m_max = maxDate; }

  TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
  void SetStartOfWeek(TDayOfWeekName d) { m_startOfWeek = d; }
  TDaysOfWeek Weekends() const { return m_weekends; }
  void SetWeekends(TDaysOfWeek w) { m_weekends = w; }

  // Navigation; the day is kept, cut to the month reached.
  bool ShiftMonth(int delta);
  bool GoNextYear();
  bool GoPrevYear();
  // Left / Right keys: one day back or on, refused outside the limits.
  bool StepDay(int delta);

  // --- The grid
  int MonthDays() const { return MonthLength(m_year, m_month); }
  // The day number shown in column 0 of row 1 (may be below 1).
  int FirstDayOffset() const { return m_offset; }
  // The day number of a cell, 0 for the header row and empty cells.
  int CellDay(int column, int row) const;
  TDateTime CellDate(int column, int row) const;
  // The weekday (0 = Sunday) shown in a column.
  int ColumnWeekday(int column) const { return (column + static_cast<int>(m_startOfWeek)) % 7; }
  bool IsWeekendColumn(int column) const { return InDays(m_weekends, ColumnWeekday(column)); }
  bool WithinLimits(TDateTime d) const;
  // Header and empty cells count as enabled.
  bool CellEnabled(int column, int row) const { return WithinLimits(CellDate(column, row)); }
  void SelectedCell(int& column, int& row) const;
  TCalendarNav Navigation() const;

private:
  void Store(TDateTime d);
  void Layout();

  TDateTime m_date = 0;
  int m_year = 1899, m_month = 12, m_day = 30;
  TDateTime m_min = 0, m_max = 0;
  TDayOfWeekName m_startOfWeek = Mon;
  TDaysOfWeek m_weekends = DaySet(Sun);
  int m_offset = 1;
};

}  // namespace qv::controls
