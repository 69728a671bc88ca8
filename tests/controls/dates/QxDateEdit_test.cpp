// The date edit in a real window: format and mask by locale and year
// digits, empty and invalid texts, the date keys, the drop-down calendar
// opened by the button key and closed by Enter, Escape or a click on a
// day, its placement near the screen's bottom, and the limits.
#include "controls/dates/QxDateEdit.h"

#include <gtest/gtest.h>

#include "controls/dates/QxDateDialog.h"
#include "controls/dates/QxPopupCalendar.h"
#include "framework/Form.h"
#include "tests/controls/dates/DateTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PostChars;
using qv::test::PostKey;
using qv::test::Ymd;

namespace {

class TDateForm : public TForm {
public:
  explicit TDateForm(int top = 100) : TForm(&App(), "TDateTestForm") {
    SetBounds(100, top, 340, 150);
    Date = &Make<TDateEdit>("DateEdit");
    Date->Place(this, 10, 10, 104, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 10, 60, 80, 21);
    Ok = &Make<TButton>("Ok");
    Ok->Place(this, 200, 10, 75, 25);
    FinishCreate();
    Show();
    Date->SetFocus();
    qv::test::PumpFor(100);  // the form's activation settles first
  }
  TDateEdit* Date;
  TEdit* Other;
  TButton* Ok;
};

TDateTime Tomorrow() { return Today() + 1; }

}  // namespace

TEST(QxDateEdit, FormatAndMaskFollowTheLocaleOrderAndYearDigits) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  EXPECT_EQ(d.DateFormat(), "DD/MM/YYYY");
  EXPECT_EQ(d.EditMask(), "!99/99/9999;1; ");
  d.SetDate(Ymd(2024, 3, 5));
  EXPECT_EQ(d.Text(), "05/03/2024");
  d.SetYearDigits(dyTwo);
  EXPECT_EQ(d.EditMask(), "!99/99/99;1; ");
  EXPECT_EQ(d.Text(), "05/03/24");
  d.SetYearDigits(dyFour);
  d.SetBlanksChar('_');
  EXPECT_EQ(d.EditMask(), "!99/99/9999;1;_");
  EXPECT_EQ(d.Text(), "05/03/2024");
  d.SetBlanksChar('\t');  // below 32: a blank
  EXPECT_EQ(d.BlanksChar(), ' ');
  // A changed locale takes effect when the system announces it.
  qv::controls::SetDateLocale(qv::test::FrenchDates("M/d/yyyy"));
  SendMessageA(f.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(d.DateFormat(), "MM/DD/YYYY");
  EXPECT_EQ(d.Text(), "03/05/2024");
}

TEST(QxDateEdit, EmptyTextsAreTheEmptyDateAndInvalidOnesRaiseOnLeaving) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetText("");
  EXPECT_EQ(d.CurrentDate(), 0.0);
  EXPECT_NO_THROW(d.ValidateDateText());
  d.SetDefaultToday(true);
  EXPECT_EQ(d.CurrentDate(), Today());
  d.SetDefaultToday(false);

  auto& errors = qv::test::ShownErrors();
  errors.clear();
  d.SetCheckOnExit(true);
  d.SetSelection(0, 0);
  PostChars(d.Handle(), "31022024");
  EXPECT_EQ(d.Text(), "31/02/2024");
  f.Other->SetFocus();
  qv::test::PumpUntil([&] { return !errors.empty(); }, 2000);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "'31/02/2024' n'est pas une date correcte");
  EXPECT_TRUE(d.Focused());
}

TEST(QxDateEdit, KeysStepTheDaySetTodayAndSwallowSigns) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetText("");
  PostKey(d.Handle(), VK_ADD);
  EXPECT_EQ(d.CurrentDate(), Tomorrow());
  EXPECT_EQ(d.SelLength(), 10);
  PostKey(d.Handle(), VK_SUBTRACT);
  PostKey(d.Handle(), VK_SUBTRACT);
  EXPECT_EQ(d.CurrentDate(), Today() - 1);
  PostChars(d.Handle(), "t");
  EXPECT_EQ(d.CurrentDate(), Today());
  d.SetDate(Ymd(2024, 6, 1));
  d.SetSelection(0, 0);
  PostChars(d.Handle(), "+-");
  EXPECT_EQ(d.Text(), "01/06/2024");
  // Changes reach OnChange once each.
  int changes = 0;
  d.OnChange = [&](TComponent&) { ++changes; };
  PostKey(d.Handle(), VK_ADD);
  EXPECT_EQ(d.Text(), "02/06/2024");
  EXPECT_GE(changes, 1);
}

