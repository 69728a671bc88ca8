// TPopupCalendar: the date edit's drop-down: a month title between four
// repeating buttons (year and month back and on) over a borderless month
// grid. A release of the left button on a day closes it accepting; Page
// Up and Page Down (Ctrl: years) turn the months while the edit keeps the
// focus. Also the calendar routines shared with the date dialog:
// ApplyMessageFont, MakePopupCalendar and ConfigurePopupCalendar.
// Example:  TPopupCalendar* p = MakePopupCalendar(edit, 0, 0);
// Main thread only. Tested by tests/controls/dates/QxPickDate_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "controls/dates/QxCalendar.h"
#include "controls/edits/QxComboEdit.h"

namespace qv::controls {

class TPopupCalendar : public TPopupWindow {
public:
  explicit TPopupCalendar(qv::fw::TComponent* owner);

  TPopupValue ReadValue() override;
  void WriteValue(const TPopupValue& v) override;
  void PopupKeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void PopupKeyPress(char& key) override;

  TLocCalendar* Calendar() const { return m_calendar; }
  qv::fw::TLabel* TitleLabel() const { return m_title; }
  // Previous year, previous month, next month, next year.
  TQxTimerSpeedButton* NavButton(int i) const { return m_buttons[static_cast<size_t>(i)]; }
  bool FourDigitYear() const { return m_fourDigitYear; }
  void SetFourDigitYear(bool v) { m_fourDigitYear = v; }
  // The title and the buttons' states from the calendar's date.
  void UpdateTitle();
  void Invalidate() override;

private:
  void GridMouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y);

  qv::fw::TPanel* m_client = nullptr;
  qv::fw::TPanel* m_top = nullptr;
  TLocCalendar* m_calendar = nullptr;
  qv::fw::TLabel* m_title = nullptr;
  TQxTimerSpeedButton* m_buttons[4] = {};
  bool m_fourDigitYear = true;
};

// The message font of the system, or MS Sans Serif 8 when it cannot be read.
void ApplyMessageFont(qv::fw::TFont& font);
TPopupCalendar* MakePopupCalendar(qv::fw::TWinControl& edit, TDateTime maxDate, TDateTime minDate);
void ConfigurePopupCalendar(TPopupCalendar& popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                            TDateTime minDate, TDateTime maxDate, bool fourDigitYear,
                            const std::vector<std::string>& hints, qv::fw::TColor weekendColor);
// The children of parent, and theirs, moved and sized by ppi / 96.
void ScaleChildren(qv::fw::TWinControl& parent, int ppi);
// The bitmaps of the navigation buttons, previous year first.
HBITMAP NavigationBitmap(int i);
// Enables the four buttons by the calendar's limits.
void EnableNavigation(const TQxCalendar& calendar, TQxSpeedButton* const buttons[4]);

}  // namespace qv::controls
