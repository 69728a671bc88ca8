// The month grid, the date dialog and the drop-down calendar in real
// windows: clicks on empty cells, the grid's own cell keys, the dialog's
// keys (Ctrl+Page Down is a year, Escape cancels), the navigation buttons
// held by the limits, both windows laid out for 144 pixels per inch (the
// drop-down for 72 too), and
// screenshots of the open drop-down.
#include <gtest/gtest.h>

#include "controls/dates/QxDateDialog.h"
#include "controls/dates/QxDateEdit.h"
#include "controls/dates/QxPopupCalendar.h"
#include "framework/Form.h"
#include "tests/controls/dates/DateTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::Ymd;

namespace {

class TCalendarForm : public TForm {
public:
  TCalendarForm() : TForm(&App(), "TCalendarTestForm") {
    SetBounds(60, 60, 360, 260);
    Calendar = &Make<TQxCalendar>("Calendar");
    Calendar->Place(this, 10, 10, 218, 113);
    Date = &Make<TDateEdit>("DateEdit");
    Date->Place(this, 240, 10, 104, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQxCalendar* Calendar;
  TDateEdit* Date;
};

void Click(TQxCalendar& c, int col, int row) {
  const TRect r = c.CellRect(col, row);
  const LPARAM at = MAKELPARAM(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  PostMessageA(c.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(c.Handle(), WM_LBUTTONUP, 0, at);
  App().ProcessMessages();
}

// Opens the edit's drop-down as a click on its button would, once the
// form's activation has settled; true when it shows.
bool OpenPopup(TDateEdit& d) {
  d.SetFocus();
  qv::test::PumpFor(200);
  d.ButtonPressed();
  qv::test::PumpFor(300);
  return d.PopupVisible();
}

}  // namespace

TEST(QxCalendar, ClicksPickDaysAndEmptyCellsChangeNothing) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TCalendarForm f;
  TQxCalendar& c = *f.Calendar;
  int changes = 0;
  c.OnChange = [&](TComponent&) { ++changes; };
  c.SetCalendarDate(Ymd(2024, 9, 15));
  changes = 0;
  EXPECT_EQ(c.CellCaption(0, 0), "lun.");
  EXPECT_EQ(c.CellCaption(6, 1), "1");
  EXPECT_EQ(c.CellCaption(0, 1), "");
  Click(c, 0, 1);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 9, 15));
  EXPECT_EQ(changes, 0);
  Click(c, 2, 2);  // Wednesday 4 September
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 9, 4));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(c.UseCurrentDate());
  c.SetReadOnly(true);
  Click(c, 3, 2);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 9, 4));
  c.SetReadOnly(false);
  c.SetStartOfWeek(qv::controls::Sun);
  EXPECT_EQ(c.CellCaption(0, 1), "1");
  EXPECT_EQ(c.CellCaption(0, 0), "dim.");
}

TEST(QxCalendar, LimitsHoldKeysAndGreyTheNavigation) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TCalendarForm f;
  TQxCalendar& c = *f.Calendar;
  c.SetCalendarDate(Ymd(2024, 6, 20));
  c.SetMinDate(Ymd(2024, 6, 10));
  c.SetDay(10);
  c.SetFocus();
  qv::test::PostKey(c.Handle(), VK_LEFT);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 6, 10));
  qv::test::PostKey(c.Handle(), VK_RIGHT);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 6, 11));
  qv::test::PostChars(c.Handle(), "t");
  EXPECT_EQ(c.CalendarDate(), std::max(Today(), Ymd(2024, 6, 10)));
  // The drop-down's buttons follow the same limits.
  TDateEdit& d = *f.Date;
  d.SetMinDate(Ymd(2024, 6, 10));
  d.SetDate(Ymd(2024, 6, 15));
  d.SetFocus();
  d.ButtonPressed();
  TPopupCalendar& p = *d.PopupCalendar();
  EXPECT_FALSE(p.NavButton(1)->Enabled());
  EXPECT_FALSE(p.NavButton(0)->Enabled());
  EXPECT_TRUE(p.NavButton(2)->Enabled());
  EXPECT_TRUE(p.NavButton(3)->Enabled());
  p.NavButton(2)->Click();
  EXPECT_EQ(p.Calendar()->CalendarDate(), Ymd(2024, 7, 15));
  EXPECT_TRUE(p.NavButton(1)->Enabled());
  EXPECT_EQ(p.TitleLabel()->Caption(), "juillet, 2024");
}