TEST(QxDateEdit, TheButtonKeyDropsTheCalendarWhichEnterAndEscapeClose) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  EXPECT_TRUE(d.IsClickKey(VK_DOWN, TShiftState{false, false, true}));
  EXPECT_FALSE(d.IsClickKey(VK_DOWN, TShiftState{}));
  d.SetDate(Ymd(2024, 5, 15));
  d.ButtonPressed();
  ASSERT_TRUE(d.PopupVisible());
  TPopupCalendar& p = *d.PopupCalendar();
  EXPECT_TRUE(p.IsShown());
  EXPECT_EQ(p.Calendar()->CalendarDate(), Ymd(2024, 5, 15));
  EXPECT_EQ(p.TitleLabel()->Caption(), "mai, 2024");
  // The popup never takes the focus or the activation.
  EXPECT_TRUE(d.Focused());
  EXPECT_EQ(GetActiveWindow(), f.Handle());
  PostKey(d.Handle(), VK_NEXT);
  PostKey(d.Handle(), VK_RIGHT);
  EXPECT_EQ(p.Calendar()->CalendarDate(), Ymd(2024, 6, 16));
  EXPECT_EQ(d.Text(), "15/05/2024");  // not taken yet
  PostKey(d.Handle(), VK_ESCAPE);
  EXPECT_FALSE(d.PopupVisible());
  EXPECT_FALSE(p.IsShown());
  EXPECT_EQ(d.Text(), "15/05/2024");
  int changes = 0;
  d.OnChange = [&](TComponent&) { ++changes; };
  d.ButtonPressed();
  PostKey(d.Handle(), VK_NEXT);
  PostKey(d.Handle(), VK_RETURN);
  EXPECT_FALSE(d.PopupVisible());
  EXPECT_EQ(d.Text(), "15/06/2024");
  EXPECT_EQ(changes, 1);
}

TEST(QxDateEdit, AClickOnADayTakesItAndOneOnAnEmptyCellDoesNot) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetDate(Ymd(2024, 9, 15));  // September 2024 starts on a Sunday
  d.ButtonPressed();
  TLocCalendar& c = *d.PopupCalendar()->Calendar();
  auto click = [&](int col, int row) {
    const TRect r = c.CellRect(col, row);
    const LPARAM at = MAKELPARAM(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    PostMessageA(c.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(c.Handle(), WM_LBUTTONUP, 0, at);
    App().ProcessMessages();
  };
  click(0, 1);  // empty: before the 1st
  EXPECT_TRUE(d.PopupVisible());
  click(3, 0);  // a day name
  EXPECT_TRUE(d.PopupVisible());
  EXPECT_EQ(c.CalendarDate(), Ymd(2024, 9, 15));
  click(1, 3);  // Tuesday 10 September
  EXPECT_FALSE(d.PopupVisible());
  EXPECT_EQ(d.Text(), "10/09/2024");
}

TEST(QxDateEdit, APressElsewhereOnTheFormClosesThePopupWithoutTakingIt) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetDate(Ymd(2024, 1, 10));
  d.ButtonPressed();
  PostKey(d.Handle(), VK_RIGHT);
  // A press over a child: the form hears of it before the child acts.
  RECT ok;
  GetWindowRect(f.Ok->Handle(), &ok);
  POINT at{ok.left + 2, ok.top + 2};
  ScreenToClient(f.Handle(), &at);
  SendMessageA(f.Handle(), WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(at.x, at.y));
  EXPECT_FALSE(d.PopupVisible());
  EXPECT_EQ(d.Text(), "10/01/2024");
  // A press over the edit itself (its button) keeps it to the edit.
  d.ButtonPressed();
  RECT er;
  GetWindowRect(d.Handle(), &er);
  at = POINT{er.right - 3, er.top + 3};
  ScreenToClient(f.Handle(), &at);
  SendMessageA(f.Handle(), WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(d.PopupVisible());
  SendMessageA(f.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 120));
  EXPECT_FALSE(d.PopupVisible());
}

TEST(QxDateEdit, EnterReachesTheDefaultButtonOnlyWhileThePopupIsClosed) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  int clicks = 0;
  f.Ok->OnClick = [&](TComponent&) { ++clicks; };
  f.Ok->SetDefault(true);
  d.SetDate(Ymd(2024, 1, 10));
  d.ButtonPressed();
  PostKey(d.Handle(), VK_RIGHT);
  PostKey(d.Handle(), VK_RETURN);
  EXPECT_FALSE(d.PopupVisible());
  EXPECT_EQ(d.Text(), "11/01/2024");
  EXPECT_EQ(clicks, 0);
  PostKey(d.Handle(), VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(d.Text(), "11/01/2024");  // no line break in the text
}

TEST(QxDateEdit, AcceptDateMayRefuseOrChangeThePick) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetDate(Ymd(2024, 1, 10));
  bool refuse = true;
  d.OnAcceptDate = [&](TComponent&, TDateTime& date, bool& action) {
    if (refuse) action = false;
    else date = date + 1;
  };
  d.ButtonPressed();
  PostKey(d.Handle(), VK_RIGHT);
  PostKey(d.Handle(), VK_RETURN);
  EXPECT_EQ(d.Text(), "10/01/2024");
  refuse = false;
  d.ButtonPressed();
  PostKey(d.Handle(), VK_RIGHT);
  PostKey(d.Handle(), VK_RETURN);
  EXPECT_EQ(d.Text(), "12/01/2024");
}

