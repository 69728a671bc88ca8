// Standard controls.
#include "framework/StdCtrls.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/Application.h"
#include "framework/Form.h"

namespace qv::fw {

std::string WindowText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(got > 0 ? got : 0));
  return s;
}

// --- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { SetDoubleBuffered(true); }

void TCustomControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "TQvCustomControl";
}

// --- TButtonControl

void TButtonControl::Click() {
  if (m_modalResult != 0)
    if (TForm* f = ParentForm()) f->SetModalResult(m_modalResult);
  TWinControl::Click();
}

void TButtonControl::SetDefault(bool v) {
  m_default = v;
  if (TForm* f = ParentForm()) f->SetDefaultButton(v ? this : nullptr);
}

void TButtonControl::SetCancel(bool v) {
  m_cancel = v;
  if (TForm* f = ParentForm()) f->SetCancelButton(v ? this : nullptr);
}

void TButtonControl::ParentChanged(TWinControl* old) {
  TWinControl::ParentChanged(old);
  if (TForm* f = ParentForm()) {
    if (m_default) f->SetDefaultButton(this);
    if (m_cancel) f->SetCancelButton(this);
  }
}

HBRUSH TButtonControl::TransparentColors(HDC dc) {
  // Paint what lies behind, so the box sits on textures too.
  if (Parent()) Parent()->PaintBehind(*this, dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(EffectiveFont().Color()));
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

LRESULT TButtonControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // A disabled button ignores clicks sent to it, as a mouse click would.
  if (msg == BM_CLICK && !Enabled()) return 0;
  return TWinControl::WndProc(msg, wp, lp);
}

char TButtonControl::Accelerator() const {
  const std::string& s = m_caption;
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] != '&') continue;
    if (s[i + 1] == '&') {
      ++i;
      continue;
    }
    char ch = s[i + 1];
    CharUpperBuffA(&ch, 1);
    return ch;
  }
  return 0;
}

// --- TButton

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetTabStop(true); }

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "BUTTON";
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON | (IsDefault() ? BS_DEFPUSHBUTTON : 0);
}

bool TButton::CNCommand(WORD code, LRESULT& result) {
  if (code != BN_CLICKED) return false;
  Click();
  result = 0;
  return true;
}

// --- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { SetTabStop(true); }

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "BUTTON";
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | (m_allowGrayed ? BS_3STATE : BS_CHECKBOX) |
            (m_alignment == TAlignment::LeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::CreateWnd() {
  SendMessageA(HandleIfAllocated(), BM_SETCHECK,
               m_state == TCheckBoxState::Checked ? BST_CHECKED
               : m_state == TCheckBoxState::Grayed ? BST_INDETERMINATE
                                                   : BST_UNCHECKED,
               0);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == m_state) return;
  m_state = s;
  if (HandleAllocated()) CreateWnd();
  if (!Loading()) TButtonControl::Click();
}

void TCheckBox::SetChecked(bool v) { SetState(v ? TCheckBoxState::Checked : TCheckBoxState::Unchecked); }

bool TCheckBox::CNCommand(WORD code, LRESULT& result) {
  if (code != BN_CLICKED) return false;
  // The box is not automatic: each click moves to the next state here, so
  // programmatic and user changes go through the same path.
  switch (m_state) {
    case TCheckBoxState::Unchecked: SetState(TCheckBoxState::Checked); break;
    case TCheckBoxState::Checked:
      SetState(m_allowGrayed ? TCheckBoxState::Grayed : TCheckBoxState::Unchecked);
      break;
    case TCheckBoxState::Grayed: SetState(TCheckBoxState::Unchecked); break;
  }
  result = 0;
  return true;
}

HBRUSH TCheckBox::CNCtlColor(UINT, HDC dc) { return TransparentColors(dc); }

// --- TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetTabStop(true); }

void TRadioButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "BUTTON";
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
  SendMessageA(HandleIfAllocated(), BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool v) {
  if (v == m_checked) return;
  m_checked = v;
  if (HandleAllocated()) CreateWnd();
  if (v) {
    if (Parent())
      for (TControl* c : Parent()->Controls())
        if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this) r->SetChecked(false);
    if (!Loading()) TButtonControl::Click();
  }
}

