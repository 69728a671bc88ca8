// The spin edit: value text, limits, steps, keys and its buttons.
#include "controls/edits/QxSpinEdit.h"

#include <algorithm>

#include "framework/Form.h"
#include "services/QxRangeError.h"

namespace qv::controls {

using qv::fw::TComponent;
using qv::fw::TShiftState;

namespace {

// The holder window of the windowless step button.
class TQxSpinHolder : public qv::fw::TCustomControl {
public:
  explicit TQxSpinHolder(TComponent* owner) : TCustomControl(owner) {}
};

// The system edit class may paint with its parent's clipping (CS_PARENTDC),
// which ignores WS_CLIPCHILDREN and so paints over the child window holding
// the buttons. A copy of the class without it.
const char* SpinEditClassName() {
  static const char* name = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(nullptr, "EDIT", &wc)) return "EDIT";
    wc.lpszClassName = "TQxSpinEdit";
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.style &= ~static_cast<UINT>(CS_PARENTDC | CS_OWNDC | CS_CLASSDC | CS_GLOBALCLASS);
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return "EDIT";
    return "TQxSpinEdit";
  }();
  return name;
}

// The form's Enter and Esc handling (default and cancel buttons); the
// framework offers it to its message loop only.
struct TFormDialogKey : qv::fw::TForm {
  using TForm::DialogKey;
};

bool SendDialogKey(qv::fw::TForm* form, WORD key) {
  if (!form) return false;
  bool (qv::fw::TForm::*dialogKey)(WORD) = &TFormDialogKey::DialogKey;
  return (form->*dialogKey)(key);
}

UINT FocusBackMessage() {
  static const UINT msg = RegisterWindowMessageA("QvSpinEditFocusBack");
  return msg;
}

bool SameTextNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

// --- TQxCustomSpinEdit

TQxCustomSpinEdit::TQxCustomSpinEdit(TComponent* owner) : TCustomMaskEdit(owner) {
  SetBounds(0, 0, 121, 21);
  BuildButtons();
}

TQxCustomSpinEdit::~TQxCustomSpinEdit() {
  // Freeing the buttons must not report a change.
  m_selfUpdating = true;
}

void TQxCustomSpinEdit::CreateParams(qv::fw::TCreateParams& p) {
  TCustomMaskEdit::CreateParams(p);
  p.ClassName = SpinEditClassName();
  p.Style |= WS_CLIPCHILDREN;
  p.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER | WS_BORDER);
  p.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT);
  // Right to left, left and right alignment trade places; the reading-only
  // modes keep the alignment and the buttons' side but read from the right,
  // as labels and speed buttons do.
  switch (qv::fw::BiDiAlignment(*this, m_alignment)) {
    case qv::fw::TAlignment::LeftJustify: p.Style |= ES_LEFT; break;
    case qv::fw::TAlignment::RightJustify: p.Style |= ES_RIGHT; break;
    case qv::fw::TAlignment::Center: p.Style |= ES_CENTER; break;
  }
  if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftAlignment()) p.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (m_borderStyle == TEditBorderStyle::Single) {
    if (m_ctl3D) p.ExStyle |= WS_EX_CLIENTEDGE;
    else p.Style |= WS_BORDER;
  }
}

void TQxCustomSpinEdit::RecreateWnd() {
  if (!HandleAllocated()) return;
  const bool focused = Focused();
  DestroyHandle();
  HandleNeeded();
  if (focused) SetFocus();
}

void TQxCustomSpinEdit::SetBorderStyle(TEditBorderStyle s) {
  if (s == m_borderStyle) return;
  m_borderStyle = s;
  RecreateWnd();
}

void TQxCustomSpinEdit::SetCtl3D(bool v) {
  if (v == m_ctl3D) return;
  m_ctl3D = v;
  RecreateWnd();
}

void TQxCustomSpinEdit::BiDiModeChanged() {
  TCustomMaskEdit::BiDiModeChanged();
  if (m_upDown) m_upDown->SetAlign(UseRightToLeftAlignment() ? qv::fw::TAlign::Left : qv::fw::TAlign::Right);
  RecreateWnd();
}

void TQxCustomSpinEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  // The client area the buttons fit into is known from here on.
  PlaceButtons();
  UpdateTextArea();
}

void TQxCustomSpinEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  m_autoMinFlag = m_autoMaxFlag = true;
  AdjustHeight();  // resizes waited for the layout
}

// --- Buttons

void TQxCustomSpinEdit::BuildButtons() {
  if (Destroying()) return;
  delete m_holder;  // frees the button with it
  m_holder = nullptr;
  m_button = nullptr;
  delete m_upDown;
  m_upDown = nullptr;
  // New-style common controls are always present here (4.70 or later is
  // checked at start-up), so the kind asked for is the kind built.
  m_builtKind = m_buttonKind;
  if (m_builtKind == bkStandard) {
    m_upDown = &Make<TQxUpDown>("");
    m_upDown->SetFixedWidth(SpinButtonWidth());
    m_upDown->SetBounds(0, 1, SpinButtonWidth(), Height());
    m_upDown->SetAlign(UseRightToLeftAlignment() ? qv::fw::TAlign::Left : qv::fw::TAlign::Right);
    m_upDown->SetEnabled(Enabled());
    m_upDown->OnTopClick = [this](TComponent&) { HandleUpDownClick(true); };
    m_upDown->OnBottomClick = [this](TComponent&) { HandleUpDownClick(false); };
    m_upDown->SetParent(this);
  } else {
    m_holder = &Make<TQxSpinHolder>("");
    m_holder->SetParent(this);
    m_button = &m_holder->Make<TQxSpinButton>("");
    m_button->SetButtonStyle(m_builtKind == bkClassic ? sbsClassic : sbsDefault);
    m_button->SetFocusControl(this);
    m_button->SetEnabled(Enabled());
    m_button->OnTopClick = [this](TComponent&) { StepUp(); };
    m_button->OnBottomClick = [this](TComponent&) { StepDown(); };
    m_button->SetParent(m_holder);
  }
  PlaceButtons();
  UpdateTextArea();
}

void TQxCustomSpinEdit::SetButtonKind(TSpinButtonKind k) {
  if (k == m_buttonKind) return;
  m_buttonKind = k;
  if (m_buttonKind != m_builtKind) BuildButtons();
}

void TQxCustomSpinEdit::PlaceButtons() {
  if (m_upDown) {
    m_upDown->SetWidth(SpinButtonWidth());
    m_upDown->SetAlign(UseRightToLeftAlignment() ? qv::fw::TAlign::Left : qv::fw::TAlign::Right);
    Realign();
    return;
  }
  if (!m_holder) return;
  const int sbw = SpinButtonWidth();
  int left = 0, top = 0, width = 0, height = 0;
  if (m_borderStyle == TEditBorderStyle::Single && m_ctl3D) {
    // The 3-D look: the holder overlaps the client edge by one pixel so the
    // button meets the border.
    const int w = Width(), h = Height();
    const int side = std::max(0, h - 3);
    top = -1;
    if (m_builtKind == bkClassic) left = w - sbw - 4, width = sbw, height = side;
    else left = w - h - 1, width = side, height = side;
    if (UseRightToLeftAlignment()) left = -1, width = std::max(0, h - 3);
  } else {
    // The edit draws a flat border inside its own area: the holder stays
    // within that line instead of covering it.
    const int inset = m_borderStyle == TEditBorderStyle::Single ? 1 : 0;
    const int w = Width() - 2 * inset, h = std::max(0, Height() - 2 * inset);
    top = inset;
    height = h;
    if (m_builtKind == bkClassic) left = w - sbw, width = sbw;
    else left = w - h, width = h;
    if (UseRightToLeftAlignment()) left = 0, width = h;
    left += inset;
  }
  m_holder->SetBounds(left, top, width, height);
  m_button->SetBounds(1, 1, std::max(0, m_holder->Width() - 1), std::max(0, m_holder->Height() - 1));
}

int TQxCustomSpinEdit::ButtonAreaWidth() const {
  if (m_upDown) return m_upDown->Width();
  if (m_button) return m_button->Width();
  return SpinButtonWidth();
}

