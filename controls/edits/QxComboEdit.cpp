// Combo edit, its button and its popup window; see QxComboEdit.h.
#include "controls/edits/QxComboEdit.h"

#include <algorithm>

#include "framework/Form.h"
#include "services/QxHook.h"

namespace qv::controls {

using namespace qv::fw;

// --- TEditButton

TEditButton::TEditButton(TComponent* owner) : TQxSpeedButton(owner) {
  SetFlatStandard(true);
  SetShowHint(true);
}

void TEditButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  // The press that closes an open popup does not open it again.
  m_noAction = b == TMouseButton::Left && OnPress && !OnPress();
  if (m_noAction) return;
  TQxSpeedButton::MouseDown(b, s, x, y);
}

void TEditButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (m_noAction) {
    m_noAction = false;
    return;
  }
  TQxSpeedButton::MouseUp(b, s, x, y);
}

void TEditButton::Paint(TCanvas& canvas) {
  TQxSpeedButton::Paint(canvas);
  if (PaintState() == psDown) return;
  const int h = Height();
  canvas.Line(0, 0, 0, h - 1, clBtnFace);
  canvas.Line(1, 1, 1, h - 2, clBtnHighlight);
}

// --- TPopupWindow

TPopupWindow::TPopupWindow(TComponent* owner) : TCustomControl(owner) {
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TPopupWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.ClassName = "TQxPopupWindow";
  p.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  p.ExStyle = WS_EX_TOOLWINDOW;
  p.ClassStyle |= CS_SAVEBITS;
}

LRESULT TPopupWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONUP: {
      const LRESULT r = TCustomControl::WndProc(msg, wp, lp);
      const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      RECT rc;
      GetClientRect(HandleIfAllocated(), &rc);
      FinishPopup(PtInRect(&rc, pt) != 0);
      return r;
    }
    default: return TCustomControl::WndProc(msg, wp, lp);
  }
}

void TPopupWindow::FinishPopup(bool accept) {
  if (OnCloseUp) OnCloseUp(*this, accept);
}

