// Shadowed labels: text drawing, auto-size, focus frame, accelerator, hover.
#include "controls/buttons/QxLabel.h"

#include "services/QxVclUtils.h"

namespace qv::controls {

using qv::fw::ColorToRGB;
using qv::fw::TCanvas;
using qv::fw::TColor;
using qv::fw::TComponent;
using qv::fw::TMouseButton;
using qv::fw::TShiftState;

namespace {

// Every system this runs on has 3-D controls.
constexpr bool NewStyleControls() { return true; }

UINT AlignmentFlag(qv::fw::TAlignment a) {
  switch (a) {
    case qv::fw::TAlignment::RightJustify: return DT_RIGHT;
    case qv::fw::TAlignment::Center: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

int PaintShadowedText(HDC dc, const std::string& text, TShadowPosition pos, TColor shadowColor, int size, UINT flags,
                      RECT& rect) {
  const int n = static_cast<int>(text.size());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF textColor = GetTextColor(dc);
  RECT shadow = rect;
  const int dx = pos == spLeftTop || pos == spLeftBottom ? -size : size;
  const int dy = pos == spLeftTop || pos == spRightTop ? -size : size;
  OffsetRect(&shadow, dx, dy);
  SetTextColor(dc, ColorToRGB(shadowColor));
  DrawTextA(dc, text.c_str(), n, &shadow, flags);
  SetTextColor(dc, textColor);
  const int height = DrawTextA(dc, text.c_str(), n, &rect, flags);
  SetBkMode(dc, oldMode);
  UnionRect(&rect, &rect, &shadow);
  return height > 0 ? height + size : height;
}

TQxCustomLabel::TQxCustomLabel(TComponent* owner) : qv::fw::TCustomControl(owner) {
  SetBounds(Left(), Top(), 65, 17);
  qv::fw::EnableDialogChars();
  m_actionLink.OnCaption = [this](const std::string& v) { SetCaption(v); };
  m_actionLink.OnEnabled = [this](bool v) { SetEnabled(v); };
  m_actionLink.OnHint = [this](const std::string& v) { SetHint(v); };
  m_actionLink.OnVisible = [this](bool v) { SetVisible(v); };
}

void TQxCustomLabel::Click() {
  // Decided first: OnClick may free the label.
  const bool byAction = !OnClick && Action();
  qv::fw::TCustomControl::Click();
  if (byAction) m_actionLink.Execute();
}

TQxCustomLabel::~TQxCustomLabel() { m_alive.reset(); }

void TQxCustomLabel::CreateWnd() {
  qv::fw::TCustomControl::CreateWnd();
  // Painted labels lie under the windowed controls of their parent.
  SetWindowPos(HandleIfAllocated(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- Properties

void TQxCustomLabel::SetFocusControl(qv::fw::TWinControl* c) {
  if (c == m_focusControl.Get()) return;
  m_focusControl.Set(c);
  if (!m_focusHook) {
    m_focusHook = &Make<TQxWindowHook>("");
    m_focusHook->AfterMessage = [this](TComponent&, TMessage& m, bool&) {
      if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) FocusMoved();
    };
  }
  m_focusHook->SetWinControl(c);
  m_hasFocus = c && c->HandleAllocated() && GetFocus() == c->HandleIfAllocated();
  if (m_showFocus) Invalidate();
}

void TQxCustomLabel::FocusMoved() {
  qv::fw::TWinControl* c = m_focusControl.Get();
  const bool now = c && c->HandleAllocated() && GetFocus() == c->HandleIfAllocated();
  if (now == m_hasFocus) return;
  m_hasFocus = now;
  if (m_showFocus) Invalidate();
}

void TQxCustomLabel::SetAlignment(qv::fw::TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Invalidate();
}

void TQxCustomLabel::SetAutoSize(bool v) {
  if (v == m_autoSize) return;
  m_autoSize = v;
  FitToText();
}

void TQxCustomLabel::SetLayout(TTextLayout l) {
  if (l == m_layout) return;
  m_layout = l;
  Invalidate();
}

void TQxCustomLabel::SetShadowColor(TColor c) {
  if (c == m_shadowColor) return;
  m_shadowColor = c;
  Invalidate();
}

void TQxCustomLabel::SetShadowSize(BYTE s) {
  if (s == m_shadowSize) return;
  m_shadowSize = s;
  FitToText();
  Invalidate();
}

void TQxCustomLabel::SetShadowPos(TShadowPosition p) {
  if (p == m_shadowPos) return;
  m_shadowPos = p;
  Invalidate();
}

void TQxCustomLabel::SetWordWrap(bool v) {
  if (v == m_wordWrap) return;
  m_wordWrap = v;
  FitToText();
  Invalidate();
}

void TQxCustomLabel::SetShowAccelChar(bool v) {
  if (v == m_showAccelChar) return;
  m_showAccelChar = v;
  Invalidate();
}

void TQxCustomLabel::SetShowFocus(bool v) {
  if (v == m_showFocus) return;
  m_showFocus = v;
  Invalidate();
}

void TQxCustomLabel::SetTransparent(bool v) {
  if (v == Transparent()) return;
  SetParentBackground(v);
  Invalidate();
}

void TQxCustomLabel::Invalidate() {
  qv::fw::TCustomControl::Invalidate();
  InvalidateSeeThroughAbove(*this);
}

TColor TQxCustomLabel::GetLabelColor() const { return EffectiveFont().Color(); }

std::string TQxCustomLabel::DisplayText() const { return Caption(); }

void TQxCustomLabel::CaptionChanged() {
  qv::fw::TCustomControl::CaptionChanged();
  FitToText();
  Invalidate();
}

void TQxCustomLabel::BiDiModeChanged() {
  qv::fw::TCustomControl::BiDiModeChanged();
  Invalidate();
}

void TQxCustomLabel::FontChanged() {
  qv::fw::TCustomControl::FontChanged();
  FitToText();
  Invalidate();
}

// --- Drawing

int TQxCustomLabel::RenderCaption(HDC dc, RECT& rect, UINT flags) {
  std::string text = DisplayText();
  // A measured empty text (or a lone accelerator mark) still takes a line.
  if ((flags & DT_CALCRECT) && (text.empty() || (m_showAccelChar && text == "&"))) text += " ";
  if (!m_showAccelChar) flags |= DT_NOPREFIX;
  flags = DrawTextBiDiModeFlags(flags);
  TColor shadowColor = m_shadowColor;
  int size = m_shadowSize;
  TShadowPosition pos = m_shadowPos;
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(GetLabelColor()));
  if (!Enabled()) {
    SetTextColor(dc, ColorToRGB(qv::fw::clGrayText));
    shadowColor = qv::fw::clBtnHighlight;
    // Disabled text is always embossed, as the system draws it.
    if (size == 0 && NewStyleControls()) {
      size = 1;
      pos = spRightBottom;
    }
  }
  const int h = PaintShadowedText(dc, text, pos, shadowColor, size, flags, rect);
  SetTextColor(dc, oldColor);
  return h;
}

void TQxCustomLabel::FitToText() {
  if (!m_autoSize || Loading()) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, EffectiveFont().Handle());
  RECT r{0, 0, Width() - 2, 0};
  RenderCaption(dc, r, (m_wordWrap ? DT_WORDBREAK : 0) | DT_EXPANDTABS | DT_CALCRECT);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  // The shadow may reach left of or above the text: the size counts it.
  const int w = (r.right - r.left) + 2, h = r.bottom - r.top;
  int left = Left();
  // A label shown right-aligned keeps its right edge; a centred one keeps
  // its left edge either way.
  if (qv::fw::BiDiAlignment(*this, m_alignment) == qv::fw::TAlignment::RightJustify) left = Left() + Width() - w;
  SetBounds(left, Top(), w, h);
}

void TQxCustomLabel::Paint(TCanvas& canvas) {
  if (!Enabled()) m_leftPressed = false;
  HDC dc = canvas.Handle();
  const qv::fw::TRect client = ClientRect();
  RECT r{client.Left + 1, client.Top, client.Right - 1, client.Bottom};
  const UINT flags = DT_EXPANDTABS | AlignmentFlag(m_alignment) | (m_wordWrap ? DT_WORDBREAK : 0);
  if (m_layout != tlTop) {
    RECT measured = r;
    RenderCaption(dc, measured, flags | DT_CALCRECT);
    const int room = Height() - measured.bottom;
    OffsetRect(&r, 0, m_layout == tlCenter ? room / 2 : room);
  }
  RenderCaption(dc, r, flags);
  if (m_showFocus && m_hasFocus) {
    RECT f{r.left - 1, r.top, r.right + 1, r.bottom};
    SetTextColor(dc, ColorToRGB(qv::fw::clWindowText));
    SetBkColor(dc, ColorToRGB(EffectiveColor()));
    DrawFocusRect(dc, &f);
  }
}

// --- Keyboard and mouse

bool TQxCustomLabel::DialogChar(char key) {
  qv::fw::TWinControl* c = m_focusControl.Get();
  if (!c || !Enabled() || !m_showAccelChar || !Showing() || !qv::fw::IsAccel(key, Caption())) return false;
  if (!c->CanFocus()) return false;
  c->SetFocus();
  return true;
}

void TQxCustomLabel::SetHovered(bool v) {
  if (v == m_hovered) return;
  m_hovered = v;
  if (v) {
    if (OnMouseEnter) OnMouseEnter(*this);
  } else if (OnMouseLeave) {
    OnMouseLeave(*this);
  }
}

void TQxCustomLabel::RefreshHover() {
  bool now = false;
  if (Enabled() && HandleAllocated() && AppIsForeground()) {
    POINT pt{};
    GetCursorPos(&pt);
    now = WindowFromPoint(pt) == HandleIfAllocated();
  }
  SetHovered(now);
}

void TQxCustomLabel::EnabledChanged() {
  qv::fw::TCustomControl::EnabledChanged();
  RefreshHover();
  Invalidate();
}

void TQxCustomLabel::VisibleChanged() {
  qv::fw::TCustomControl::VisibleChanged();
  if (Visible()) RefreshHover();
  InvalidateSeeThroughAbove(*this);  // shown or gone, it changes what they show
}

void TQxCustomLabel::BoundsChanged() {
  // The place it leaves and the place it takes both change what they show.
  InvalidateSeeThroughAbove(*this);
  qv::fw::TCustomControl::BoundsChanged();
  InvalidateSeeThroughAbove(*this);
}

void TQxCustomLabel::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (b == TMouseButton::Left && Enabled()) {
    m_leftPressed = true;
    // The release must come back here to be told inside from outside.
    SetCapture(Handle());
  }
  const std::weak_ptr<bool> alive = m_alive;
  qv::fw::TCustomControl::MouseDown(b, s, x, y);
  if (alive.expired() || Destroying()) return;
  if (b == TMouseButton::Right) RefreshHover();
}

void TQxCustomLabel::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  const bool wasPressed = m_leftPressed && b == TMouseButton::Left;
  if (b == TMouseButton::Left) {
    m_leftPressed = false;
    if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
  }
  const std::weak_ptr<bool> alive = m_alive;
  qv::fw::TCustomControl::MouseUp(b, s, x, y);
  if (alive.expired() || Destroying()) return;
  const qv::fw::TRect c = ClientRect();
  if (wasPressed && x >= 0 && y >= 0 && x < c.Width() && y < c.Height()) {
    Click();
    if (alive.expired() || Destroying()) return;
  }
  RefreshHover();
}

LRESULT TQxCustomLabel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!m_trackingLeave) m_trackingLeave = qv::fw::TrackMouseLeave(HandleIfAllocated());
      if (!m_hovered && Enabled() && AppIsForeground()) SetHovered(true);
      break;
    case WM_MOUSELEAVE:
      m_trackingLeave = false;
      if (!m_leftPressed) SetHovered(false);
      break;
    default:
      break;
  }
  return qv::fw::TCustomControl::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
