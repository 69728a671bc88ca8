// TSelectDateDlg: the modal date dialog of a date edit whose calendar style
// is csDialog: a title with four navigation buttons, the month grid, OK and
// Cancel. Tab / Shift+Tab and Page Up / Page Down turn the months (Ctrl:
// years), Enter accepts, Escape cancels, a double click on a day accepts.
// RunDateDialog places it under (or above) the edit and returns the date.
// Example:  TDateTime d = Today();
//           if (RunDateDialog(nullptr, d, "", 0, 0, {}, clRed, DaySet(Sun), Mon)) ...
// Main thread only. Tested by tests/controls/dates/QxPickDate_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "controls/dates/QxCalendar.h"
#include "framework/Form.h"

namespace qv::controls {

class TSelectDateDlg : public qv::fw::TForm {
public:
  explicit TSelectDateDlg(qv::fw::TComponent* owner);

  TQxCalendar* Calendar = nullptr;
  qv::fw::TLabel* TitleLabel = nullptr;
  TQxTimerSpeedButton* NavButtons[4] = {};  // previous year, previous month, next month, next year
  qv::fw::TButton* OkButton = nullptr;
  qv::fw::TButton* CancelButton = nullptr;

  TDateTime Date() const { return Calendar->CalendarDate(); }
  // The empty date (or a date that cannot be set) shows today.
  void SetDate(TDateTime d);

  void TopPanelDblClick(qv::fw::TComponent& sender);
  void PrevYearBtnClick(qv::fw::TComponent& sender);
  void NextYearBtnClick(qv::fw::TComponent& sender);
  void PrevMonthBtnClick(qv::fw::TComponent& sender);
  void NextMonthBtnClick(qv::fw::TComponent& sender);
  void CalendarChange(qv::fw::TComponent& sender);
  void CalendarDblClick(qv::fw::TComponent& sender);
  void FormKeyDown(qv::fw::TComponent& sender, WORD& key, qv::fw::TShiftState shift);

private:
  void UpdateTitle();
};

TSelectDateDlg* MakeDateDialog(const std::string& caption, TDateTime maxDate, TDateTime minDate);
// Returns true, with the picked date in date, when the dialog closed with OK.
bool RunDateDialog(qv::fw::TWinControl* edit, TDateTime& date, const std::string& caption, TDateTime maxDate,
                   TDateTime minDate, const std::vector<std::string>& hints, qv::fw::TColor weekendColor,
                   TDaysOfWeek weekends, TDayOfWeekName startOfWeek);

// Runs once each time a date dialog has been laid out and is about to run
// modally (tests drive the dialog from here).
void SetDateDialogShowHook(std::function<void(TSelectDateDlg&)> hook);

}  // namespace qv::controls
