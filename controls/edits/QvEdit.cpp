// The edit base of the validating edit.
#include "controls/edits/QvEdit.h"

#include <algorithm>

#include "controls/edits/QvFixedEditPopUp.h"
#include "controls/edits/QvToolEdit.h"
#include "framework/Application.h"

namespace qv::controls {

using qv::fw::TColor;

namespace {
UINT FocusBackMessage() {
  static const UINT msg = RegisterWindowMessageA("QvEditFocusBack");
  return msg;
}
}  // namespace

TQvCustomEdit::TQvCustomEdit(qv::fw::TComponent* owner)
    : TQvExCustomEdit(owner), m_caret(this), m_maxPixel(*this) {
  // Made outside a layout, the edit is loaded from the start.
  m_loaded = !Loading();
  m_dataConnector = CreateDataConnector();
  m_caret.OnChanged = [this] {
    m_caret.DestroyCaret();
    m_caret.CreateCaret();
  };
  m_maxPixel.OnChanged = [this] { ApplyMaxPixel(); };
}

TQvCustomEdit::~TQvCustomEdit() {
  // The window outlives the members below (the framework destroys it last):
  // from here on its messages take the system's default path only.
  MarkDestroying();
  if (m_themedFont) DeleteObject(m_themedFont);
}

std::unique_ptr<TQvFieldDataConnector> TQvCustomEdit::CreateDataConnector() {
  return std::make_unique<TQvCustomEditDataConnector>(*this);
}

// --- Text

std::string TQvCustomEdit::RawText() const {
  TLift lift(*this);
  HWND h = HandleIfAllocated();
  return h ? qv::fw::WindowText(h) : m_caption;
}

void TQvCustomEdit::SetRawText(const std::string& s) {
  m_caption = s;
  if (HWND h = HandleIfAllocated()) {
    if (RawText() != s) {
      ++m_settingText;
      SetWindowTextA(h, s.c_str());
      --m_settingText;
    }
  }
}

std::string TQvCustomEdit::Caption() const {
  std::string s = RawText();
  // The shown flag decides: a typed text equal to the placeholder is a value.
  if (PlaceholderActive() && m_emptyValueShown && s == m_emptyValue) return std::string();
  return s;
}

void TQvCustomEdit::SetCaption(const std::string& s) {
  if (PlaceholderActive()) {
    if (s.empty() && !Focused()) {
      SetFontColor(m_emptyFontColor);
      m_emptyValueShown = true;
      SetRawText(m_emptyValue);
      return;
    }
    if (m_emptyValueShown) {
      m_emptyValueShown = false;
      SetFontColor(m_savedFontColor);
    }
  }
  SetRawText(s);
}

void TQvCustomEdit::HideEmptyValue() {
  if (!PlaceholderActive() || !m_emptyValueShown || RawText() != m_emptyValue) return;
  // The placeholder is no value: it goes without the Text rules.
  SetRawText(std::string());
  m_emptyValueShown = false;
  SetFontColor(m_savedFontColor);
}

void TQvCustomEdit::ShowEmptyValue() {
  if (!PlaceholderActive() || !Caption().empty()) return;
  SetRawText(m_emptyValue);
  m_emptyValueShown = true;
  m_savedFontColor = m_fontColor;
  SetFontColor(m_emptyFontColor);
}

void TQvCustomEdit::SetEmptyValue(const std::string& v) {
  if (v == m_emptyValue) return;
  if (m_emptyValueShown) HideEmptyValue();
  m_emptyValue = v;
  if (HandleAllocated() && !Focused()) ShowEmptyValue();
}

void TQvCustomEdit::SetEmptyFontColor(TColor c) {
  m_emptyFontColor = c;
  if (m_emptyValueShown) SetFontColor(c);
}

TColor TQvCustomEdit::FontColor() const { return m_fontColor == qv::fw::clDefault ? EffectiveFont().Color() : m_fontColor; }

void TQvCustomEdit::SetFontColor(TColor c) {
  if (c == m_fontColor) return;
  m_fontColor = c;
  Invalidate();
}

HBRUSH TQvCustomEdit::CNCtlColor(UINT msg, HDC dc) {
  HBRUSH b = TQvExCustomEdit::CNCtlColor(msg, dc);
  if (Enabled() && m_fontColor != qv::fw::clDefault) SetTextColor(dc, qv::fw::ColorToRGB(m_fontColor));
  return b;
}

// --- Appearance

void TQvCustomEdit::SetAlignment(qv::fw::TAlignment a) {
  if (a == m_alignment) return;
  TQvExCustomEdit::SetAlignment(a);
  RecreateWnd();
}

void TQvCustomEdit::SetDisabledColor(TColor c) {
  if (c == m_disabledColor) return;
  m_disabledColor = c;
  if (!Enabled()) Invalidate();
}

void TQvCustomEdit::SetDisabledTextColor(TColor c) {
  if (c == m_disabledTextColor) return;
  m_disabledTextColor = c;
  if (!Enabled()) Invalidate();
}

void TQvCustomEdit::SetFlat(bool v) {
  m_parentFlat = false;
  if (v == m_flat) return;
  m_flat = v;
  RecreateWnd();
}

void TQvCustomEdit::SetParentFlat(bool v) {
  if (v == m_parentFlat) return;
  m_parentFlat = v;
  RecreateWnd();
}

void TQvCustomEdit::SetThemedPassword(bool v) {
  if (v == m_themedPassword) return;
  m_themedPassword = v;
  RecreateWnd();
}

void TQvCustomEdit::RecreateWnd() {
  if (!HandleAllocated() || Loading()) return;
  const bool focused = Focused();
  m_caption = RawText();
  DestroyHandle();
  HandleNeeded();
  if (focused) SetFocus();
}

void TQvCustomEdit::CreateParams(qv::fw::TCreateParams& p) {
  TQvExCustomEdit::CreateParams(p);
  if (m_themedPassword) p.Style |= ES_PASSWORD;
  if (EffectiveFlat()) {
    p.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    p.Style |= WS_BORDER;
  }
}

void TQvCustomEdit::CreateWnd() {
  TQvExCustomEdit::CreateWnd();
  if (m_passwordChar) {
    TLift lift(*this);
    SendMessageA(HandleIfAllocated(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(m_passwordChar), 0);
  }
  if (Focused()) HideEmptyValue();
  else ShowEmptyValue();
}

void TQvCustomEdit::DestroyWnd() {
  TLift lift(*this);
  m_caption = RawText();
  if (HWND h = HandleIfAllocated()) m_passwordChar = static_cast<char>(SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0));
  if (m_caret.Created()) m_caret.DestroyCaret();
  TQvExCustomEdit::DestroyWnd();
}

// --- Password

char TQvCustomEdit::PasswordChar() const {
  if (HWND h = HandleIfAllocated()) return static_cast<char>(SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0));
  return m_passwordChar;
}

