// Gradient push button: painting, mouse, groups, menu and accelerator.
#include "app/OndrelGradientButton.h"

#include <algorithm>

#include "framework/Application.h"

namespace qv::app {

namespace {

struct TCaptionGlyphPlace {
  int textX, textY, glyphX, glyphY;
  // Where the caption's rectangle starts (left of textX for a glyph right).
  int rectX;
};

// Where caption and glyph go, by layout (integer halves truncate). With
// the layout glyph left the glyph ends Spacing before the caption instead
// of starting there, which would cover the caption; below a caption taller
// than the glyph, a glyph starts under the caption for the same reason.
TCaptionGlyphPlace PlaceCaptionAndGlyph(TButtonLayout layout, int w, int h, int tw, int th, int gw, int gh, int s,
                                        int m) {
  const int t = gh + th + s + 2;
  const bool glyph = gh > 0;
  TCaptionGlyphPlace p{};
  switch (layout) {
    case TButtonLayout::GlyphLeft:
      p.textX = glyph ? w / 2 + s - tw / 2 : w - tw - s;
      p.textY = h / 2 - th / 2;
      p.glyphX = p.textX - s - gw;
      p.glyphY = h / 2 - gh / 2;
      break;
    case TButtonLayout::GlyphRight:
      p.textX = glyph ? w / 2 - tw / 2 - s : s;
      p.textY = h / 2 - th / 2;
      p.glyphX = tw / 2 + w / 2 + s;
      p.glyphY = h / 2 - gh / 2;
      break;
    case TButtonLayout::GlyphTop:
      p.textX = w / 2 - tw / 2 - m;
      p.textY = gh + h / 2 + s - t / 2;
      p.glyphX = w / 2;
      p.glyphY = p.textY - gh - s;
      break;
    case TButtonLayout::GlyphBottom:
      p.textX = w / 2 - tw / 2 - m;
      p.textY = h / 2 - t / 2;
      p.glyphX = w / 2;
      p.glyphY = p.textY + std::max(gh, th) + s;
      break;
  }
  p.rectX = (glyph && layout == TButtonLayout::GlyphRight) ? p.textX - 10 : p.textX;
  return p;
}

}  // namespace

TOndrelGradientButton::TOndrelGradientButton(fw::TComponent* owner) : fw::TButtonControl(owner) {
  SetBounds(0, 0, 25, 25);
  SetDoubleBuffered(true);
  fw::EnableDialogChars();
}

TOndrelGradientButton::~TOndrelGradientButton() { m_alive.reset(); }

void TOndrelGradientButton::CreateParams(fw::TCreateParams& p) {
  fw::TButtonControl::CreateParams(p);
  p.ClassName = "TOndrelGradientButton";
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
}

// --- Properties

void TOndrelGradientButton::SetLightColor(fw::TColor c) {
  if (c == m_lightColor) return;
  m_lightColor = c;
  Invalidate();
}

void TOndrelGradientButton::SetShadowColor(fw::TColor c) {
  if (c == m_shadowColor) return;
  m_shadowColor = c;
  Invalidate();
}

void TOndrelGradientButton::SetVertical(bool v) {
  if (v == m_vertical) return;
  m_vertical = v;
  Invalidate();
}

void TOndrelGradientButton::SetBevelWidth(int w) {
  if (w < 0) w = 0;
  if (w == m_bevelWidth) return;
  m_bevelWidth = w;
  Invalidate();
}

void TOndrelGradientButton::SetSpacing(int s) {
  if (s == m_spacing) return;
  m_spacing = s;
  Invalidate();
}

void TOndrelGradientButton::SetLayout(TButtonLayout l) {
  if (l == m_layout) return;
  m_layout = l;
  Invalidate();
}

void TOndrelGradientButton::SetGlyph(HBITMAP bmp) {
  if (bmp && BitmapSize(bmp).cy <= 0) return;  // nothing to copy
  if (!m_glyph.Assign(bmp)) return;
  m_glyphTransparent = m_glyph.Empty() ? 0 : BottomLeftPixel(m_glyph.Handle());
  Invalidate();
}

void TOndrelGradientButton::SetFlat(bool v) {
  if (v == m_flat) return;
  m_flat = v;
  // A flat button shows its hover frame only while the mouse is over it.
  m_hot = !m_flat || m_mouse.Inside();
  Invalidate();
}

void TOndrelGradientButton::SetGrayedInactive(bool v) {
  if (v == m_grayedInactive) return;
  m_grayedInactive = v;
  Invalidate();
}

void TOndrelGradientButton::SetMarkDropDown(bool v) {
  if (v == m_markDropDown) return;
  m_markDropDown = v;
  Invalidate();
}

void TOndrelGradientButton::SetWindowCaption(bool v) {
  if (v == m_windowCaption) return;
  m_windowCaption = v;
  Invalidate();
}

void TOndrelGradientButton::SetDropDownMenu(fw::TPopupMenu* menu) {
  if (menu == m_dropDownMenu.Get()) return;
  m_dropDownMenu.Set(menu);
  if (m_markDropDown) Invalidate();
}

void TOndrelGradientButton::SetDown(bool v) {
  if (v == m_down || m_groupIndex == 0) return;
  m_down = v;
  Invalidate();
  if (!v || !Parent()) return;
  for (fw::TControl* c : Parent()->Controls()) {
    auto* mate = dynamic_cast<TOndrelGradientButton*>(c);
    if (mate && mate != this && mate->m_groupIndex == m_groupIndex && mate->m_down) {
      mate->m_down = false;
      mate->Invalidate();
    }
  }
}

void TOndrelGradientButton::SetGroupIndex(int g) {
  if (g == m_groupIndex) return;
  m_groupIndex = g;
  if (g == 0 && m_down) {
    m_down = false;
    Invalidate();
  }
}

void TOndrelGradientButton::EnabledChanged() {
  fw::TButtonControl::EnabledChanged();
  if (!Enabled()) {
    m_clickArmed = false;
    m_pressed = false;
  }
}

// --- Painting

void TOndrelGradientButton::Paint(fw::TCanvas& canvas) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  HDC dc = canvas.Handle();
  PaintGradient(dc, w, h, fw::ColorToRGB(m_lightColor), fw::ColorToRGB(m_shadowColor), m_vertical);
  DrawCaptionAndGlyph(dc, w, h);
}

