// The date dialog; see QxDateDialog.h.
#include "controls/dates/QxDateDialog.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "controls/dates/QxPopupCalendar.h"
#include "framework/Application.h"
#include "framework/ExtCtrls.h"

namespace qv::controls {

using namespace qv::fw;

namespace {

std::function<void(TSelectDateDlg&)>& ShowHook() {
  static std::function<void(TSelectDateDlg&)> hook;
  return hook;
}

const unsigned kHintIds[4] = {61259, 61258, 61260, 61261};

}  // namespace

void SetDateDialogShowHook(std::function<void(TSelectDateDlg&)> hook) { ShowHook() = std::move(hook); }

TSelectDateDlg::TSelectDateDlg(TComponent* owner) : TForm(owner, "TSelectDateDlg") {
  SetCaption(CalendarText(61262));
  SetBorderStyle(TBorderStyle::ToolWindow);
  SetBorderIcons(false, false);
  SetClientSize(222, 158);
  SetParentFont(false);
  ApplyMessageFont(Font());
  SetColor(clBtnFace);
  SetPosition(TPosition::ScreenCenter);
  SetKeyPreview(true);

  auto& top = Make<TPanel>("TopPanel");
  top.Place(this, 0, 0, 222, 22);
  top.SetAlign(TAlign::Top);
  top.SetBevelOuter(TBevelCut::None);
  top.SetBevelInner(TBevelCut::Lowered);
  top.OnDblClick = [this](TComponent& s) { TopPanelDblClick(s); };
  TitleLabel = &Make<TLabel>("TitleLabel");
  TitleLabel->Place(&top, 35, 4, 152, 14);
  TitleLabel->SetAlignment(TAlignment::Center);
  TitleLabel->SetParentFont(false);
  TitleLabel->Font().Assign(Font());
  TFontStyles bold;
  bold.Bold = true;
  TitleLabel->Font().SetStyle(bold);
  TitleLabel->Font().SetColor(clBlue);
  TitleLabel->SetTransparent(true);
  TitleLabel->OnDblClick = [this](TComponent& s) { TopPanelDblClick(s); };
  const int xs[4] = {3, 18, 188, 203};
  const char* const names[4] = {"PrevYearBtn", "PrevMonthBtn", "NextMonthBtn", "NextYearBtn"};
  for (int i = 0; i < 4; ++i) {
    auto* b = &Make<TQxTimerSpeedButton>(names[i]);
    b->Place(&top, xs[i], 3, 16, 16);
    b->SetGlyph(NavigationBitmap(i));
    b->SetHint(CalendarText(kHintIds[i]));
    NavButtons[i] = b;
  }
  NavButtons[0]->OnClick = [this](TComponent& s) { PrevYearBtnClick(s); };
  NavButtons[1]->OnClick = [this](TComponent& s) { PrevMonthBtnClick(s); };
  NavButtons[2]->OnClick = [this](TComponent& s) { NextMonthBtnClick(s); };
  NavButtons[3]->OnClick = [this](TComponent& s) { NextYearBtnClick(s); };

  auto& bottom = Make<TPanel>("BottomPanel");
  bottom.Place(this, 0, 133, 222, 25);
  bottom.SetAlign(TAlign::Bottom);
  bottom.SetBevelOuter(TBevelCut::None);
  OkButton = &Make<TButton>("OkButton");
  OkButton->Place(&bottom, 0, 0, 111, 25);
  OkButton->SetCaption("OK");
  OkButton->SetModalResult(mrOk);
  OkButton->SetDefault(true);
  CancelButton = &Make<TButton>("CancelButton");
  CancelButton->Place(&bottom, 111, 0, 111, 25);
  CancelButton->SetCaption("Annuler");
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);
  SetDefaultButton(OkButton);
  SetCancelButton(CancelButton);

  auto& client = Make<TPanel>("ClientPanel");
  client.Place(this, 0, 22, 222, 111);
  client.SetAlign(TAlign::Client);
  client.SetBevelOuter(TBevelCut::None);
  client.SetBevelInner(TBevelCut::Lowered);
  Calendar = &Make<TQxCalendar>("Calendar");
  Calendar->Place(&client, 2, 2, 218, 107);
  Calendar->SetAlign(TAlign::Client);
  Calendar->SetColor(clWhite);
  Calendar->SetUseCurrentDate(false);
  Calendar->SetWantTabs(true);
  Calendar->OnChange = [this](TComponent& s) { CalendarChange(s); };
  Calendar->OnDblClick = [this](TComponent& s) { CalendarDblClick(s); };
  Calendar->SetCalendarDate(Today());
  OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  FinishCreate();
  SetActiveControl(Calendar);
  UpdateTitle();
}

void TSelectDateDlg::SetDate(TDateTime d) {
  try {
    Calendar->SetCalendarDate(d == 0 ? Today() : d);
  } catch (...) {
    Calendar->SetCalendarDate(Today());
  }
  UpdateTitle();
}

