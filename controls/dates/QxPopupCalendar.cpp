// The drop-down calendar; see QxPopupCalendar.h.
#include "controls/dates/QxPopupCalendar.h"

#include <cmath>

#include "controls/dates/DateEntry.h"

namespace qv::controls {

using namespace qv::fw;

namespace {

// The popup's size at 96 pixels per inch, where it is at least 180 x 120;
// other resolutions scale it with its children.
constexpr int kPopupWidth = 187, kPopupHeight = 124;
static_assert(kPopupWidth >= 180 && kPopupHeight >= 120);
const char* const kBitmapNames[4] = {"PREV2", "PREV1", "NEXT1", "NEXT2"};
const unsigned kHintIds[4] = {61259, 61258, 61260, 61261};

}  // namespace

HBITMAP NavigationBitmap(int i) {
  static HBITMAP cache[4] = {};
  if (i < 0 || i > 3) return nullptr;
  if (!cache[i]) cache[i] = LoadBitmapA(GetModuleHandleA(nullptr), kBitmapNames[i]);
  return cache[i];
}

void EnableNavigation(const TQxCalendar& calendar, TQxSpeedButton* const buttons[4]) {
  const qv::controls::TCalendarNav n = calendar.Model().Navigation();
  const bool states[4] = {n.PrevYear, n.PrevMonth, n.NextMonth, n.NextYear};
  for (int i = 0; i < 4; ++i)
    if (buttons[i]) buttons[i]->SetEnabled(states[i]);
}

void ApplyMessageFont(TFont& font) {
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) {
    const LOGFONTA& lf = m.lfMessageFont;
    font.SetName(lf.lfFaceName);
    HDC dc = GetDC(nullptr);
    const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    font.SetSize(lf.lfHeight < 0 ? MulDiv(-lf.lfHeight, 72, ppi) : MulDiv(lf.lfHeight, 72, ppi));
    TFontStyles st;
    st.Bold = lf.lfWeight >= FW_BOLD;
    st.Italic = lf.lfItalic != 0;
    font.SetStyle(st);
    return;
  }
  font.SetColor(clWindowText);
  font.SetName("MS Sans Serif");
  font.SetSize(8);
  font.SetStyle(TFontStyles{});
}

TPopupCalendar::TPopupCalendar(TComponent* owner) : TPopupWindow(owner) {
  SetBounds(0, 0, kPopupWidth, kPopupHeight);
  SetColor(clBtnFace);
  SetParentFont(false);
  ApplyMessageFont(Font());
  m_client = &Make<TPanel>("");
  m_client->SetParent(this);
  m_client->SetBevelOuter(TBevelCut::None);
  m_client->SetAlign(TAlign::Client);
  m_top = &Make<TPanel>("");
  m_top->SetParent(m_client);
  m_top->SetBevelOuter(TBevelCut::None);
  m_top->SetBounds(0, 0, kPopupWidth, 18);
  m_top->SetAlign(TAlign::Top);
  m_calendar = &Make<TLocCalendar>("");
  m_calendar->SetParent(m_client);
  m_calendar->SetAlign(TAlign::Client);
  m_calendar->OnChange = [this](TComponent&) { UpdateTitle(); };
  m_calendar->OnMouseUp = [this](TComponent&, TMouseButton b, TShiftState s, int x, int y) { GridMouseUp(b, s, x, y); };
  const int pw = kPopupWidth - 2;  // the top panel's width inside the border
  const int xs[4] = {-1, 12, pw - 26, pw - 13};
  for (int i = 0; i < 4; ++i) {
    auto* b = &Make<TQxTimerSpeedButton>("");
    b->SetParent(m_top);
    b->SetBounds(xs[i], -1, 14, 14);
    b->SetGlyph(NavigationBitmap(i));
    b->SetHint(CalendarText(kHintIds[i]));
    m_buttons[i] = b;
  }
  m_buttons[0]->OnClick = [this](TComponent&) { m_calendar->GoPrevYear(); };
  m_buttons[1]->OnClick = [this](TComponent&) { m_calendar->GoPrevMonth(); };
  m_buttons[2]->OnClick = [this](TComponent&) { m_calendar->GoNextMonth(); };
  m_buttons[3]->OnClick = [this](TComponent&) { m_calendar->GoNextYear(); };
  m_title = &Make<TLabel>("");
  m_title->SetParent(m_top);
  m_title->SetBounds(29, 1, pw - 58, 14);
  m_title->SetAlignment(TAlignment::Center);
  m_title->SetTransparent(true);
  m_title->OnDblClick = [this](TComponent&) { m_calendar->SetCalendarDate(Today()); };
  UpdateTitle();
}

