// Month calendar rules; see CalendarMonth.h.
#include "controls/dates/CalendarMonth.h"

#include <algorithm>
#include <cmath>

namespace qv::controls {

using namespace qv::engine;

namespace {

struct TYmd {
  int Year = 0, Month = 0, Day = 0;
};

TYmd Split(TDateTime d) {
  if (auto t = DecodeDateTime(std::floor(d))) return {t->Year, t->Month, t->Day};
  return {1899, 12, 30};
}

int Weekday(int year, int month, int day) {
  if (auto t = DecodeDateTime(EncodeDateOnly(year, month, day))) return t->DayOfWeek;
  return 0;
}

}  // namespace

TCalendarMonth::TCalendarMonth() { Store(0); }

void TCalendarMonth::Store(TDateTime d) {
  m_date = std::floor(d);
  const TYmd p = Split(m_date);
  m_year = p.Year, m_month = p.Month, m_day = p.Day;
  Layout();
}

void TCalendarMonth::Layout() {
  // The first of the month sits in column w - 1 of the first day row, or in
  // the last column when w is 0.
  const int dayOfWeek = Weekday(m_year, m_month, 1) + 1;  // 1 = Sunday
  const int w = (dayOfWeek - static_cast<int>(m_startOfWeek) + 7) % 7;
  m_offset = w == 0 ? -5 : 2 - w;
}

bool TCalendarMonth::SetDate(TDateTime d) {
  d = std::floor(d);
  if (m_min != 0 && d < m_min) d = m_min;
  else if (m_max != 0 && d > m_max) d = m_max;
  const bool changed = d != m_date;
  Store(d);
  return changed;
}

bool TCalendarMonth::SetMinDate(TDateTime d) {
  if (d == m_min) return false;
  m_min = std::floor(d);
  if (m_min != 0 && m_date < m_min) Store(m_min);
  else Layout();
  return true;
}

bool TCalendarMonth::SetMaxDate(TDateTime d) {
  if (d == m_max) return false;
  m_max = std::floor(d);
  if (m_max != 0 && m_date > m_max) Store(m_max);
  else Layout();
  return true;
}

bool TCalendarMonth::SetYear(int year) {
  if (year < 1 || year > 9999) return false;
  int month = m_month, day = m_day;
  if (m_min != 0) {
    const TYmd lo = Split(m_min);
    if (year <= lo.Year) {
      year = lo.Year;
      if (month < lo.Month) month = lo.Month;
      if (month == lo.Month && day < lo.Day) day = lo.Day;
    }
  }
  if (m_max != 0) {
    const TYmd hi = Split(m_max);
    if (year >= hi.Year) {
      year = hi.Year;
      if (month > hi.Month) month = hi.Month;
      if (month == hi.Month && day > hi.Day) day = hi.Day;
    }
  }
  if (year == m_year) return false;
  day = std::min(day, MonthLength(year, month));
  return SetDate(EncodeDateOnly(year, month, day));
}

bool TCalendarMonth::SetMonth(int month) {
  if (month < 1 || month > 12 || month == m_month) return false;
  int day = m_day;
  if (m_min != 0) {
    const TYmd lo = Split(m_min);
    if (m_year == lo.Year && month < lo.Month) month = lo.Month;
  }
  if (m_max != 0) {
    const TYmd hi = Split(m_max);
    if (m_year == hi.Year && month > hi.Month) month = hi.Month;
  }
  day = std::min(day, MonthLength(m_year, month));
  if (m_min != 0) {
    const TYmd lo = Split(m_min);
    if (m_year == lo.Year && month == lo.Month && day < lo.Day) day = lo.Day;
  }
  if (m_max != 0) {
    const TYmd hi = Split(m_max);
    if (m_year == hi.Year && month == hi.Month && day > hi.Day) day = hi.Day;
  }
  return SetDate(EncodeDateOnly(m_year, month, day));
}

bool TCalendarMonth::SetDay(int day) {
  if (day < 1 || day > MonthDays() || day == m_day) return false;
  const TDateTime d = EncodeDateOnly(m_year, m_month, day);
  if (m_min != 0 && d < m_min) day = Split(m_min).Day;
  else if (m_max != 0 && d > m_max) day = Split(m_max).Day;
  return SetDate(EncodeDateOnly(m_year, m_month, day));
}

bool TCalendarMonth::ShiftMonth(int delta) {
  const int kept = m_day;
  const TDateTime edge = EncodeDateOnly(m_year, m_month, delta <= 0 ? 1 : MonthDays());
  // Beyond year 9999 or before year 1 there is no month to reach: stay.
  if (!DateValueValid(edge + delta)) return false;
  const TYmd reached = Split(edge + delta);
  const int day = std::min(kept, MonthLength(reached.Year, reached.Month));
  return SetDate(EncodeDateOnly(reached.Year, reached.Month, day));
}

bool TCalendarMonth::GoNextYear() {
  if (m_month == 2 && m_day == 29) Store(EncodeDateOnly(m_year, 2, 28));
  return SetYear(m_year + 1);
}

bool TCalendarMonth::GoPrevYear() {
  if (m_month == 2 && m_day == 29) Store(EncodeDateOnly(m_year, 2, 28));
  return SetYear(m_year - 1);
}

bool TCalendarMonth::StepDay(int delta) {
  const TDateTime d = m_date + delta;
  if (!WithinLimits(d) || !DateValueValid(d)) return false;
  return SetDate(d);
}

int TCalendarMonth::CellDay(int column, int row) const {
  if (row < 1 || row > 6 || column < 0 || column > 6) return 0;
  const int day = column + m_offset + 7 * row - 7;
  return day < 1 || day > MonthDays() ? 0 : day;
}

TDateTime TCalendarMonth::CellDate(int column, int row) const {
  const int day = CellDay(column, row);
  return day == 0 ? EmptyDate : EncodeDateOnly(m_year, m_month, day);
}

bool TCalendarMonth::WithinLimits(TDateTime d) const {
  if ((m_min == 0 && m_max == 0) || d == EmptyDate) return true;
  if (m_min != 0 && m_max != 0) return m_min <= d && d <= m_max;
  if (m_min != 0) return d >= m_min;
  return d <= m_max;
}

void TCalendarMonth::SelectedCell(int& column, int& row) const {
  column = (m_day - m_offset) % 7;
  row = (m_day - m_offset) / 7 + 1;
}

TCalendarNav TCalendarMonth::Navigation() const {
  TCalendarNav n;
  if (m_min != 0) {
    const TYmd lo = Split(m_min);
    n.PrevYear = lo.Year < m_year;
    n.PrevMonth = lo.Year < m_year || (lo.Year == m_year && lo.Month < m_month);
  }
  if (m_max != 0) {
    const TYmd hi = Split(m_max);
    n.NextMonth = m_year < hi.Year || (m_year == hi.Year && m_month < hi.Month);
    n.NextYear = m_year < hi.Year;
  }
  return n;
}

}  // namespace qv::controls
