// Date edit; see QxDateEdit.h.
#include "controls/dates/QxDateEdit.h"

#include <cmath>

#include "controls/dates/QxDateDialog.h"
#include "controls/dates/QxPopupCalendar.h"
#include "services/QxHook.h"

namespace qv::controls {

using namespace qv::fw;

namespace {

// The range messages have no text in the string table; these say what the
// arguments mean.
std::string RangeText(unsigned id, const std::vector<std::string>& args) {
  auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
  switch (id) {
    case 61233: return "La date " + arg(0) + " est post\xE9rieure \xE0 la date maximale " + arg(1);
    case 61234: return "La date " + arg(0) + " est ant\xE9rieure \xE0 la date minimale " + arg(1);
    case 61235: return "La date " + arg(0) + " doit \xEAtre comprise entre " + arg(1) + " et " + arg(2);
    default: return "La date minimale ne peut pas d\xE9passer la date maximale " + arg(0);
  }
}

bool NoModifier(TShiftState s) { return !s.Shift && !s.Ctrl && !s.Alt; }

}  // namespace

TCustomDateEdit::TCustomDateEdit(TComponent* owner) : TCustomComboEdit(owner) {
  m_dialogTitle = CalendarText(61262);
  SetNumGlyphs(2);
  MakePopup();
  SetGlyphKind(gkDefault);
  UpdateDateFormat();
}

TCustomDateEdit::~TCustomDateEdit() = default;

TPopupCalendar* TCustomDateEdit::PopupCalendar() const { return static_cast<TPopupCalendar*>(Popup()); }

void TCustomDateEdit::MakePopup() {
  if (Popup()) return;
  TPopupCalendar* p = MakePopupCalendar(*this, m_maxDate, m_minDate);
  p->SetColor(m_popupColor);
  SetPopup(p);
  PushCalendarSettings();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle s) {
  if (s == m_calendarStyle) return;
  m_calendarStyle = s;
  if (s == csDialog) {
    if (TPopupWindow* p = Popup()) {
      SetPopup(nullptr);
      delete p;
    }
  } else {
    MakePopup();
  }
}

HBITMAP TCustomDateEdit::GetDefaultBitmap(int& numGlyphs) {
  // Shared by every date edit for the program's lifetime.
  static HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), "DEDITBMP");
  numGlyphs = 2;
  return bitmap;
}

bool TCustomDateEdit::FourDigitYear() const {
  if (m_yearDigits == dyFour) return true;
  if (m_yearDigits == dyTwo) return false;
  return qv::controls::FourDigitYearFormat(DateLocale().Entry);
}

TDateTime TCustomDateEdit::CurrentDate() const {
  return TextToDateFmtDef(m_dateFormat, Text(), m_defaultToday ? Today() : qv::controls::EmptyDate);
}

void TCustomDateEdit::UpdateDateFormat() {
  const TDateTime date = m_dateFormat.empty() ? qv::controls::EmptyDate : CurrentDate();
  const std::string oldFormat = m_dateFormat;
  const TDateLocale l = DateLocale();
  m_dateFormat = qv::controls::DefaultDateFormat(FourDigitYear(), l.Entry);
  const std::string mask = qv::controls::DefaultDateMask(m_blanksChar, FourDigitYear(), l.Entry);
  if (mask != EditMask() || oldFormat != m_dateFormat) {
    SetEditMask("");
    SetEditMask(mask);
  }
  PushCalendarSettings();
  TCustomDateEdit::SetDate(date);
}

void TCustomDateEdit::PushCalendarSettings() {
  if (TPopupCalendar* p = PopupCalendar())
    ConfigurePopupCalendar(*p, m_startOfWeek, m_weekends, m_minDate, m_maxDate, FourDigitYear(), m_calendarHints,
                           m_weekendColor);
}

void TCustomDateEdit::ClampToLimits(TDateTime& d) const {
  if (!m_dateAutoBetween || d == qv::controls::EmptyDate) return;
  if (m_minDate != 0 && d < m_minDate) d = m_minDate;
  if (m_maxDate != 0 && d > m_maxDate) d = m_maxDate;
}