bool TRadioButton::CNCommand(WORD code, LRESULT& result) {
  if (code != BN_CLICKED) return false;
  SetChecked(true);
  result = 0;
  return true;
}

HBRUSH TRadioButton::CNCtlColor(UINT, HDC dc) { return TransparentColors(dc); }

// --- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "EDIT";
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | (m_readOnly ? ES_READONLY : 0) |
            (m_alignment == TAlignment::Center ? ES_CENTER : m_alignment == TAlignment::RightJustify ? ES_RIGHT : 0);
  p.ExStyle = WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  if (m_maxLength > 0) SendMessageA(HandleIfAllocated(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
}

std::string TCustomEdit::Caption() const { return HandleAllocated() ? WindowText(HandleIfAllocated()) : m_caption; }

void TCustomEdit::SetMaxLength(int n) {
  m_maxLength = n;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_LIMITTEXT, static_cast<WPARAM>(n > 0 ? n : 0), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  m_readOnly = v;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_SETREADONLY, v, 0);
}

void TCustomEdit::SelectAll() { SetSelection(0, -1); }

int TCustomEdit::SelStart() const {
  DWORD s = 0, e = 0;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(s);
}

int TCustomEdit::SelLength() const {
  DWORD s = 0, e = 0;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}

void TCustomEdit::SetSelection(int start, int length) {
  if (!HandleAllocated()) return;
  SendMessageA(HandleIfAllocated(), EM_SETSEL, static_cast<WPARAM>(start),
               length < 0 ? -1 : static_cast<LPARAM>(start + length));
}

bool TCustomEdit::CNCommand(WORD code, LRESULT& result) {
  if (code != EN_CHANGE) return false;
  m_caption = Caption();
  if (!m_settingText) Change();
  result = 0;
  return true;
}

void TCustomEdit::Change() {
  if (OnChange && !Loading()) OnChange(*this);
}

HBRUSH TCustomEdit::CNCtlColor(UINT msg, HDC dc) {
  SetTextColor(dc, ColorToRGB(Enabled() ? EffectiveFont().Color() : clGrayText));
  if (msg == WM_CTLCOLORSTATIC && !Enabled()) {
    SetBkColor(dc, ColorToRGB(clBtnFace));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  SetBkColor(dc, ColorToRGB(EffectiveColor()));
  return ColorBrush();
}

LRESULT TCustomEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) {
    // Programmatic text changes report OnChange too (as typing does).
    const LRESULT r = TWinControl::WndProc(msg, wp, lp);
    return r;
  }
  return TWinControl::WndProc(msg, wp, lp);
}

// --- TMemo

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {}

void TMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | ES_WANTRETURN | (ReadOnly() ? ES_READONLY : 0) |
            (m_hScroll ? WS_HSCROLL | ES_AUTOHSCROLL : 0) | (m_vScroll ? WS_VSCROLL | ES_AUTOVSCROLL : 0) |
            (!m_wordWrap && !m_hScroll ? ES_AUTOHSCROLL : 0);
}

void TMemo::CreateWnd() {
  TCustomEdit::CreateWnd();
  if (MaxLength() <= 0) SendMessageA(HandleIfAllocated(), EM_LIMITTEXT, 0, 0);
}

void TMemo::AppendLine(const std::string& line) {
  HWND h = Handle();
  const int len = GetWindowTextLengthA(h);
  std::string text = (len > 0 ? "\r\n" : "") + line;
  SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(len), static_cast<LPARAM>(len));
  SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemo::Clear() { SetText(""); }

int TMemo::LineCount() const {
  if (!HandleAllocated()) return 0;
  if (GetWindowTextLengthA(HandleIfAllocated()) == 0) return 0;
  return static_cast<int>(SendMessageA(HandleIfAllocated(), EM_GETLINECOUNT, 0, 0));
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  const std::string all = Caption();
  size_t start = 0;
  while (start <= all.size() && !all.empty()) {
    const size_t nl = all.find("\r\n", start);
    if (nl == std::string::npos) {
      lines.push_back(all.substr(start));
      break;
    }
    lines.push_back(all.substr(start, nl - start));
    start = nl + 2;
  }
  return lines;
}

