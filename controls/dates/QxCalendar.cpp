// Month grid controls; see QxCalendar.h.
#include "controls/dates/QxCalendar.h"

#include <algorithm>

namespace qv::controls {

using namespace qv::fw;

TQxTimerSpeedButton::TQxTimerSpeedButton(TComponent* owner) : TQxSpeedButton(owner) {
  SetStyle(bsWin31);
  SetAllowTimer(true);
}

// --- TQxCalendar

TQxCalendar::TQxCalendar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 192, 115);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(true);
  m_month.SetDate(Today());
}

void TQxCalendar::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.ClassName = "TQxCalendar";
  p.Style |= WS_BORDER;
}

LRESULT TQxCalendar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Arrows and characters belong to the grid, not to the dialog.
  if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_wantTabs ? DLGC_WANTTAB : 0);
  return TCustomControl::WndProc(msg, wp, lp);
}

void TQxCalendar::Changed(bool changed, bool immediate) {
  RebuildMonth(immediate);
  if (changed && OnChange) OnChange(*this);
}

void TQxCalendar::RebuildMonth(bool immediate) {
  Invalidate();
  if (immediate && HandleAllocated()) UpdateWindow(HandleIfAllocated());
}

void TQxCalendar::SetCalendarDate(TDateTime d) {
  // OnChange follows every write, as the caller may have replaced the month.
  m_month.SetDate(d);
  Changed(true, false);
}

void TQxCalendar::SetDay(int v) {
  if (!m_month.SetDay(v)) return;
  m_useCurrentDate = false;
  Changed(true, true);
}

void TQxCalendar::SetMonth(int v) {
  if (!m_month.SetMonth(v)) return;
  m_useCurrentDate = false;
  Changed(true, false);
}

void TQxCalendar::SetYear(int v) {
  if (!m_month.SetYear(v)) return;
  m_useCurrentDate = false;
  Changed(true, false);
}

void TQxCalendar::SetMinDate(TDateTime d) {
  const TDateTime before = m_month.Date();
  if (m_month.SetMinDate(d)) Changed(before != m_month.Date(), false);
}

void TQxCalendar::SetMaxDate(TDateTime d) {
  const TDateTime before = m_month.Date();
  if (m_month.SetMaxDate(d)) Changed(before != m_month.Date(), false);
}

void TQxCalendar::SetLimitsOnly(TDateTime minDate, TDateTime maxDate) {
  m_month.SetLimitsOnly(minDate, maxDate);
  Invalidate();
}

void TQxCalendar::SetStartOfWeek(TDayOfWeekName d) {
  if (d == m_month.StartOfWeek()) return;
  m_month.SetStartOfWeek(d);
  m_month.SetDate(m_month.Date());  // lays the month out again
  Invalidate();
}

void TQxCalendar::SetUseCurrentDate(bool v) {
  m_useCurrentDate = v;
  if (v) SetCalendarDate(Today());
}

void TQxCalendar::SetWeekends(TDaysOfWeek w) {
  if (w == m_month.Weekends()) return;
  m_month.SetWeekends(w);
  Invalidate();
}

void TQxCalendar::SetWeekendColor(TColor c) {
  if (c == m_weekendColor) return;
  m_weekendColor = c;
  Invalidate();
}

void TQxCalendar::SetGridLines(bool v) {
  m_gridLines = v;
  Invalidate();
}

void TQxCalendar::GoPrevMonth() { Changed(m_month.ShiftMonth(-1), false); }
void TQxCalendar::GoNextMonth() { Changed(m_month.ShiftMonth(1), false); }
void TQxCalendar::GoPrevYear() { Changed(m_month.GoPrevYear(), false); }
void TQxCalendar::GoNextYear() { Changed(m_month.GoNextYear(), false); }

std::string TQxCalendar::CellCaption(int column, int row) const {
  if (row == 0) return DateLocale().ShortDayNames[static_cast<size_t>(m_month.ColumnWeekday(column))];
  const int day = m_month.CellDay(column, row);
  return day == 0 ? std::string() : std::to_string(day);
}

TRect TQxCalendar::CellRect(int column, int row) const {
  const TRect client = ClientRect();
  const int line = LineWidth();
  const int w = (client.Width() - 6 * line) / 7, h = (client.Height() - 6 * line) / 7;
  return TRect::Bounds(column * (w + line), row * (h + line), w, h);
}

bool TQxCalendar::CellAt(int x, int y, int& column, int& row) const {
  for (row = 0; row < 7; ++row)
    for (column = 0; column < 7; ++column) {
      const TRect r = CellRect(column, row);
      if (x >= r.Left && x < r.Right + LineWidth() && y >= r.Top && y < r.Bottom + LineWidth()) return true;
    }
  return false;
}

void TQxCalendar::Paint(TCanvas& canvas) {
  const TRect client = ClientRect();
  canvas.FillRect(client, EffectiveColor());
  int selCol = 0, selRow = 0;
  m_month.SelectedCell(selCol, selRow);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 7; ++col) DrawCell(canvas, col, row, CellRect(col, row));
  if (m_popupLook) {
    const TRect h = CellRect(0, 0);
    canvas.Line(0, h.Bottom, client.Right, h.Bottom, clBtnShadow);
  } else if (m_gridLines) {
    for (int i = 1; i < 7; ++i) {
      const TRect r = CellRect(i, i);
      canvas.Line(r.Left - 1, 0, r.Left - 1, client.Bottom, clBtnFace);
      canvas.Line(0, r.Top - 1, client.Right, r.Top - 1, clBtnFace);
    }
  }
}