TEST(QxCalendar, TheGridsOwnKeysMoveTheDayWithinTheMonth) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TCalendarForm f;
  TQxCalendar& c = *f.Calendar;
  c.SetFocus();
  HWND h = c.Handle();
  auto day = [&] { return c.Day(); };
  c.SetCalendarDate(Ymd(2024, 9, 11));  // starts on a Sunday: the 1st in the last column
  qv::test::PostKey(h, VK_HOME);
  EXPECT_EQ(day(), 9);
  qv::test::PostKey(h, VK_END);
  EXPECT_EQ(day(), 15);
  qv::test::PostKeyWith(VK_SHIFT, h, VK_LEFT);  // a cell, not a day step
  EXPECT_EQ(day(), 14);
  qv::test::PostCtrlKey(h, VK_LEFT);
  EXPECT_EQ(day(), 9);
  qv::test::PostCtrlKey(h, VK_RIGHT);
  EXPECT_EQ(day(), 15);
  qv::test::PostKeyWith(VK_SHIFT, h, VK_RIGHT);  // already in the last column
  EXPECT_EQ(day(), 15);
  qv::test::PostKeyWith(VK_SHIFT, h, VK_UP);
  EXPECT_EQ(day(), 8);
  qv::test::PostKey(h, VK_UP);
  EXPECT_EQ(day(), 1);
  qv::test::PostKey(h, VK_UP);  // the header row is not a day
  EXPECT_EQ(day(), 1);
  qv::test::PostCtrlKey(h, VK_HOME);  // an empty cell before the 1st
  EXPECT_EQ(day(), 1);
  qv::test::PostCtrlKey(h, VK_NEXT);  // the last row is empty there
  EXPECT_EQ(day(), 1);
  c.SetDay(2);
  qv::test::PostKey(h, VK_NEXT);
  EXPECT_EQ(day(), 30);
  qv::test::PostKey(h, VK_PRIOR);  // the first row is empty there
  EXPECT_EQ(day(), 30);
  c.SetCalendarDate(Ymd(2024, 7, 20));  // starts on a Monday
  qv::test::PostCtrlKey(h, VK_HOME);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 7, 1));
  // A cell outside the limits does not become current.
  c.SetCalendarDate(Ymd(2024, 7, 12));
  c.SetMinDate(Ymd(2024, 7, 10));
  qv::test::PostKey(h, VK_HOME);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 7, 12));
  qv::test::PostKey(h, VK_END);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 7, 14));
  c.SetReadOnly(true);
  qv::test::PostKey(h, VK_HOME);
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 7, 14));
}

TEST(QxPopupCalendar, AnotherResolutionMovesTheButtonsAndTheTitle) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  qv::test::TPixelsPerInchScope dpi(144);
  TCalendarForm f;
  TDateEdit& d = *f.Date;
  d.SetDate(Ymd(2024, 5, 15));
  ASSERT_TRUE(OpenPopup(d));
  TPopupCalendar& p = *d.PopupCalendar();
  EXPECT_EQ(p.Width(), MulDiv(187, 144, 96));
  EXPECT_EQ(p.Height(), MulDiv(124, 144, 96));
  // The right-hand buttons end at the right edge, the title between.
  const TControl& top = *p.NavButton(0)->Parent();
  EXPECT_EQ(top.Height(), 27);
  EXPECT_EQ(p.NavButton(3)->Width(), 21);
  EXPECT_EQ(p.NavButton(3)->Left() + p.NavButton(3)->Width(), MulDiv(186, 144, 96));
  EXPECT_EQ(p.NavButton(2)->Left(), MulDiv(159, 144, 96));
  EXPECT_EQ(p.NavButton(1)->Left(), 18);
  const TLabel& title = *p.TitleLabel();
  EXPECT_EQ(title.Left(), MulDiv(29, 144, 96));
  EXPECT_EQ(title.Width(), MulDiv(127, 144, 96));
  EXPECT_LT(title.Left() + title.Width(), p.NavButton(2)->Left());
  // The grid fills what the top panel leaves.
  EXPECT_EQ(p.Calendar()->Top(), 27);
  EXPECT_EQ(p.Calendar()->Width(), top.Width());
  qv::test::SaveScreenBmp("date_popup_calendar_144dpi");
  qv::test::PostKey(d.Handle(), VK_ESCAPE);
}

TEST(QxPopupCalendar, BelowNinetySixPixelsPerInchThePopupShrinksWithItsButtons) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  qv::test::TPixelsPerInchScope dpi(72);
  TCalendarForm f;
  TDateEdit& d = *f.Date;
  d.SetDate(Ymd(2024, 5, 15));
  ASSERT_TRUE(OpenPopup(d));
  TPopupCalendar& p = *d.PopupCalendar();
  EXPECT_EQ(p.Width(), MulDiv(187, 72, 96));
  EXPECT_EQ(p.Height(), MulDiv(124, 72, 96));
  // The right-hand buttons still end at the right edge, with no gap after.
  const TControl& top = *p.NavButton(0)->Parent();
  const int end = p.NavButton(3)->Left() + p.NavButton(3)->Width();
  EXPECT_GE(end, top.Width());
  EXPECT_LE(end, top.Width() + 2);
  EXPECT_EQ(p.NavButton(2)->Left(), MulDiv(159, 72, 96));
  const TLabel& title = *p.TitleLabel();
  EXPECT_LT(title.Left() + title.Width(), p.NavButton(2)->Left());
  EXPECT_EQ(p.Calendar()->Width(), top.Width());
  EXPECT_EQ(p.Calendar()->Top() + p.Calendar()->Height(), p.Calendar()->Parent()->Height());
  qv::test::SaveScreenBmp("date_popup_calendar_72dpi");
  qv::test::PostKey(d.Handle(), VK_ESCAPE);
}