// --- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "COMBOBOX";
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | CBS_AUTOHSCROLL |
            (m_style == TComboStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
}

void TComboBox::CreateWnd() {
  HWND h = HandleIfAllocated();
  for (const auto& s : m_items) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  SendMessageA(h, CB_SETMINVISIBLE, static_cast<WPARAM>(m_dropDownCount), 0);
  if (m_maxLength > 0) SendMessageA(h, CB_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
  if (m_pendingIndex >= 0) SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(m_pendingIndex), 0);
  else if (!m_caption.empty()) SetWindowTextA(h, m_caption.c_str());
  // Keys typed in the edit part reach this control's key events.
  COMBOBOXINFO cbi{};
  cbi.cbSize = sizeof cbi;
  if (GetComboBoxInfo(h, &cbi) && cbi.hwndItem && cbi.hwndItem != h) {
    m_edit = cbi.hwndItem;
    SetPropA(m_edit, "QvComboOwner", this);
    m_editPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TComboBox::EditProc)));
  }
}

void TComboBox::DestroyWnd() {
  if (m_edit && m_editPrevProc) {
    SetWindowLongPtrA(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editPrevProc));
    RemovePropA(m_edit, "QvComboOwner");
  }
  m_edit = nullptr;
  m_editPrevProc = nullptr;
}

LRESULT CALLBACK TComboBox::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TComboBox*>(GetPropA(hwnd, "QvComboOwner"));
  if (!self || !self->m_editPrevProc) return DefWindowProcA(hwnd, msg, wp, lp);
  WNDPROC prev = self->m_editPrevProc;
  if (!self->Destroying()) {
    try {
      if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        WORD key = static_cast<WORD>(wp);
        self->KeyDown(key, TShiftState::Current());
        if (key == 0) return 0;
      } else if (msg == WM_KEYUP) {
        WORD key = static_cast<WORD>(wp);
        self->KeyUp(key, TShiftState::Current());
        if (key == 0) return 0;
      } else if (msg == WM_CHAR) {
        char ch = static_cast<char>(wp);
        self->KeyPress(ch);
        if (ch == 0) return 0;
        wp = static_cast<unsigned char>(ch);
      } else if (msg == WM_SETFOCUS) {
        const LRESULT r = CallWindowProcA(prev, hwnd, msg, wp, lp);
        self->FocusArrived(reinterpret_cast<HWND>(wp));
        return r;
      } else if (msg == WM_KILLFOCUS) {
        const LRESULT r = CallWindowProcA(prev, hwnd, msg, wp, lp);
        self->FocusLeft(reinterpret_cast<HWND>(wp));
        return r;
      }
    } catch (...) {
      if (Application()) Application()->HandleException(std::current_exception());
      return 0;
    }
  }
  return CallWindowProcA(prev, hwnd, msg, wp, lp);
}

std::string TComboBox::Caption() const { return HandleAllocated() ? WindowText(HandleIfAllocated()) : m_caption; }

void TComboBox::CaptionChanged() {
  if (!HandleAllocated()) return;
  m_settingText = true;
  SetWindowTextA(HandleIfAllocated(), m_caption.c_str());
  m_settingText = false;
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  const std::string text = Caption();
  m_items = items;
  if (HandleAllocated()) {
    HWND h = HandleIfAllocated();
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    for (const auto& s : m_items) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SetWindowTextA(h, text.c_str());
  }
}

void TComboBox::AddItem(const std::string& s) { InsertItem(ItemCount(), s); }