void TPopupWindow::ShowAtPoint(TPoint screen) {
  HWND h = Handle();
  // Owned by the edit's form, so it stays above it and goes with it.
  if (auto* edit = dynamic_cast<TWinControl*>(Owner()); edit && edit->HandleAllocated())
    SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetAncestor(edit->HandleIfAllocated(), GA_ROOT)));
  SetWindowPos(h, HWND_TOP, screen.X, screen.Y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void TPopupWindow::HidePopupWindow() {
  if (!HandleAllocated()) return;
  SetWindowPos(HandleIfAllocated(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TPopupWindow::IsShown() const { return HandleAllocated() && IsWindowVisible(HandleIfAllocated()); }

// --- TCustomComboEdit

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TCustomMaskEdit(owner) {
  m_holder = &Make<TCustomControl>("");
  m_holder->SetParent(this);
  m_holder->SetBounds(0, 0, 21, 17);
  m_button = &Make<TEditButton>("");
  m_button->SetParent(m_holder);
  m_button->SetAlign(TAlign::Client);
  m_button->OnClick = [this](TComponent&) { ButtonPressed(); };
  m_button->OnPress = [this] {
    if (m_popupVisible) {
      HidePopup(true);
      return false;
    }
    if (TabStop() && CanFocus() && !Focused()) SetFocus();
    return true;
  };
  SetBounds(0, 0, 121, 21);
}

TCustomComboEdit::~TCustomComboEdit() {
  if (m_ownGlyph) DeleteObject(m_ownGlyph);
}

void TCustomComboEdit::CreateParams(TCreateParams& p) {
  TCustomMaskEdit::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
  if (m_comboReadOnly || !m_directInput) p.Style |= ES_READONLY;
}

void TCustomComboEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  SetEditRect();
  LayoutButton();
  // A press on another control of the form (which may not take the focus)
  // or on the form itself closes the popup without accepting.
  if (!m_formHook && ParentForm()) {
    m_formHook = &Make<TQxWindowHook>("");
    m_formHook->BeforeMessage = [this](TComponent&, TMessage& m, bool&) {
      if (!m_popupVisible) return;
      POINT pt{};
      if (m.Msg == WM_PARENTNOTIFY) {
        const UINT event = LOWORD(m.WParam);
        if (event != WM_LBUTTONDOWN && event != WM_RBUTTONDOWN && event != WM_MBUTTONDOWN) return;
        pt = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        ::ClientToScreen(ParentForm()->Handle(), &pt);
      } else if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_NCLBUTTONDOWN) {
        if (m.Msg == WM_NCLBUTTONDOWN) {
          HidePopupElsewhere();
          return;
        }
        pt = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        ::ClientToScreen(ParentForm()->Handle(), &pt);
      } else {
        return;
      }
      RECT own;
      GetWindowRect(HandleIfAllocated(), &own);
      if (!PtInRect(&own, pt)) HidePopupElsewhere();
    };
    m_formHook->SetWinControl(ParentForm());
  }
}

void TCustomComboEdit::SetEditRect() {
  // The text stops before the button.
  if (!HandleAllocated()) return;
  const int right = m_holder->Visible() ? m_holder->Width() + 2 : 0;
  SendMessageA(HandleIfAllocated(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, right));
}

void TCustomComboEdit::LayoutButton() {
  if (!m_holder) return;
  const int bw = m_buttonWidth;
  m_holder->SetVisible(bw > 1);
  // A 3-D single border: the holder sits inside the client edge.
  m_holder->SetBounds(Width() - bw - 4, 0, bw, std::max(0, Height() - 4));
  SetEditRect();
}

void TCustomComboEdit::BoundsChanged() {
  TCustomMaskEdit::BoundsChanged();
  LayoutButton();
}

int TCustomComboEdit::MinHeight() const {
  const TEXTMETRICA tm = fw::FontMetrics(EffectiveFont().Handle());
  return tm.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
}

void TCustomComboEdit::SetBounds(int left, int top, int width, int height) {
  // While a layout is loading the font may not be final yet.
  if (!Loading()) height = std::max(height, MinHeight());
  TCustomMaskEdit::SetBounds(left, top, width, height);
}

void TCustomComboEdit::FontChanged() {
  TCustomMaskEdit::FontChanged();
  SetEditRect();
  // The system edit made its own caret again for the new font.
  if (!m_disabledByPopup) ShowOwnCaret();
}

void TCustomComboEdit::ShowOwnCaret() {
  HWND h = HandleIfAllocated();
  if (!h || GetFocus() != h) return;
  // A bold text needs a wider caret to stay visible beside its strokes.
  POINT at{};
  GetCaretPos(&at);
  const int height = fw::FontMetrics(EffectiveFont().Handle()).tmHeight;
  if (!CreateCaret(h, nullptr, EffectiveFont().Style().Bold ? 2 : 1, height)) return;
  SetCaretPos(at.x, at.y);
  ShowCaret(h);
}

void TCustomComboEdit::EnabledChanged() {
  TCustomMaskEdit::EnabledChanged();
  m_button->SetEnabled(Enabled());
}

void TCustomComboEdit::SetButtonHint(const std::string& h) {
  m_buttonHint = h;
  m_button->SetHint(h);
}

void TCustomComboEdit::SetButtonWidth(int w) {
  if (w == m_buttonWidth || w < 0) return;
  if (HandleAllocated() && w >= ClientRect().Width()) return;
  m_buttonWidth = w;
  LayoutButton();
  RebuildGlyph();
}

void TCustomComboEdit::SetDirectInput(bool v) {
  m_directInput = v;
  ApplyReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool v) {
  m_comboReadOnly = v;
  ApplyReadOnly();
}

void TCustomComboEdit::ApplyReadOnly() {
  TCustomMaskEdit::SetReadOnly(m_comboReadOnly || !m_directInput || m_disabledByPopup);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind k) {
  if (k == m_glyphKind) return;
  m_glyphKind = k;
  RebuildGlyph();
}

void TCustomComboEdit::SetGlyph(HBITMAP strip) {
  m_glyphKind = gkCustom;
  m_button->SetGlyph(strip);
}

void TCustomComboEdit::SetNumGlyphs(int n) {
  m_numGlyphs = std::clamp(n, 1, 5);
  m_button->SetNumGlyphs(m_numGlyphs);
}

void TCustomComboEdit::RebuildGlyph() {
  if (m_ownGlyph) {
    DeleteObject(m_ownGlyph);
    m_ownGlyph = nullptr;
  }
  switch (m_glyphKind) {
    case gkCustom: return;
    case gkDefault: {
      int count = 1;
      HBITMAP bmp = GetDefaultBitmap(count);
      m_button->SetGlyph(bmp);
      m_button->SetNumGlyphs(count);
      m_numGlyphs = count;
      BITMAP bm{};
      if (bmp && GetObjectA(bmp, sizeof bm, &bm)) {
        const int want = bm.bmWidth / std::max(1, count) + 6;
        if (m_buttonWidth < want) {
          m_buttonWidth = want;
          LayoutButton();
        }
      }
      return;
    }
    case gkDropDown:
      // The button keeps a copy: ours is freed at the next rebuild.
      m_ownGlyph = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32738));
      m_button->SetGlyph(m_ownGlyph);
      m_button->SetNumGlyphs(1);
      m_buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
      LayoutButton();
      return;
    case gkEllipsis: {
      // Three 2 x 2 dots centred in the picture, which is 6 pixels narrower
      // than the button.
      const int width = std::max(1, m_buttonWidth - 6);
      const int gap = std::clamp((width - 6) / 2, 1, 3);
      const int first = std::max(0, (width - 6 - 2 * gap) / 2);
      std::vector<uint8_t> bits(static_cast<size_t>(((width + 15) / 16) * 2 * 4), 0xFF);
      const int stride = ((width + 15) / 16) * 2;
      for (int dot = 0; dot < 3; ++dot) {
        const int x0 = first + dot * (2 + gap);
        for (int y = 1; y < 3; ++y)
          for (int x = x0; x < x0 + 2 && x < width; ++x)
            bits[static_cast<size_t>(y * stride + x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
      }
      m_ownGlyph = CreateBitmap(width, 4, 1, 1, bits.data());
      m_button->SetGlyph(m_ownGlyph);
      m_button->SetNumGlyphs(1);
      return;
    }
  }
}

bool TCustomComboEdit::IsClickKey(WORD key, TShiftState shift) const {
  if (m_clickKey == 0) return false;
  const WORD want = m_clickKey & 0x1FFF;
  return key == want && shift.Alt == ((m_clickKey & 0x8000) != 0) && shift.Ctrl == ((m_clickKey & 0x4000) != 0) &&
         shift.Shift == ((m_clickKey & 0x2000) != 0);
}

void TCustomComboEdit::ButtonPressed() {
  if (!m_comboReadOnly) ButtonAction();
}

void TCustomComboEdit::ButtonAction() {
  if (OnButtonClick) OnButtonClick(*this);
  if (!m_popup) return;
  if (m_popupVisible) HidePopup(true);
  else ShowPopup(true);
}

void TCustomComboEdit::SetPopup(TPopupWindow* popup) {
  m_popup = popup;
  if (m_popup) m_popup->OnCloseUp = [this](TComponent&, bool accept) { HidePopup(accept); };
}

void TCustomComboEdit::ShowPopup(bool disableEdit) {
  if (!m_popup || m_comboReadOnly || m_popupVisible) return;
  m_popup->HandleNeeded();
  RECT er;
  GetWindowRect(Handle(), &er);
  const int pw = m_popup->Width(), ph = m_popup->Height();
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  TPoint at{er.left, er.bottom};
  if (at.Y + ph > sh) at.Y = er.top - ph;
  if (m_popupAlign == epaRight) {
    at.X = er.right - pw;
    if (at.X < 0) at.X = er.left;
  } else if (at.X + pw > sw) {
    at.X = er.right - pw;
  }
  at.X = std::clamp(at.X, 0, std::max(0, sw - pw));
  LoadPopupValue(PopupStartValue());
  if (CanFocus() && !Focused()) SetFocus();
  OpenPopupAt(at);
  m_popupVisible = true;
  if (disableEdit) {
    m_disabledByPopup = true;
    ApplyReadOnly();
    HideCaret(HandleIfAllocated());
  }
}

void TCustomComboEdit::OpenPopupAt(TPoint p) { m_popup->ShowAtPoint(p); }

void TCustomComboEdit::ClosePopupWindow() { m_popup->HidePopupWindow(); }

TPopupValue TCustomComboEdit::ReadPopupValue() { return m_popup->ReadValue(); }

void TCustomComboEdit::LoadPopupValue(const TPopupValue& v) { m_popup->WriteValue(v); }

void TCustomComboEdit::TakePopupValue(const TPopupValue& v) {
  const std::string* text = std::get_if<std::string>(&v);
  if (!text || *text == Text()) return;
  SetText(*text);
  SetModified(true);
  RaiseChange();
}

void TCustomComboEdit::HidePopupElsewhere() {
  // The focus goes (or went) elsewhere: do not pull it back.
  const bool was = m_focusLeaving;
  m_focusLeaving = true;
  HidePopup(false);
  m_focusLeaving = was;
}

void TCustomComboEdit::ClosePopup(bool accept, bool refocus) {
  if (!m_popup || !m_popupVisible) return;
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  TPopupValue value = ReadPopupValue();
  ClosePopupWindow();
  m_popupVisible = false;
  if (refocus && CanFocus() && !Focused()) SetFocus();
  if (m_disabledByPopup) {
    m_disabledByPopup = false;
    ShowOwnCaret();
  }
  ApplyReadOnly();
  Invalidate();
  if (accept && ConfirmPopupValue(value) && !m_comboReadOnly) {
    TakePopupValue(value);
    if (Focused() && m_directInput) SelectAll();
  }
}

void TCustomComboEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomMaskEdit::KeyDown(key, shift);
  if (key == 0) return;
  if (shift.Ctrl && (key == VK_TAB || key == VK_RETURN)) {
    if (TForm* f = ParentForm(); f && f->OnKeyDown) f->OnKeyDown(*f, key, shift);
    key = 0;
    return;
  }
  if (m_buttonWidth > 0 && IsClickKey(key, shift)) {
    ButtonPressed();
    key = 0;
    return;
  }
  if (m_popupVisible && (key == VK_RETURN || key == VK_ESCAPE)) {
    HidePopup(key != VK_ESCAPE);
    key = 0;
  }
}

void TCustomComboEdit::KeyPress(char& key) {
  // Tab, Enter and line feed never reach the text; Tab and line feed are
  // the form's (its shortcuts may want them).
  if (key == '\t' || key == '\n') {
    if (key == '\n' && m_popupVisible) HidePopup(true);
    char formKey = key;
    if (TForm* f = ParentForm(); f && f->OnKeyPress) f->OnKeyPress(*f, formKey);
    key = 0;
    return;
  }
  if (key == '\r') {
    key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(key);
}

void TCustomComboEdit::DoExit() {
  HidePopupElsewhere();
  TCustomMaskEdit::DoExit();
}

LRESULT TCustomComboEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // An open popup takes Enter and Escape; otherwise the form does.
      LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      if (m_popupVisible) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (m_popupVisible) {
        if (!CanFocus()) return 0;
        if (!Focused()) SetFocus();
        HidePopup(false);
      }
      break;
    case WM_SETFOCUS: {
      const LRESULT r = TCustomMaskEdit::WndProc(msg, wp, lp);
      if (!m_disabledByPopup) ShowOwnCaret();
      if (!m_popupVisible && GetKeyState(VK_LBUTTON) >= 0 && m_directInput) SelectAll();
      return r;
    }
    default: break;
  }
  return TCustomMaskEdit::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