void TQxCustomSpinEdit::UpdateTextArea() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  const int bw = ButtonAreaWidth();
  RECT client{};
  GetClientRect(h, &client);
  RECT r{};
  if (UseRightToLeftAlignment()) {
    SendMessageA(h, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(bw, 0));
    r = RECT{bw + 1, 0, client.right - 1, client.bottom + 1};
  } else {
    SendMessageA(h, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, bw));
    r = RECT{0, 0, client.right - bw - 2, client.bottom + 1};
  }
  SendMessageA(h, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TQxCustomSpinEdit::HandleUpDownClick(bool up) {
  if (TabStop() && CanFocus()) SetFocus();
  if (up) StepUp();
  else StepDown();
}

void TQxCustomSpinEdit::AdjustHeight() {
  const TEXTMETRICA tm = fw::FontMetrics(EffectiveFont().Handle());
  const int minHeight = tm.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
  if (Height() < minHeight) {
    SetHeight(minHeight);  // that resize lays the buttons out
    return;
  }
  PlaceButtons();
  UpdateTextArea();
}

void TQxCustomSpinEdit::Resized() {
  AdjustHeight();
  TCustomMaskEdit::Resized();
}

void TQxCustomSpinEdit::FontChanged() {
  TCustomMaskEdit::FontChanged();
  if (!Loading()) AdjustHeight();
}

void TQxCustomSpinEdit::EnabledChanged() {
  TCustomMaskEdit::EnabledChanged();
  if (m_upDown) {
    m_upDown->SetEnabled(Enabled());
    PlaceButtons();
  } else if (m_button) {
    m_button->SetEnabled(Enabled());
  }
}

void TQxCustomSpinEdit::SetAlignment(qv::fw::TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  if (!HandleAllocated()) return;
  const bool focused = Focused();
  DestroyHandle();
  HandleNeeded();
  if (focused) SetFocus();
}

// --- Value, kind and limits

void TQxCustomSpinEdit::SetValueType(TValueType t) {
  if (t == m_valueType) return;
  // The value is read in the kind that wrote the text.
  const long double v = GetValue();
  m_valueType = t;
  SetValue(v);
  if (m_valueType == vtInteger || m_valueType == vtHex) {
    m_increment = static_cast<long double>(RoundToInt64(m_increment));
    if (m_increment == 0) m_increment = 1;
  }
}

void TQxCustomSpinEdit::SetDecimal(int digits) {
  if (digits < 0) digits = 0;
  if (digits > 255) digits = 255;
  if (digits == m_decimal) return;
  m_decimal = digits;
  SetValue(GetValue());
}

void TQxCustomSpinEdit::SetDisplayFormat(const std::string& f) {
  if (f == m_displayFormat) return;
  m_displayFormat = f;
  Invalidate();
}

long double TQxCustomSpinEdit::ClampValue(long double x) const {
  if (!m_checkMinValue && !m_checkMaxValue) return x;
  if (x < m_minValue) return m_checkMinValue ? m_minValue : x;
  if (x > m_maxValue) return m_checkMaxValue ? m_maxValue : x;
  return x;
}

long double TQxCustomSpinEdit::ValidateValue(long double x, bool raise) const {
  const long double r = ClampValue(x);
  if ((m_checkMinValue || m_checkMaxValue) && raise && r != x) {
    const char dec = Separators().Decimal;
    throw ERangeError(RangeErrorText(FormatGeneral(m_minValue, 15, dec), FormatGeneral(m_maxValue, 15, dec)));
  }
  return r;
}

void TQxCustomSpinEdit::SetCheckMinValue(bool v) {
  m_checkMinValue = m_minValue != 0 ? true : v;
  if (Loading()) m_autoMinFlag = false;
  SetValue(GetValue());
}

void TQxCustomSpinEdit::SetCheckMaxValue(bool v) {
  m_checkMaxValue = m_maxValue != 0 ? true : v;
  if (Loading()) m_autoMaxFlag = false;
  SetValue(GetValue());
}

void TQxCustomSpinEdit::SetMinValue(long double x) {
  if (x == m_minValue) return;
  const bool crossesZero = (x == 0) != (m_minValue == 0);
  m_minValue = x;
  if (crossesZero && m_autoMinFlag) {
    // Limits checked exactly while one of them is set, unless told otherwise.
    const bool automatic = m_minValue != 0 || m_maxValue != 0;
    m_checkMinValue = automatic;
    if (m_autoMaxFlag) m_checkMaxValue = automatic;
  }
  SetValue(GetValue());
}

void TQxCustomSpinEdit::SetMaxValue(long double x) {
  if (x == m_maxValue) return;
  const bool crossesZero = (x == 0) != (m_maxValue == 0);
  m_maxValue = x;
  if (crossesZero && m_autoMaxFlag) {
    const bool automatic = m_minValue != 0 || m_maxValue != 0;
    m_checkMaxValue = automatic;
    if (m_autoMinFlag) m_checkMinValue = automatic;
  }
  SetValue(GetValue());
}

void TQxCustomSpinEdit::SetTextQuietly(const std::string& text) {
  const bool was = m_selfUpdating;
  m_selfUpdating = true;
  SetText(text);
  m_selfUpdating = was;
}

void TQxCustomSpinEdit::RefreshValueText() {
  if (m_valueType != vtFloat || !m_hasFocus || m_displayFormat.empty()) return;
  std::string editing = "0";
  if (m_decimal > 0) editing += "." + std::string(static_cast<size_t>(m_decimal), '#');
  SetTextQuietly(FormatFloatPattern(GetValue(), editing, Separators()));
}

bool TQxCustomSpinEdit::Modified() const {
  HWND h = HandleIfAllocated();
  return h && SendMessageA(h, EM_GETMODIFY, 0, 0) != 0;
}

// --- Steps

void TQxCustomSpinEdit::Step(long double delta, const qv::fw::TNotifyEvent& event) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  std::string old;
  m_selfUpdating = true;
  try {
    old = Text();
    SetValue(GetValue() + delta);
  } catch (...) {
    m_selfUpdating = false;
    throw;
  }
  m_selfUpdating = false;
  if (!SameTextNoCase(old, Text())) {
    if (HWND h = HandleIfAllocated()) SendMessageA(h, EM_SETMODIFY, TRUE, 0);
    Change();
  }
  if (event) event(*this);
}