void TComboBox::InsertItem(int index, const std::string& s) {
  if (index < 0 || index > ItemCount()) index = ItemCount();
  m_items.insert(m_items.begin() + index, s);
  if (HandleAllocated())
    SendMessageA(HandleIfAllocated(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
}

void TComboBox::DeleteItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  m_items.erase(m_items.begin() + index);
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBox::ClearItems() {
  m_items.clear();
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_RESETCONTENT, 0, 0);
}

int TComboBox::ItemIndex() const {
  if (!HandleAllocated()) return m_pendingIndex;
  return static_cast<int>(SendMessageA(HandleIfAllocated(), CB_GETCURSEL, 0, 0));
}

bool TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= ItemCount()) return false;
  m_pendingIndex = index;
  if (HandleAllocated()) {
    m_settingText = true;
    SendMessageA(HandleIfAllocated(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_settingText = false;
  }
  m_caption = index >= 0 ? m_items[static_cast<size_t>(index)] : std::string();
  return true;
}

bool TComboBox::SetDropDownCount(int n) {
  if (n < 1) return false;
  m_dropDownCount = n;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_SETMINVISIBLE, static_cast<WPARAM>(n), 0);
  return true;
}

void TComboBox::SetMaxLength(int n) {
  m_maxLength = n;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_LIMITTEXT, static_cast<WPARAM>(n), 0);
}

bool TComboBox::DroppedDown() const {
  return HandleAllocated() && SendMessageA(HandleIfAllocated(), CB_GETDROPPEDSTATE, 0, 0);
}

void TComboBox::SetDroppedDown(bool v) {
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_SHOWDROPDOWN, v, 0);
}

void TComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

bool TComboBox::CNCommand(WORD code, LRESULT& result) {
  result = 0;
  switch (code) {
    case CBN_EDITCHANGE:
      m_caption = Caption();
      if (!m_settingText && OnChange && !Loading()) OnChange(*this);
      return true;
    case CBN_SELCHANGE: {
      const int i = ItemIndex();
      m_pendingIndex = i;
      m_caption = (i >= 0 && i < ItemCount()) ? m_items[static_cast<size_t>(i)] : Caption();
      if (!m_settingText && !Loading()) {
        if (OnSelect) OnSelect(*this);
        if (OnChange) OnChange(*this);
      }
      return true;
    }
    case CBN_DROPDOWN:
      if (OnDropDown) OnDropDown(*this);
      return true;
    case CBN_CLOSEUP:
      if (OnCloseUp) OnCloseUp(*this);
      return true;
    default:
      return false;
  }
}

HBRUSH TComboBox::CNCtlColor(UINT, HDC dc) {
  SetTextColor(dc, ColorToRGB(EffectiveFont().Color()));
  SetBkColor(dc, ColorToRGB(EffectiveColor()));
  return ColorBrush();
}

// --- TLabel

TLabel::TLabel(TComponent* owner) : TCustomControl(owner) { SetParentBackground(true); }

void TLabel::SetAlignment(TAlignment a) {
  m_alignment = a;
  Invalidate();
}

void TLabel::SetAutoSize(bool v) {
  m_autoSize = v;
  AdjustSize();
}

void TLabel::SetWordWrap(bool v) {
  m_wordWrap = v;
  Invalidate();
}

void TLabel::SetTransparent(bool v) { SetParentBackground(v); }

void TLabel::SetLayoutCenter(bool v) {
  m_layoutCenter = v;
  Invalidate();
}

int TLabel::TextWidth() const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, EffectiveFont().Handle());
  SIZE sz{};
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  sz.cx = r.right;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return sz.cx;
}

void TLabel::AdjustSize() {
  if (!m_autoSize) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, EffectiveFont().Handle());
  RECT r{0, 0, m_wordWrap ? Width() : 0, 0};
  const std::string text = m_caption.empty() ? " " : m_caption;
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | (m_wordWrap ? DT_WORDBREAK : 0));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int left = Left();
  if (m_alignment == TAlignment::RightJustify && !m_wordWrap) left = Left() + Width() - r.right;
  SetBounds(left, Top(), m_wordWrap ? Width() : r.right, r.bottom);
}

