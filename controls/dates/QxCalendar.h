// TQxCalendar: a month grid of 7 columns by 7 rows (a row of day names,
// then the days) over the window-free TCalendarMonth: clicks and keys pick
// a day, limits grey the days outside them, weekend columns take their
// colour. TLocCalendar is its borderless form inside the drop-down: it
// never takes the focus (the date edit keeps it) yet still gets the mouse,
// and frames today. TQxTimerSpeedButton repeats its click while held.
// Example:  auto& c = form.Make<TQxCalendar>("Calendar");
//           c.Place(&form, 0, 0, 218, 113); c.OnChange = ...;
// Main thread only. Tested by tests/controls/dates/QxPickDate_test.cpp.
#pragma once

#include <string>

#include "controls/buttons/QxSpeedButton.h"
#include "controls/dates/CalendarMonth.h"
#include "controls/dates/QxDateUtil.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

class TQxTimerSpeedButton : public TQxSpeedButton {
public:
  explicit TQxTimerSpeedButton(qv::fw::TComponent* owner);
};

class TQxCalendar : public qv::fw::TCustomControl {
public:
  explicit TQxCalendar(qv::fw::TComponent* owner);

  TDateTime CalendarDate() const { return m_month.Date(); }
  void SetCalendarDate(TDateTime d);
  int Day() const { return m_month.Day(); }
  int Month() const { return m_month.Month(); }
  int Year() const { return m_month.Year(); }
  void SetDay(int v);
  void SetMonth(int v);
  void SetYear(int v);
  TDateTime MinDate() const { return m_month.MinDate(); }
  TDateTime MaxDate() const { return m_month.MaxDate(); }
  void SetMinDate(TDateTime d);
  void SetMaxDate(TDateTime d);
  // Both limits as they are, the date left where it is.
  void SetLimitsOnly(TDateTime minDate, TDateTime maxDate);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool v) { m_readOnly = v; }
  TDayOfWeekName StartOfWeek() const { return m_month.StartOfWeek(); }
  void SetStartOfWeek(TDayOfWeekName d);
  bool UseCurrentDate() const { return m_useCurrentDate; }
  void SetUseCurrentDate(bool v);
  TDaysOfWeek Weekends() const { return m_month.Weekends(); }
  void SetWeekends(TDaysOfWeek w);
  qv::fw::TColor WeekendColor() const { return m_weekendColor; }
  void SetWeekendColor(qv::fw::TColor c);
  // Vertical and horizontal lines between all cells.
  void SetGridLines(bool v);
  // Tab reaches the grid's key handlers (the date dialog turns months
  // with it) instead of moving the focus.
  void SetWantTabs(bool v) { m_wantTabs = v; }

  void GoPrevMonth();
  void GoNextMonth();
  void GoPrevYear();
  void GoNextYear();
  // Keys and characters as the grid takes them (also sent on by the
  // drop-down, which keeps the focus in the edit).
  void CalendarKey(WORD& key, qv::fw::TShiftState shift);
  void CalendarChar(char& key);

  std::string CellCaption(int column, int row) const;
  TDateTime CellDate(int column, int row) const { return m_month.CellDate(column, row); }
  bool CellEnabled(int column, int row) const { return m_month.CellEnabled(column, row); }
  bool WithinLimits(TDateTime d) const { return m_month.WithinLimits(d); }
  bool IsWeekendColumn(int column) const { return m_month.IsWeekendColumn(column); }
  int MonthDays() const { return m_month.MonthDays(); }
  const TCalendarMonth& Model() const { return m_month; }
  // The cell under a client point; false outside the grid.
  bool CellAt(int x, int y, int& column, int& row) const;
  qv::fw::TRect CellRect(int column, int row) const;

  qv::fw::TNotifyEvent OnChange;

protected:
  void Paint(qv::fw::TCanvas& canvas) override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void CreateParams(qv::fw::TCreateParams& p) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual void RebuildMonth(bool immediate);
  virtual void DrawCell(qv::fw::TCanvas& canvas, int column, int row, const qv::fw::TRect& r);
  // Set for the drop-down's grid: no lines but under the header, no border.
  bool m_popupLook = false;

private:
  void Changed(bool changed, bool immediate);
  int LineWidth() const { return m_gridLines ? 1 : 0; }

  TCalendarMonth m_month;
  bool m_readOnly = false;
  bool m_useCurrentDate = true;
  bool m_gridLines = true;
  bool m_wantTabs = false;
  qv::fw::TColor m_weekendColor = qv::fw::clRed;
};

class TLocCalendar : public TQxCalendar {
public:
  explicit TLocCalendar(qv::fw::TComponent* owner);

protected:
  void CreateParams(qv::fw::TCreateParams& p) override;
  void DrawCell(qv::fw::TCanvas& canvas, int column, int row, const qv::fw::TRect& r) override;
  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
};

}  // namespace qv::controls