void TOndrelGradientButton::DrawCaptionAndGlyph(HDC dc, int w, int h) {
  const std::string caption = Caption();
  int tw = 0, th = 0;
  if (caption.empty()) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    th = tm.tmHeight;
  } else {
    RECT calc{0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &calc, DT_CALCRECT);
    tw = calc.right - calc.left;
    th = calc.bottom - calc.top;
  }
  const int gw = m_glyph.Width(), gh = m_glyph.Height();
  const int mark = (m_markDropDown && DropDownMenu()) ? 4 : 0;
  const TCaptionGlyphPlace at = PlaceCaptionAndGlyph(m_layout, w, h, tw, th, gw, gh, m_spacing, mark);

  if (!caption.empty()) {
    const bool grey = !Enabled() && m_grayedInactive;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fw::ColorToRGB(grey ? fw::clGrayText : EffectiveFont().Color()));
    RECT r{at.rectX, at.textY, w - m_bevelWidth - mark - 1, h};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_NOCLIP);
  }
  if (gh > 0) DrawGlyphTransparent(dc, at.glyphX, at.glyphY, m_glyphTransparent, m_glyph.Handle());

  const COLORREF light = fw::ColorToRGB(m_lightColor), shadow = fw::ColorToRGB(m_shadowColor);
  RECT r{0, 0, w, h};
  if (!m_flat || !m_hot) Frame3D(dc, r, light, shadow, m_bevelWidth);
  else if (!m_pressed && !m_down) Frame3D(dc, r, shadow, light, m_bevelWidth);
  if (!m_flat && m_bevelWidth > 0) DrawBevelEdges(dc, r, m_down || m_pressed);
}

void TOndrelGradientButton::SetPressed(bool v) {
  if (v == m_pressed) return;
  m_pressed = v;
  Repaint();
}

// --- Mouse