void TQxCalendar::DrawCell(TCanvas& canvas, int column, int row, const TRect& r) {
  const std::string caption = CellCaption(column, row);
  int selCol = 0, selRow = 0;
  m_month.SelectedCell(selCol, selRow);
  const bool selected = row > 0 && column == selCol && row == selRow;
  TColor text = EffectiveFont().Color();
  if (row == 0 && !m_popupLook) canvas.FillRect(r, clBtnFace);
  if (selected) {
    canvas.FillRect(r, clHighlight);
    text = clHighlightText;
  } else if (IsWeekendColumn(column)) {
    text = m_weekendColor;
  }
  SetBkMode(canvas.Handle(), TRANSPARENT);
  const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
  const bool limited = MinDate() != 0 || MaxDate() != 0;
  if (row > 0 && limited && !caption.empty() && !CellEnabled(column, row)) {
    if (EffectiveColor() == clBtnFace) {
      TRect shifted = r;
      shifted.Left += 1, shifted.Top += 1, shifted.Right += 1, shifted.Bottom += 1;
      canvas.TextRect(caption, shifted, fmt, clBtnHighlight);
      canvas.TextRect(caption, r, fmt, clBtnShadow);
    } else {
      canvas.TextRect(caption, r, fmt, clBtnFace);
    }
    return;
  }
  canvas.TextRect(caption, r, fmt, text);
}

void TQxCalendar::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (b == TMouseButton::Left && TabStop() && CanFocus() && !Focused()) SetFocus();
  TCustomControl::MouseDown(b, s, x, y);
  int col = 0, row = 0;
  if (b != TMouseButton::Left || m_readOnly || !CellAt(x, y, col, row)) return;
  const int day = m_month.CellDay(col, row);
  if (day != 0 && CellEnabled(col, row)) SetDay(day);
}

void TQxCalendar::CalendarKey(WORD& key, TShiftState shift) {
  if (m_readOnly) return;
  const bool plain = !shift.Shift && !shift.Ctrl && !shift.Alt;
  int delta = 0;
  if (plain && (key == VK_LEFT || key == VK_SUBTRACT)) delta = -1;
  else if (plain && (key == VK_RIGHT || key == VK_ADD)) delta = 1;
  if (delta != 0) {
    const TDateTime before = m_month.Date();
    if (m_month.StepDay(delta)) {
      m_useCurrentDate = false;
      Changed(before != m_month.Date(), true);
    }
    key = 0;
    return;
  }
  // The grid's own keys move the current cell inside the shown month; the
  // day follows it as a click would, and an empty or disabled cell keeps
  // the current one.
  int col = 0, row = 0;
  m_month.SelectedCell(col, row);
  int c = col, r = row;
  if (shift.Ctrl) {
    switch (key) {
      case VK_LEFT: c = 0; break;
      case VK_RIGHT: c = 6; break;
      case VK_HOME: c = 0, r = 1; break;
      case VK_END: c = 6, r = 6; break;
      case VK_PRIOR: r = 1; break;
      case VK_NEXT: r = 6; break;
      default: return;
    }
  } else {
    switch (key) {
      case VK_UP: --r; break;
      case VK_DOWN: ++r; break;
      case VK_LEFT: --c; break;
      case VK_RIGHT: ++c; break;
      case VK_HOME: c = 0; break;
      case VK_END: c = 6; break;
      case VK_PRIOR: r -= 6; break;
      case VK_NEXT: r += 6; break;
      default: return;
    }
  }
  key = 0;
  c = std::clamp(c, 0, 6);
  r = std::clamp(r, 1, 6);
  if (c == col && r == row) return;
  const int day = m_month.CellDay(c, r);
  if (day != 0 && CellEnabled(c, r)) SetDay(day);
}

void TQxCalendar::CalendarChar(char& key) {
  if (key == 'T' || key == 't') {
    if (!m_readOnly) SetCalendarDate(Today());
    key = 0;
  }
}

void TQxCalendar::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key) CalendarKey(key, shift);
}

void TQxCalendar::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (key) CalendarChar(key);
}

// --- TLocCalendar

TLocCalendar::TLocCalendar(TComponent* owner) : TQxCalendar(owner) {
  m_popupLook = true;
  SetTabStop(false);
  SetParentColor(true);
  SetGridLines(false);
  SetUseCurrentDate(false);
  SetCalendarDate(Today());
}

void TLocCalendar::CreateParams(TCreateParams& p) {
  TQxCalendar::CreateParams(p);
  p.ClassName = "TLocCalendar";
  p.Style &= ~static_cast<DWORD>(WS_BORDER | WS_TABSTOP | WS_DISABLED);
}

void TLocCalendar::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  // Never takes the focus: the date edit keeps it while the grid is used.
  TCustomControl::MouseDown(b, s, x, y);
  int col = 0, row = 0;
  if (b != TMouseButton::Left || ReadOnly() || !CellAt(x, y, col, row)) return;
  const int day = Model().CellDay(col, row);
  if (day != 0 && CellEnabled(col, row)) SetDay(day);
}

void TLocCalendar::DrawCell(TCanvas& canvas, int column, int row, const TRect& r) {
  TQxCalendar::DrawCell(canvas, column, row, r);
  if (row == 0 || CellDate(column, row) != Today() || Model().CellDay(column, row) == 0) return;
  canvas.Line(r.Left, r.Top, r.Right - 1, r.Top, clBtnShadow);
  canvas.Line(r.Left, r.Top, r.Left, r.Bottom - 1, clBtnShadow);
  canvas.Line(r.Left, r.Bottom - 1, r.Right, r.Bottom - 1, clBtnHighlight);
  canvas.Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom, clBtnHighlight);
}

}  // namespace qv::controls