void TQxCustomSpinEdit::StepUp() { Step(m_increment, OnTopClick); }

void TQxCustomSpinEdit::StepDown() { Step(-m_increment, OnBottomClick); }

void TQxCustomSpinEdit::Change() {
  if (!m_selfUpdating) TCustomMaskEdit::Change();
}

// --- Keys

bool TQxCustomSpinEdit::IsValidChar(char key) {
  std::string allowed = "+-0123456789";
  if (m_valueType == vtFloat) {
    const std::string text = Text();
    const char dec = Separators().Decimal;
    if (text.find(dec) == std::string::npos) {
      allowed += '.';
      allowed += dec;
    }
    if (text.find('E') == std::string::npos && text.find('e') == std::string::npos) allowed += "eE";
  } else if (m_valueType == vtHex) {
    allowed += "ABCDEFabcdef";
  }
  const auto code = static_cast<unsigned char>(key);
  bool valid = code < 32 || allowed.find(key) != std::string::npos;
  // Without the editor only the buttons and arrow keys change the value.
  if (!m_editorEnabled && valid && (code == 8 || code >= 32)) valid = false;
  return valid;
}

void TQxCustomSpinEdit::KeyPress(char& key) {
  if (!IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  if (key == '.') key = Separators().Decimal;
  TCustomMaskEdit::KeyPress(key);
  if (key == '\r' || key == 27) {
    SendDialogKey(ParentForm(), key == '\r' ? VK_RETURN : VK_ESCAPE);
    if (key == '\r') key = 0;
  }
}

void TQxCustomSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomMaskEdit::KeyDown(key, shift);
  if (!m_arrowKeys || key == 0) return;
  if (key == VK_UP) {
    key = 0;
    StepUp();
  } else if (key == VK_DOWN) {
    key = 0;
    StepDown();
  }
}

// --- Focus, paste and cut

void TQxCustomSpinEdit::DoEnter() {
  // Focus coming back from another window (a message box) is no new entry.
  if (!m_hasFocus) {
    m_hasFocus = true;
    Invalidate();
    RefreshValueText();
    bool mouseHeld = false;
    if (GetKeyState(VK_LBUTTON) < 0) {
      POINT pt;
      GetCursorPos(&pt);
      mouseHeld = WindowFromPoint(pt) == HandleIfAllocated();
    }
    if (m_autoSelect && !mouseHeld) SelectAll();
  }
  TCustomMaskEdit::DoEnter();
}