void TQvCustomEdit::SetPasswordChar(char c) {
  if (HandleAllocated()) m_passwordChar = PasswordChar();
  if (c == m_passwordChar) return;
  m_passwordChar = c;
  if (HWND h = HandleIfAllocated()) {
    TLift lift(*this);
    SendMessageA(h, EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
    Invalidate();
  }
}

HFONT TQvCustomEdit::ThemedFont() {
  LOGFONTA gui{}, own{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  GetObjectA(EffectiveFont().Handle(), sizeof own, &own);
  gui.lfHeight = own.lfHeight;
  if (m_themedFont) DeleteObject(m_themedFont);
  m_themedFont = CreateFontIndirectA(&gui);
  return m_themedFont;
}

// --- Behaviour

void TQvCustomEdit::SetClipboardCommands(TQvClipboardCommands commands) {
  if (commands == ClipboardCommands()) return;
  TQvExCustomEdit::SetClipboardCommands(commands);
  SetReadOnly(commands == 0 || commands == caCopy);
}

void TQvCustomEdit::UpdateGroup() {
  if (m_groupIndex == -1 || !Owner()) return;
  for (qv::fw::TComponent* c : std::vector<qv::fw::TComponent*>(Owner()->Components())) {
    auto* other = dynamic_cast<TQvCustomEdit*>(c);
    if (other && other != this && other->m_groupIndex == m_groupIndex) other->SetCaption(std::string());
  }
}

bool TQvCustomEdit::AutoHintShow(std::string& text, qv::fw::TPoint& screenPos) {
  if (!m_autoHint || !HandleAllocated()) return false;
  const std::string s = Caption();
  int width = 0;
  if (HDC dc = GetDC(HandleIfAllocated())) {
    {
      qv::fw::TCanvas canvas(dc);
      canvas.SetFont(EffectiveFont());
      width = canvas.TextExtent(s).cx;
    }
    ReleaseDC(HandleIfAllocated(), dc);
  }
  if (width < ClientRect().Width() || PasswordChar() != 0) return false;
  text = s;
  screenPos = ClientToScreen(qv::fw::TPoint{-2, Height() - 2});
  return true;
}

bool TQvCustomEdit::HandleHintShow(THintInfo& info) {
  const bool allowed = TQvExCustomEdit::HandleHintShow(info);
  std::string text;
  qv::fw::TPoint at{};
  if (!AutoHintShow(text, at)) return allowed;
  info.HintStr = text;
  info.HintPos = at;
  return true;
}

void TQvCustomEdit::SetSelStart(int v) {
  if (Loading()) {
    m_streamedSelStart = v;
    return;
  }
  SetSelection(v, 0);
}

void TQvCustomEdit::SetSelLength(int v) {
  if (Loading()) {
    m_streamedSelLength = v;
    return;
  }
  SetSelection(SelStart(), v);
}

void TQvCustomEdit::Loaded() {
  TQvExCustomEdit::Loaded();
  m_loaded = true;
  m_savedFontColor = m_fontColor;
  if (m_streamedSelStart || m_streamedSelLength) SetSelection(m_streamedSelStart, m_streamedSelLength);
  m_dataConnector->Reload();
}

// --- Steps

bool TQvCustomEdit::CNCommand(WORD code, LRESULT& result) {
  if (code != EN_CHANGE) return TQvExCustomEdit::CNCommand(code, result);
  m_caption = RawText();
  Change();
  result = 0;
  return true;
}

void TQvCustomEdit::ApplyMaxPixel() {
  if (!HandleAllocated() || m_maxPixel.Length() == 0 || m_cutting) return;
  std::string text = Caption();
  const int selStart = SelStart();
  if (!m_maxPixel.Test(text)) return;
  m_cutting = true;
  try {
    SetCaption(text);
  } catch (...) {
    m_cutting = false;
    throw;
  }
  m_cutting = false;
  SetSelection(std::min(selStart, static_cast<int>(text.size())), 0);
}

void TQvCustomEdit::Change() {
  // Only the user's own edits clear the group: moving the caret does not,
  // nor does a text set by the program (the other edits' clearing included).
  if (m_settingText == 0 && Focused()) UpdateGroup();
  TQvExCustomEdit::Change();
  if (Parent()) ApplyMaxPixel();
  if (!Loading()) m_dataConnector->Modify();
}

void TQvCustomEdit::KeyPress(char& key) {
  TQvExCustomEdit::KeyPress(key);
  if (key == 27 && m_dataConnector->Active() && m_dataConnector->CanModify()) {
    m_dataConnector->Reload();
    SelectAll();
    key = 0;
  }
}

void TQvCustomEdit::DoEnter() {
  TQvExCustomEdit::DoEnter();
  HideEmptyValue();
}

void TQvCustomEdit::DoExit() {
  try {
    m_dataConnector->UpdateRecord();
  } catch (...) {
    // The user reads why first; the edit takes the focus back once the
    // focus change under way has ended (taken back inside it, the focus
    // bounces between two windows).
    if (qv::fw::Application()) qv::fw::Application()->HandleException(std::current_exception());
    if (HWND h = HandleIfAllocated()) PostMessageA(h, FocusBackMessage(), 0, 0);
    return;
  }
  TQvExCustomEdit::DoExit();
  ShowEmptyValue();
}

void TQvCustomEdit::FocusSet(HWND previous) {
  TQvExCustomEdit::FocusSet(previous);
  m_caret.CreateCaret();
}

void TQvCustomEdit::FocusKilled(HWND next) {
  m_caret.DestroyCaret();
  TQvExCustomEdit::FocusKilled(next);
}

void TQvCustomEdit::HandleEnabledChanged() {
  TQvExCustomEdit::HandleEnabledChanged();
  Invalidate();
}

void TQvCustomEdit::HandleMouseEnter(qv::fw::TControl* control) {
  if (MouseOver()) return;
  if (m_hotTrack) SetSelection(SelStart(), SelLength());
  TQvExCustomEdit::HandleMouseEnter(control);
}

void TQvCustomEdit::HandleMouseLeave(qv::fw::TControl* control) {
  if (!MouseOver()) return;
  if (m_hotTrack) SetSelection(SelStart(), SelLength());
  TQvExCustomEdit::HandleMouseLeave(control);
}

// --- Painting

bool TQvCustomEdit::DefaultDisabledColors() const {
  return qv::fw::ColorToRGB(m_disabledTextColor) == qv::fw::ColorToRGB(qv::fw::clGrayText) &&
         qv::fw::ColorToRGB(m_disabledColor) == qv::fw::ColorToRGB(qv::fw::clWindow);
}

bool TQvCustomEdit::PaintDisabled(WPARAM wp) {
  std::string text = Caption();
  if (const char pc = PasswordChar()) text.assign(text.size(), pc);
  return PaintEdit(*this, text, m_alignment, wp, Focused(), m_disabledTextColor);
}

bool TQvCustomEdit::EraseBackground(qv::fw::TCanvas& canvas, LPARAM param) {
  if (Enabled()) return TQvExCustomEdit::EraseBackground(canvas, param);
  canvas.FillRect(ClientRect(), m_disabledColor);
  return true;
}

// --- Messages

LRESULT TQvCustomEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = HandleIfAllocated();
  if (msg == FocusBackMessage()) {
    if (CanFocus()) SetFocus();
    return 0;
  }
  switch (msg) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_SETPASSWORDCHAR:
      if (Protected()) return 0;
      break;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      if (ClipboardRefused(msg)) return 1;
      if (msg == WM_COPY || msg == WM_CUT) {
        if (Protected()) return 0;
        if (msg == WM_COPY) break;
      }
      if (ReadOnly()) return 0;
      if (msg == WM_PASTE) {
        const LRESULT r = TQvExCustomEdit::WndProc(msg, wp, lp);
        UpdateGroup();
        return r;
      }
      break;
    case WM_PAINT:
      if (!Destroying() && !Enabled() && !DefaultDisabledColors() && PaintDisabled(wp)) return 0;
      break;
    case WM_SETFONT:
      if (m_themedPassword) wp = reinterpret_cast<WPARAM>(ThemedFont());
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == h && !PopupMenu() && m_useFixedPopup) {
        int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        if (x == -1 && y == -1) {
          RECT r{};
          GetWindowRect(h, &r);
          x = r.left + 4;
          y = r.top + 4;
        }
        if (!Focused()) SetFocus();
        FixedEditPopUp(*this).Popup(x, y, this);
        return 0;
      }
      break;
    case WM_DESTROY: {
      // The window's own teardown reads its text: no protection then.
      TLift lift(*this);
      return TQvExCustomEdit::WndProc(msg, wp, lp);
    }
    default:
      break;
  }
  return TQvExCustomEdit::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