void TLabel::CreateWnd() {
  // A label is a window here only so tests can read it; it lies under its
  // windowed siblings as a painted label would.
  SetWindowPos(HandleIfAllocated(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TLabel::CaptionChanged() {
  TCustomControl::CaptionChanged();
  AdjustSize();
}

void TLabel::FontChanged() {
  TCustomControl::FontChanged();
  AdjustSize();
}

void TLabel::Paint(TCanvas& c) {
  // DrawText clips to its rectangle, and glyph ink may pass the measured
  // advance by a pixel or two (seen with Wine's font rendering): the window
  // clips instead.
  UINT fmt = m_wordWrap ? DT_WORDBREAK : (DT_SINGLELINE | DT_NOCLIP);
  if (m_alignment == TAlignment::Center) fmt |= DT_CENTER;
  if (m_alignment == TAlignment::RightJustify) fmt |= DT_RIGHT;
  if (m_layoutCenter && !m_wordWrap) fmt |= DT_VCENTER;
  TRect r = ClientRect();
  if (m_alignment == TAlignment::RightJustify) r.Right -= 2;
  if (Enabled()) {
    c.TextRect(m_caption, r, fmt, EffectiveFont().Color());
  } else {
    TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    c.TextRect(m_caption, shifted, fmt, clBtnHighlight);
    c.TextRect(m_caption, r, fmt, clBtnShadow);
  }
}

LRESULT TLabel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONUP && !Destroying()) {
    const LRESULT r = TCustomControl::WndProc(msg, wp, lp);
    Click();
    return r;
  }
  return TCustomControl::WndProc(msg, wp, lp);
}

// --- TPanel

void DrawBevel(TCanvas& c, TRect r, TBevelCut cut) {
  if (cut == TBevelCut::None) return;
  const TColor tl = cut == TBevelCut::Raised ? clBtnHighlight : clBtnShadow;
  const TColor br = cut == TBevelCut::Raised ? clBtnShadow : clBtnHighlight;
  c.Line(r.Left, r.Bottom - 1, r.Left, r.Top, tl);
  c.Line(r.Left, r.Top, r.Right - 1, r.Top, tl);
  c.Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, br);
  c.Line(r.Right - 1, r.Bottom - 1, r.Left, r.Bottom - 1, br);
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {}

void TPanel::SetBevelOuter(TBevelCut c) {
  m_outer = c;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut c) {
  m_inner = c;
  Invalidate();
}

TRect TPanel::ClientRect() const {
  TRect r = TCustomControl::ClientRect();
  const int inset = (m_outer != TBevelCut::None ? 1 : 0) + (m_inner != TBevelCut::None ? 1 : 0);
  return TRect{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
}

void TPanel::Paint(TCanvas& c) {
  TRect r = TCustomControl::ClientRect();
  DrawBevel(c, r, m_outer);
  if (m_outer != TBevelCut::None) r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  DrawBevel(c, r, m_inner);
  if (!m_caption.empty()) {
    UINT fmt = DT_SINGLELINE | DT_VCENTER |
               (m_alignment == TAlignment::Center ? DT_CENTER : m_alignment == TAlignment::RightJustify ? DT_RIGHT : 0);
    TRect t{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    c.TextRect(m_caption, t, fmt, Enabled() ? EffectiveFont().Color() : clGrayText);
  }
}

// --- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) { SetParentBackground(true); }

void TGroupBox::Paint(TCanvas& c) {
  const SIZE ext = c.TextExtent(m_caption.empty() ? " " : m_caption);
  const TRect r = ClientRect();
  const TRect frame{r.Left, r.Top + ext.cy / 2, r.Right, r.Bottom};
  c.FrameRect(TRect{frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom}, clBtnHighlight);
  c.FrameRect(TRect{frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1}, clBtnShadow);
  if (m_caption.empty()) return;
  // The caption interrupts the top edge.
  const TRect gap{8, frame.Top, 8 + ext.cx + 4, frame.Top + 2};
  const int saved = SaveDC(c.Handle());
  IntersectClipRect(c.Handle(), gap.Left, gap.Top, gap.Right, gap.Bottom);
  if (Parent()) Parent()->PaintBehind(*this, c.Handle());
  RestoreDC(c.Handle(), saved);
  c.TextRect(m_caption, TRect{10, 0, 10 + ext.cx + 2, ext.cy}, DT_SINGLELINE, EffectiveFont().Color());
}

}  // namespace qv::fw