void TCustomDateEdit::SetDate(TDateTime d) {
  if (d == qv::controls::EmptyDate || !qv::controls::DateValueValid(d)) d = m_defaultToday ? Today() : qv::controls::EmptyDate;
  const TDateTime old = CurrentDate();
  ClampToLimits(d);
  SetText(d == qv::controls::EmptyDate ? std::string() : FormatDateFmt(m_dateFormat, d));
  SetModified(CurrentDate() != old);
}

void TCustomDateEdit::SetDateAndSelect(TDateTime d) {
  SetDate(d);
  if (DirectInput()) SelectAll();
}

bool TCustomDateEdit::TextStored() const {
  for (char c : Text())
    if (c != '\0' && c != ' ' && c != m_blanksChar && c != '/') return true;
  return false;
}

void TCustomDateEdit::ValidateDateText() {
  if (!TextStored()) return;
  m_formatting = true;
  try {
    SetDate(TextToDateFmt(m_dateFormat, Text()));
  } catch (...) {
    m_formatting = false;
    if (CanFocus() && !Focused()) SetFocus();
    throw;
  }
  m_formatting = false;
}

void TCustomDateEdit::ValidateEdit() { ValidateDateText(); }

// Leaving validates with CheckOnExit even when the text was not typed.
bool TCustomDateEdit::ValidatesOnExit() const { return Modified() || m_checkOnExit; }

void TCustomDateEdit::Change() {
  if (m_formatting) return;
  if (PopupVisible()) PopupValueChanged();
  else TCustomComboEdit::Change();
}

void TCustomDateEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  // Top-level windows get the settings broadcast; the edit's form stands
  // for the application window here.
  if (!m_settingsHook && ParentForm()) {
    m_settingsHook = &Make<TQxWindowHook>("");
    m_settingsHook->AfterMessage = [this](TComponent&, TMessage& m, bool&) {
      if (m.Msg == WM_SETTINGCHANGE) UpdateDateFormat();
    };
    m_settingsHook->SetWinControl(ParentForm());
  }
  UpdateDateFormat();
}

void TCustomDateEdit::SetBlanksChar(char c) {
  if (static_cast<unsigned char>(c) < 32) c = ' ';
  if (c == m_blanksChar) return;
  m_blanksChar = c;
  UpdateDateFormat();
}

void TCustomDateEdit::SetYearDigits(TYearDigits d) {
  if (d == m_yearDigits) return;
  m_yearDigits = d;
  UpdateDateFormat();
}

void TCustomDateEdit::SetCalendarHints(const std::vector<std::string>& hints) {
  m_calendarHints.assign(hints.begin(), hints.begin() + static_cast<long>(std::min<size_t>(hints.size(), 4)));
  PushCalendarSettings();
}

void TCustomDateEdit::SetDateAutoBetween(bool v) {
  if (v == m_dateAutoBetween) return;
  m_dateAutoBetween = v;
  if (!v) return;
  const TDateTime d = CurrentDate();
  TDateTime clamped = d;
  ClampToLimits(clamped);
  if (clamped != d) SetDate(clamped);
}

void TCustomDateEdit::SetMinDate(TDateTime d) {
  if (d == m_minDate) return;
  if (d != 0 && m_maxDate != 0 && d > m_maxDate) {
    if (!m_dateAutoBetween) throw EQvError(RangeText(61236, {FormatDateFmt(m_dateFormat, m_maxDate)}));
    m_maxDate = d;
  }
  m_minDate = d;
  PushCalendarSettings();
  if (m_dateAutoBetween) SetDate(CurrentDate());
}

void TCustomDateEdit::SetMaxDate(TDateTime d) {
  if (d == m_maxDate) return;
  if (d != 0 && m_minDate != 0 && d < m_minDate) {
    if (!m_dateAutoBetween) throw EQvError(RangeText(61236, {FormatDateFmt(m_dateFormat, m_minDate)}));
    m_minDate = d;
  }
  m_maxDate = d;
  PushCalendarSettings();
  if (m_dateAutoBetween) SetDate(CurrentDate());
}

void TCustomDateEdit::SetPopupColor(TColor c) {
  m_popupColor = c;
  if (TPopupWindow* p = Popup()) p->SetColor(c);
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName d) {
  m_startOfWeek = d;
  PushCalendarSettings();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek w) {
  m_weekends = w;
  PushCalendarSettings();
}