void TQxCustomSpinEdit::DoExit() {
  HWND self = HandleIfAllocated();
  // The focus going to the edit's own buttons stays inside the control.
  if (!m_hasFocus || (self && m_focusPeer && IsChild(self, m_focusPeer))) {
    TCustomMaskEdit::DoExit();
    return;
  }
  m_hasFocus = false;
  Invalidate();
  RefreshValueText();
  try {
    if (m_checkOnExit) ValidateValue(GetValue(), true);
    SetValue(ClampValue(GetValue()));
  } catch (const ERangeError& e) {
    // The focus change is refused: the user reads why, then the edit takes
    // the focus back with its text selected, once the change under way has
    // ended (taken back inside it, the focus bounces between two windows).
    m_hasFocus = true;
    SelectAll();
    ShowRangeError(e.what());
    if (self) PostMessageA(self, FocusBackMessage(), 0, 0);
    return;
  }
  TCustomMaskEdit::DoExit();
}

LRESULT TQxCustomSpinEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == FocusBackMessage()) {
    if (CanFocus()) SetFocus();
    SelectAll();
    return 0;
  }
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      m_focusPeer = reinterpret_cast<HWND>(wp);
      const LRESULT r = TCustomMaskEdit::WndProc(msg, wp, lp);
      m_focusPeer = nullptr;
      return r;
    }
    case WM_NCPAINT: {
      // A themed edit draws its whole window, client area included, when
      // its frame changes with the focus: the buttons are drawn again.
      const LRESULT r = TCustomMaskEdit::WndProc(msg, wp, lp);
      TWinControl* buttons = m_holder ? m_holder : static_cast<TWinControl*>(m_upDown);
      if (buttons && buttons->HandleAllocated())
        RedrawWindow(buttons->HandleIfAllocated(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      return r;
    }
    case WM_CUT:
      if (!m_editorEnabled || ReadOnly()) return 0;
      break;
    case WM_PASTE: {
      if (!m_editorEnabled || ReadOnly()) return 0;
      const long double old = GetValue();
      const LRESULT r = TCustomMaskEdit::WndProc(msg, wp, lp);
      if (!TextToFloat(Text(), Separators().Decimal)) {
        try {
          SetValue(old);
        } catch (const ERangeError&) {
        }
      }
      return r;
    }
    default:
      break;
  }
  return TCustomMaskEdit::WndProc(msg, wp, lp);
}

// --- TQxSpinEdit

TQxSpinEdit::TQxSpinEdit(TComponent* owner) : TQxCustomSpinEdit(owner) { SetText("0"); }

void TQxSpinEdit::SetValue(long double x) {
  const TNumberSeparators seps = Separators();
  const long double v = ClampValue(x);
  std::string text;
  switch (ValueType()) {
    case vtFloat:
      text = DisplayFormat().empty() ? FormatFixed(v, 15, Decimal(), seps.Decimal)
                                     : FormatFloatPattern(v, DisplayFormat(), seps);
      break;
    case vtHex:
      text = IntToHex(RoundToInt64(v), 1);
      break;
    case vtInteger:
      text = std::to_string(RoundToInt64(v));
      break;
  }
  SetText(text);
  RefreshValueText();
}

long double TQxSpinEdit::GetValue() {
  const TNumberSeparators seps = Separators();
  const std::string text = Text();
  switch (ValueType()) {
    case vtFloat: {
      const auto v = DisplayFormat().empty() ? TextToFloat(text, seps.Decimal)
                                             : TextToFloat(NormalizeNumberText(text, seps), seps.Decimal);
      return v ? *v : MinValue();
    }
    case vtHex: {
      const auto v = TextToInt64("$" + text);
      return static_cast<long double>(v ? *v : RoundToInt64(MinValue()));
    }
    case vtInteger:
      break;
  }
  const auto v = TextToInt64(text);
  return static_cast<long double>(v ? *v : RoundToInt64(MinValue()));
}

}  // namespace qv::controls