void TPopupCalendar::GridMouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (b != TMouseButton::Left || s.Shift || s.Ctrl || s.Alt) return;
  int col = 0, row = 0;
  if (m_calendar->CellAt(x, y, col, row) && !m_calendar->CellCaption(col, row).empty() && row > 0)
    FinishPopup(true);
}

TPopupValue TPopupCalendar::ReadValue() { return m_calendar->CalendarDate(); }

void TPopupCalendar::WriteValue(const TPopupValue& v) {
  TDateTime date = Today();
  if (const auto* d = std::get_if<TDateTime>(&v)) {
    if (*d != 0 && qv::controls::DateValueValid(*d)) date = std::floor(*d);
  } else if (const auto* text = std::get_if<std::string>(&v)) {
    std::string bare;
    for (char c : *text)
      if (c != '/' && c != ' ') bare += c;
    if (!bare.empty()) {
      const TDateLocale l = DateLocale();
      if (auto d = qv::controls::TryTextToDate(qv::controls::DefaultDateFormat(m_fourDigitYear, l.Entry), *text, l.Entry))
        if (*d != 0) date = *d;
    }
  }
  m_calendar->SetCalendarDate(date);
  UpdateTitle();
}

void TPopupCalendar::UpdateTitle() {
  if (!m_calendar || !m_title) return;
  m_title->SetCaption(MonthTitle(m_calendar->CalendarDate()));
  TQxSpeedButton* const buttons[4] = {m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3]};
  EnableNavigation(*m_calendar, buttons);
}

void TPopupCalendar::Invalidate() {
  TPopupWindow::Invalidate();
  UpdateTitle();
}

void TPopupCalendar::PopupKeyDown(WORD& key, TShiftState shift) {
  if (key == VK_PRIOR) {
    shift.Ctrl ? m_calendar->GoPrevYear() : m_calendar->GoPrevMonth();
    key = 0;
  } else if (key == VK_NEXT) {
    shift.Ctrl ? m_calendar->GoNextYear() : m_calendar->GoNextMonth();
    key = 0;
  } else {
    m_calendar->CalendarKey(key, shift);
  }
}

void TPopupCalendar::PopupKeyPress(char& key) {
  if (key == '+' || key == '-') {
    key = 0;  // the keypad keys already moved the day
    return;
  }
  m_calendar->CalendarChar(key);
}

void ScaleChildren(TWinControl& parent, int ppi) {
  // Every child keeps its place in a layout drawn for 96 pixels per inch;
  // aligned ones are fitted again by the realignment.
  for (TControl* c : parent.Controls()) {
    c->SetBounds(MulDiv(c->Left(), ppi, 96), MulDiv(c->Top(), ppi, 96), MulDiv(c->Width(), ppi, 96),
                 MulDiv(c->Height(), ppi, 96));
    if (auto* w = dynamic_cast<TWinControl*>(c)) ScaleChildren(*w, ppi);
  }
  parent.Realign();
}

TPopupCalendar* MakePopupCalendar(TWinControl& edit, TDateTime maxDate, TDateTime minDate) {
  auto* popup = &edit.Make<TPopupCalendar>("");
  const int ppi = CalendarPixelsPerInch();
  if (ppi != 96) {
    // The whole popup scales as its children do, below 96 pixels per inch
    // too: a floor applied after scaling would leave room they do not fill.
    popup->SetBounds(0, 0, MulDiv(kPopupWidth, ppi, 96), MulDiv(kPopupHeight, ppi, 96));
    ScaleChildren(*popup, ppi);
    popup->Calendar()->SetParentFont(true);
    ApplyMessageFont(popup->Font());
  }
  popup->Calendar()->SetLimitsOnly(minDate, maxDate);
  return popup;
}

void ConfigurePopupCalendar(TPopupCalendar& popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                            TDateTime minDate, TDateTime maxDate, bool fourDigitYear,
                            const std::vector<std::string>& hints, TColor weekendColor) {
  TLocCalendar& c = *popup.Calendar();
  c.SetLimitsOnly(minDate, maxDate);
  popup.SetFourDigitYear(fourDigitYear);
  c.SetStartOfWeek(startOfWeek);
  c.SetWeekendColor(weekendColor);
  c.SetWeekends(weekends);
  for (size_t i = 0; i < 4 && i < hints.size(); ++i)
    if (!hints[i].empty()) popup.NavButton(static_cast<int>(i))->SetHint(hints[i]);
  popup.UpdateTitle();
}

}  // namespace qv::controls