TEST(QxDateEdit, APopupThatWouldLeaveTheScreenOpensAboveTheEdit) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  const int screenH = GetSystemMetrics(SM_CYSCREEN);
  TDateForm f(screenH - 120);
  TDateEdit& d = *f.Date;
  d.ButtonPressed();
  RECT er, pr;
  GetWindowRect(d.Handle(), &er);
  GetWindowRect(d.Popup()->Handle(), &pr);
  EXPECT_EQ(pr.bottom, er.top);
  EXPECT_EQ(pr.right, er.right);  // right edges meet
}

TEST(QxDateEdit, LimitsPullTheDateOrRaiseRangeErrors) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetMinDate(Ymd(2024, 6, 10));
  d.SetDate(Ymd(2024, 1, 1));
  EXPECT_EQ(d.Text(), "10/06/2024");
  d.SetMaxDate(Ymd(2024, 6, 30));
  d.SetDate(Ymd(2025, 1, 1));
  EXPECT_EQ(d.Text(), "30/06/2024");
  // The calendar gets the limits too.
  EXPECT_EQ(d.PopupCalendar()->Calendar()->MinDate(), Ymd(2024, 6, 10));
  d.SetDateAutoBetween(false);
  EXPECT_THROW(d.SetDate(Ymd(2024, 7, 1)), EQvError);
  EXPECT_THROW(d.SetMinDate(Ymd(2024, 7, 1)), EQvError);
  EXPECT_EQ(d.Text(), "30/06/2024");
  d.SetDate(Ymd(2024, 6, 20));
  EXPECT_EQ(d.Text(), "20/06/2024");
}

TEST(QxDateEdit, GlyphKindsChooseTheButtonsPicture) {
  TDateForm f;
  TDateEdit& d = *f.Date;
  // A height below the text's is raised.
  d.SetHeight(6);
  EXPECT_EQ(d.Height(), d.MinHeight());
  EXPECT_GT(d.MinHeight(), 6);
  EXPECT_EQ(d.GlyphKind(), gkDefault);
  EXPECT_EQ(d.Button()->NumGlyphs(), 2);
  EXPECT_EQ(d.Button()->Glyph().Width(), 26);  // two 13-pixel cells
  d.SetGlyphKind(gkEllipsis);
  EXPECT_EQ(d.Button()->NumGlyphs(), 1);
  EXPECT_EQ(d.Button()->Glyph().Width(), d.ButtonWidth() - 6);
  d.SetGlyphKind(gkDropDown);
  EXPECT_EQ(d.ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_FALSE(d.Button()->Glyph().Empty());
  // Without direct input the text is read-only but the button still works.
  d.SetDirectInput(false);
  EXPECT_TRUE(GetWindowLongA(d.Handle(), GWL_STYLE) & ES_READONLY);
  d.ButtonPressed();
  EXPECT_TRUE(d.PopupVisible());
  qv::test::PostKey(d.Handle(), VK_ESCAPE);
  d.SetReadOnly(true);
  d.ButtonPressed();
  EXPECT_FALSE(d.PopupVisible());
}

TEST(QxDateEdit, RebuiltButtonPicturesLeaveNoGdiObjectBehind) {
  TDateForm f;
  // A date edit made, shown and freed: its window and button pictures are
  // built anew each time.
  auto cycle = [&f] {
    auto& d = f.Make<TDateEdit>("");
    d.Place(&f, 10, 100, 104, 21);
    d.HandleNeeded();
    d.SetGlyphKind(gkDropDown);
    d.SetGlyphKind(gkEllipsis);
    d.SetGlyphKind(gkDropDown);
    delete &d;
  };
  // The first round loads what is kept for the process (the default
  // picture, fonts).
  for (int i = 0; i < 5; ++i) cycle();
  const int before = qv::test::GdiObjectCount();
  ASSERT_GT(before, 0);
  // 300 rounds show a leak of one object a round, and stay well inside the
  // test time-out on a loaded machine (a round makes and frees windows).
  for (int i = 0; i < 300; ++i) cycle();
  EXPECT_LT(qv::test::GdiObjectCount() - before, 20);
}

TEST(QxDateEdit, TheDialogStyleRunsTheDateDialogInstead) {
  qv::test::TLocaleScope fr(qv::test::FrenchDates());
  TDateForm f;
  TDateEdit& d = *f.Date;
  d.SetCalendarStyle(csDialog);
  EXPECT_EQ(d.Popup(), nullptr);
  d.SetDate(Ymd(2024, 2, 29));
  SetDateDialogShowHook([](TSelectDateDlg& dlg) {
    qv::test::Later(dlg, [&dlg] {
      EXPECT_EQ(dlg.Calendar->CalendarDate(), Ymd(2024, 2, 29));
      dlg.NextYearBtnClick(dlg);
      dlg.SetModalResult(mrOk);
    });
  });
  d.ButtonPressed();
  SetDateDialogShowHook(nullptr);
  EXPECT_EQ(d.Text(), "28/02/2025");
  d.SetCalendarStyle(csPopup);
  EXPECT_NE(d.Popup(), nullptr);
}
