// TCustomDateEdit / TDateEdit: a date entry field over the combo edit. Its
// text follows a date format and edit mask made from the locale's field
// order and the wanted year digits ("DD/MM/YYYY", "!99/99/9999;1; "); the
// button drops the calendar down (or runs the date dialog); keypad plus
// and minus step the day, "T" sets today; optional limits hold the date,
// pulling it to the nearest limit or, in TDateEdit without DateAutoBetween,
// refusing it with a range error.
// Example:  auto& d = form.Make<TDateEdit>("DateEdit");
//           d.Place(&form, 72, 402, 104, 21); d.SetDate(Today());
// Main thread only. Tested by tests/controls/dates/QxDateEdit_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/dates/DateEntry.h"
#include "controls/dates/QxDateUtil.h"
#include "controls/edits/QxComboEdit.h"

namespace qv::controls {

enum TCalendarStyle { csPopup, csDialog };
enum TYearDigits { dyDefault, dyFour, dyTwo };

// May change the picked date, or refuse it (Action false).
using TExecDateDialog = std::function<void(qv::fw::TComponent& sender, TDateTime& date, bool& action)>;

class TPopupCalendar;
class TQxWindowHook;

class TCustomDateEdit : public TCustomComboEdit {
public:
  explicit TCustomDateEdit(qv::fw::TComponent* owner);
  ~TCustomDateEdit() override;

  // --- Date and text
  // The text read in the date format; the empty date (or today with
  // DefaultToday) when it is no date.
  TDateTime CurrentDate() const;
  TDateTime Date() const { return CurrentDate(); }
  virtual void SetDate(TDateTime d);
  void SetDateAndSelect(TDateTime d);
  const std::string& DateFormat() const { return m_dateFormat; }
  bool FourDigitYear() const;
  // Raises the invalid-date error (and takes the focus back) for a text
  // that is neither a date nor empty.
  void ValidateDateText();
  void UpdateDateFormat();

  // --- Settings
  char BlanksChar() const { return m_blanksChar; }
  void SetBlanksChar(char c);
  const std::vector<std::string>& CalendarHints() const { return m_calendarHints; }
  void SetCalendarHints(const std::vector<std::string>& hints);
  TCalendarStyle CalendarStyle() const { return m_calendarStyle; }
  void SetCalendarStyle(TCalendarStyle s);
  bool CheckOnExit() const { return m_checkOnExit; }
  void SetCheckOnExit(bool v) { m_checkOnExit = v; }
  bool DateAutoBetween() const { return m_dateAutoBetween; }
  virtual void SetDateAutoBetween(bool v);
  bool DefaultToday() const { return m_defaultToday; }
  void SetDefaultToday(bool v) { m_defaultToday = v; }
  const std::string& DialogTitle() const { return m_dialogTitle; }
  void SetDialogTitle(const std::string& t) { m_dialogTitle = t; }
  TDateTime MinDate() const { return m_minDate; }
  TDateTime MaxDate() const { return m_maxDate; }
  void SetMinDate(TDateTime d);
  void SetMaxDate(TDateTime d);
  qv::fw::TColor PopupColor() const { return m_popupColor; }
  void SetPopupColor(qv::fw::TColor c);
  TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
  void SetStartOfWeek(TDayOfWeekName d);
  TDaysOfWeek Weekends() const { return m_weekends; }
  void SetWeekends(TDaysOfWeek w);
  qv::fw::TColor WeekendColor() const { return m_weekendColor; }
  void SetWeekendColor(qv::fw::TColor c);
  TYearDigits YearDigits() const { return m_yearDigits; }
  void SetYearDigits(TYearDigits d);

  TExecDateDialog OnAcceptDate;

  TPopupCalendar* PopupCalendar() const;

protected:
  HBITMAP GetDefaultBitmap(int& numGlyphs) override;
  void ButtonAction() override;
  bool ConfirmPopupValue(TPopupValue& v) override;
  void TakePopupValue(const TPopupValue& v) override;
  TPopupValue PopupStartValue() override;
  void ValidateEdit() override;
  void Change() override;
  void CreateWnd() override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void KeyPress(char& key) override;
  bool ValidatesOnExit() const override;
  virtual void ClampToLimits(TDateTime& d) const;
  void PushCalendarSettings();
  bool TextStored() const;

private:
  void MakePopup();

  char m_blanksChar = ' ';
  std::vector<std::string> m_calendarHints;
  TCalendarStyle m_calendarStyle = csPopup;
  bool m_checkOnExit = false;
  bool m_dateAutoBetween = true;
  bool m_defaultToday = false;
  std::string m_dialogTitle;
  TDateTime m_minDate = 0, m_maxDate = 0;
  qv::fw::TColor m_popupColor = qv::fw::clBtnFace;
  TDayOfWeekName m_startOfWeek = Mon;
  TDaysOfWeek m_weekends = DaySet(Sun);
  qv::fw::TColor m_weekendColor = qv::fw::clRed;
  TYearDigits m_yearDigits = dyDefault;
  std::string m_dateFormat;
  bool m_formatting = false;
  // Watches the form for WM_SETTINGCHANGE (a new locale re-formats).
  TQxWindowHook* m_settingsHook = nullptr;
};

// Raises the range errors when DateAutoBetween is off.
class TDateEdit : public TCustomDateEdit {
public:
  explicit TDateEdit(qv::fw::TComponent* owner);
  void SetDate(TDateTime d) override;
};

}  // namespace qv::controls