void TCustomDateEdit::SetWeekendColor(TColor c) {
  m_weekendColor = c;
  PushCalendarSettings();
}

void TCustomDateEdit::ButtonAction() {
  if (m_calendarStyle != csDialog) {
    TCustomComboEdit::ButtonAction();
    return;
  }
  if (OnButtonClick) OnButtonClick(*this);
  TDateTime d = CurrentDate();
  const bool accepted = RunDateDialog(this, d, m_dialogTitle, m_maxDate, m_minDate, m_calendarHints, m_weekendColor,
                                      m_weekends, m_startOfWeek);
  if (CanFocus()) SetFocus();
  if (!accepted) return;
  bool action = true;
  if (OnAcceptDate) OnAcceptDate(*this, d, action);
  if (!action) return;
  SetDate(d);
  if (Focused() && DirectInput()) SelectAll();
}

bool TCustomDateEdit::ConfirmPopupValue(TPopupValue& v) {
  if (!OnAcceptDate) return true;
  TDateTime d = qv::controls::EmptyDate;
  if (const auto* date = std::get_if<TDateTime>(&v)) d = *date;
  else if (const auto* text = std::get_if<std::string>(&v))
    d = TextToDateFmtDef(m_dateFormat, *text, m_defaultToday ? Today() : qv::controls::EmptyDate);
  bool action = true;
  OnAcceptDate(*this, d, action);
  if (action) v = d;
  return action;
}

void TCustomDateEdit::TakePopupValue(const TPopupValue& v) {
  const auto* date = std::get_if<TDateTime>(&v);
  const std::string before = Text();
  // One change event for the whole take, not one per text write.
  m_formatting = true;
  try {
    SetDate(date ? *date : qv::controls::EmptyDate);
  } catch (...) {
    m_formatting = false;
    throw;
  }
  m_formatting = false;
  if (Text() != before) {
    SetModified(true);
    RaiseChange();
  }
}

TPopupValue TCustomDateEdit::PopupStartValue() { return TextToDateFmtDef(m_dateFormat, Text(), Today()); }

void TCustomDateEdit::KeyDown(WORD& key, TShiftState shift) {
  if (PopupVisible() && (key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                         key == VK_DOWN || key == VK_ADD || key == VK_SUBTRACT)) {
    if (!IsClickKey(key, shift)) {
      Popup()->PopupKeyDown(key, shift);
      key = 0;
      return;
    }
  }
  if (!PopupVisible() && DirectInput() && NoModifier(shift) && (key == VK_ADD || key == VK_SUBTRACT)) {
    TDateTime d = CurrentDate();
    if (d == qv::controls::EmptyDate) d = Now();
    SetDateAndSelect(d + (key == VK_ADD ? 1 : -1));
    key = 0;
    return;
  }
  TCustomComboEdit::KeyDown(key, shift);
}

void TCustomDateEdit::KeyPress(char& key) {
  const bool dateChar = key == '+' || key == '-' || key == 'T' || key == 't';
  if (PopupVisible() && dateChar) {
    Popup()->PopupKeyPress(key);
    key = 0;
    return;
  }
  if (!PopupVisible() && DirectInput() && dateChar) {
    if (key == 'T' || key == 't') SetDateAndSelect(Today());
    key = 0;
    return;
  }
  TCustomComboEdit::KeyPress(key);
}

// --- TDateEdit

TDateEdit::TDateEdit(TComponent* owner) : TCustomDateEdit(owner) { UpdateDateFormat(); }

void TDateEdit::SetDate(TDateTime d) {
  if (!DateAutoBetween() && d != qv::controls::EmptyDate) {
    const std::string text = FormatDateFmt(DateFormat(), d);
    const std::string lo = FormatDateFmt(DateFormat(), MinDate()), hi = FormatDateFmt(DateFormat(), MaxDate());
    if (MinDate() != 0 && MaxDate() != 0 && (d < MinDate() || d > MaxDate()))
      throw EQvError(RangeText(61235, {text, lo, hi}));
    if (MinDate() != 0 && d < MinDate()) throw EQvError(RangeText(61234, {text, lo}));
    if (MaxDate() != 0 && d > MaxDate()) throw EQvError(RangeText(61233, {text, hi}));
  }
  TCustomDateEdit::SetDate(d);
}

}  // namespace qv::controls