void TOndrelGradientButton::MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) {
  fw::TButtonControl::MouseDown(b, s, x, y);
  if (b != fw::TMouseButton::Left || Destroying()) return;
  if (Reacts() && DropDownMenu()) {
    // The menu takes this press: no capture, and its release never clicks.
    SetPressed(true);
    const std::weak_ptr<bool> alive = m_alive;
    if (fw::Application()) fw::Application()->ProcessMessages();
    if (alive.expired()) return;
    m_hot = !m_flat;
    m_pressed = false;
    Repaint();
    if (fw::TPopupMenu* menu = DropDownMenu()) {
      const fw::TPoint at = ClientToScreen(fw::TPoint{0, Height()});
      menu->Popup(at.X, at.Y, this);
    }
    return;
  }
  if (!m_inAccelerator) {
    SetCapture(Handle());
    m_clickArmed = true;
  }
  if (Reacts()) SetPressed(true);
}

void TOndrelGradientButton::MouseUp(fw::TMouseButton b, fw::TShiftState s, int x, int y) {
  if (b == fw::TMouseButton::Left && !Destroying()) {
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    const bool click = m_clickArmed && inside && !m_inAccelerator;
    m_clickArmed = false;
    if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
    if (Reacts()) SetPressed(false);
    if (click) {
      const std::weak_ptr<bool> alive = m_alive;
      Click();
      if (alive.expired()) return;
    }
  }
  fw::TButtonControl::MouseUp(b, s, x, y);
}

void TOndrelGradientButton::MouseEnter() {
  m_hot = true;
  if (m_flat && Enabled()) Invalidate();
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TOndrelGradientButton::MouseLeave() {
  m_hot = !m_flat;
  if (m_flat && Enabled()) Invalidate();
  if (OnMouseLeave) OnMouseLeave(*this);
}

// --- Keyboard

bool TOndrelGradientButton::DialogChar(char key) {
  if (!Enabled() || !Showing() || !fw::IsAccel(key, Caption())) return false;
  if (m_inAccelerator) return true;  // a repeat while the first still runs
  const std::weak_ptr<bool> alive = m_alive;
  auto gone = [&] { return alive.expired(); };
  m_inAccelerator = true;
  POINT pt{};
  GetCursorPos(&pt);
  ::ScreenToClient(Handle(), &pt);
  fw::TShiftState s;
  s.Left = true;
  // The press and release are shown (and reported to mouse handlers) where
  // the cursor is, but only the click below counts: a release over the
  // button must not click a second time.
  MouseDown(fw::TMouseButton::Left, s, pt.x, pt.y);
  if (gone()) return true;
  if (fw::Application()) fw::Application()->ProcessMessages();
  if (gone()) return true;
  MouseUp(fw::TMouseButton::Left, fw::TShiftState{}, pt.x, pt.y);
  if (gone()) return true;
  if (fw::Application()) fw::Application()->ProcessMessages();
  if (gone()) return true;
  m_inAccelerator = false;
  Click();
  return true;
}

LRESULT TOndrelGradientButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case BM_CLICK:
      if (Enabled()) Click();
      return 0;
    case BM_GETCHECK:
      // A latched button reads as checked, as a push-like check box would
      // to accessibility tools.
      return Down() ? BST_CHECKED : BST_UNCHECKED;
    case WM_LBUTTONDBLCLK: {
      // A double click is a press like any other unless someone listens
      // for double clicks: then its release does not click again.
      const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
      fw::TShiftState s = fw::TShiftState::Current();
      s.Left = true;
      MouseDown(fw::TMouseButton::Left, s, x, y);
      if (OnDblClick && !Destroying()) {
        m_clickArmed = false;
        OnDblClick(*this);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_mouse.Enter(HandleIfAllocated())) MouseEnter();
      break;
    case WM_MOUSELEAVE:
      if (m_mouse.Leave()) MouseLeave();
      break;
    case WM_CAPTURECHANGED:
      // Lost to a dialog or menu mid-press: no click, no stuck look.
      if (reinterpret_cast<HWND>(lp) != HandleIfAllocated() && !m_inAccelerator) {
        m_clickArmed = false;
        SetPressed(false);
      }
      break;
    default:
      break;
  }
  return fw::TButtonControl::WndProc(msg, wp, lp);
}

}  // namespace qv::app