TEST(QxSelectDateDlg, AnotherResolutionMovesItsButtonsAndCentresIt) {
  App();
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  qv::test::TPixelsPerInchScope dpi(144);
  TDateTime date = Ymd(2024, 5, 15);
  RECT shown{};
  int okLeft = -1, okWidth = -1, cancelLeft = -1, nextYearLeft = -1, buttonSide = -1, bottomHeight = -1;
  SetDateDialogShowHook([&](TSelectDateDlg& dlg) {
    qv::test::Later(dlg, [&] {
      qv::test::PumpFor(200);
      GetWindowRect(dlg.Handle(), &shown);
      okLeft = dlg.OkButton->Left();
      okWidth = dlg.OkButton->Width();
      cancelLeft = dlg.CancelButton->Left();
      bottomHeight = dlg.OkButton->Parent()->Height();
      nextYearLeft = dlg.NavButtons[3]->Left();
      buttonSide = dlg.NavButtons[3]->Width();
      qv::test::SaveScreenBmp("date_dialog_144dpi");
      qv::test::PostKey(dlg.Calendar->Handle(), VK_ESCAPE);
    });
  });
  EXPECT_FALSE(RunDateDialog(nullptr, date, "", 0, 0, {}, clRed, qv::controls::DaySet(qv::controls::Sun),
                             qv::controls::Mon));
  SetDateDialogShowHook(nullptr);
  EXPECT_EQ(okLeft, 0);
  EXPECT_EQ(okWidth, MulDiv(111, 144, 96));
  EXPECT_EQ(cancelLeft, MulDiv(111, 144, 96));
  EXPECT_EQ(bottomHeight, MulDiv(25, 144, 96));
  EXPECT_EQ(nextYearLeft, MulDiv(203, 144, 96));
  EXPECT_EQ(buttonSide, 24);
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((shown.left + shown.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((shown.top + shown.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST(QxSelectDateDlg, KeysTurnMonthsAndYearsAndEscapeCancels) {
  App();
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateTime date = Ymd(2024, 2, 29);
  TDateTime seen = 0;
  std::string title;
  SetDateDialogShowHook([&](TSelectDateDlg& dlg) {
    qv::test::Later(dlg, [&] {
      HWND h = dlg.Calendar->Handle();
      qv::test::PostCtrlKey(h, VK_NEXT);
      seen = dlg.Date();
      title = dlg.TitleLabel->Caption();
      qv::test::PostKey(h, VK_ESCAPE);
    });
  });
  EXPECT_FALSE(RunDateDialog(nullptr, date, "", 0, 0, {}, clRed, qv::controls::DaySet(qv::controls::Sun),
                             qv::controls::Mon));
  EXPECT_EQ(seen, Ymd(2025, 2, 28));
  EXPECT_EQ(title, "f\xE9vrier, 2025");
  EXPECT_EQ(date, Ymd(2024, 2, 29));
  // Tab is the next month, Enter accepts.
  SetDateDialogShowHook([&](TSelectDateDlg& dlg) {
    qv::test::Later(dlg, [&] {
      HWND h = dlg.Calendar->Handle();
      qv::test::PostKey(h, VK_TAB);
      qv::test::PumpFor(200);
      qv::test::SaveScreenBmp("date_dialog");
      qv::test::PostKey(h, VK_RETURN);
    });
  });
  EXPECT_TRUE(RunDateDialog(nullptr, date, "Date", 0, 0, {}, clRed, qv::controls::DaySet(qv::controls::Sun),
                            qv::controls::Mon));
  SetDateDialogShowHook(nullptr);
  EXPECT_EQ(date, Ymd(2024, 3, 29));
}

TEST(QxPopupCalendar, ScreenshotOfTheOpenDropDown) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TCalendarForm f;
  TDateEdit& d = *f.Date;
  d.SetWeekends(qv::controls::DaySet(qv::controls::Sat) | qv::controls::DaySet(qv::controls::Sun));
  d.SetDate(Today());
  ASSERT_TRUE(OpenPopup(d));
  // The button fills its holder at the edit's right edge.
  RECT br, er;
  GetWindowRect(d.Button()->Handle(), &br);
  GetWindowRect(d.Handle(), &er);
  EXPECT_TRUE(IsWindowVisible(d.Button()->Handle()));
  EXPECT_EQ(br.right - br.left, d.ButtonWidth());
  EXPECT_EQ(br.right, er.right - 2);
  const auto path = qv::test::SaveScreenBmp("date_popup_calendar");
  EXPECT_TRUE(std::filesystem::exists(path));
  qv::test::PostKey(d.Handle(), VK_ESCAPE);
  f.Calendar->SetFocus();
  qv::test::PumpFor(200);
  qv::test::SaveScreenBmp("date_edit_closed");
}