void TSelectDateDlg::UpdateTitle() {
  TitleLabel->SetCaption(MonthTitle(Calendar->CalendarDate()));
  TQxSpeedButton* const buttons[4] = {NavButtons[0], NavButtons[1], NavButtons[2], NavButtons[3]};
  EnableNavigation(*Calendar, buttons);
}

void TSelectDateDlg::TopPanelDblClick(TComponent&) { SetDate(Today()); }
void TSelectDateDlg::PrevYearBtnClick(TComponent&) { Calendar->GoPrevYear(); }
void TSelectDateDlg::NextYearBtnClick(TComponent&) { Calendar->GoNextYear(); }
void TSelectDateDlg::PrevMonthBtnClick(TComponent&) { Calendar->GoPrevMonth(); }
void TSelectDateDlg::NextMonthBtnClick(TComponent&) { Calendar->GoNextMonth(); }
void TSelectDateDlg::CalendarChange(TComponent&) { UpdateTitle(); }

void TSelectDateDlg::CalendarDblClick(TComponent&) {
  POINT pt;
  GetCursorPos(&pt);
  ::ScreenToClient(Calendar->Handle(), &pt);
  int col = 0, row = 0;
  if (!Calendar->CellAt(pt.x, pt.y, col, row) || row > 0) SetModalResult(mrOk);
}

void TSelectDateDlg::FormKeyDown(TComponent&, WORD& key, TShiftState shift) {
  switch (key) {
    case VK_TAB:
      shift.Shift ? Calendar->GoPrevMonth() : Calendar->GoNextMonth();
      break;
    case VK_PRIOR:
      shift.Ctrl ? Calendar->GoPrevYear() : Calendar->GoPrevMonth();
      break;
    case VK_NEXT:
      shift.Ctrl ? Calendar->GoNextYear() : Calendar->GoNextMonth();
      break;
    case VK_RETURN:
      SetModalResult(mrOk);
      break;
    case VK_ESCAPE:
      SetModalResult(mrCancel);
      break;
    default: return;
  }
  key = 0;
  if (TitleLabel->HandleAllocated()) UpdateWindow(TitleLabel->HandleIfAllocated());
  UpdateTitle();
}

TSelectDateDlg* MakeDateDialog(const std::string& caption, TDateTime maxDate, TDateTime minDate) {
  auto* dlg = new TSelectDateDlg(Application());
  if (!caption.empty()) dlg->SetCaption(caption);
  dlg->Calendar->SetMinDate(minDate);
  dlg->Calendar->SetMaxDate(maxDate);
  const int ppi = CalendarPixelsPerInch();
  if (ppi != 96) {
    dlg->SetClientSize(MulDiv(222, ppi, 96), MulDiv(158, ppi, 96));
    ScaleChildren(*dlg, ppi);
    dlg->Calendar->SetParentFont(true);
    ApplyMessageFont(dlg->Font());
    // Centred for its new size when it is first shown.
    dlg->SetPosition(TPosition::ScreenCenter);
  }
  return dlg;
}

bool RunDateDialog(TWinControl* edit, TDateTime& date, const std::string& caption, TDateTime maxDate,
                   TDateTime minDate, const std::vector<std::string>& hints, TColor weekendColor,
                   TDaysOfWeek weekends, TDayOfWeekName startOfWeek) {
  std::unique_ptr<TSelectDateDlg> dlg(MakeDateDialog(caption, maxDate, minDate));
  if (edit && edit->HandleAllocated()) {
    dlg->SetPosition(TPosition::Designed);
    RECT er;
    GetWindowRect(edit->HandleIfAllocated(), &er);
    const int dw = dlg->Width(), dh = dlg->Height();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int ew = er.right - er.left, eh = er.bottom - er.top;
    int top = er.top + eh - 1;
    if (top + dh > sh) top = er.top - dh + 1;
    if (top < 0) top = er.top + eh - 1;
    int left = er.left + ew - dw;
    if (left + dw > sw) left = sw - dw;
    if (left < 0) left = std::max<int>(er.left, 0);
    dlg->SetBounds(left, top, dw, dh);
  }
  dlg->SetDate(date);
  dlg->Calendar->SetStartOfWeek(startOfWeek);
  dlg->Calendar->SetWeekends(weekends);
  dlg->Calendar->SetWeekendColor(weekendColor);
  for (size_t i = 0; i < 4 && i < hints.size(); ++i)
    if (!hints[i].empty()) dlg->NavButtons[i]->SetHint(hints[i]);
  if (ShowHook()) ShowHook()(*dlg);
  const bool ok = dlg->ShowModal() == mrOk;
  if (ok) date = dlg->Date();
  return ok;
}

}  // namespace qv::controls
