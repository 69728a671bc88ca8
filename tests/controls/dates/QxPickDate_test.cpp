// The month grid, the date dialog and the drop-down calendar in real
// windows: clicks on empty cells, the dialog's keys (Ctrl+Page Down is a
// year, Escape cancels), the navigation buttons held by the limits, and a
// screenshot of the open drop-down.
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
  d.SetFocus();
  qv::test::PumpFor(200);  // the form's activation settles first
  d.ButtonPressed();
  qv::test::PumpFor(300);
  ASSERT_TRUE(d.PopupVisible());
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
