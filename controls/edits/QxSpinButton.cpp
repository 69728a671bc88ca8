// The spin edit's step buttons.
#include "controls/edits/QxSpinButton.h"

#include <commctrl.h>

#include <cmath>

#include "services/QxVclUtils.h"

namespace qv::controls {

using qv::fw::TBitmap;
using qv::fw::TCanvas;
using qv::fw::TComponent;
using qv::fw::TMouseButton;
using qv::fw::TShiftState;

namespace {

constexpr unsigned kFirstRepeat = 400, kNextRepeat = 100;

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// A glyph for one drawing: the user's, or the built-in resource (released
// afterwards); grey and embossed when the button is disabled.
class TGlyphForDrawing {
public:
  TGlyphForDrawing(const TBitmap& user, const char* resource, bool enabled) {
    HBITMAP source = user.Handle();
    if (!source && resource) {
      m_loaded.LoadFromResource(GetModuleHandleA(nullptr), resource);
      source = m_loaded.Handle();
    }
    m_handle = source;
    if (source && !enabled) {
      m_disabled = MakeDisabledBitmap(source, qv::fw::clBlack);
      if (m_disabled) m_handle = m_disabled;
    }
  }
  ~TGlyphForDrawing() {
    if (m_disabled) DeleteObject(m_disabled);
  }
  TGlyphForDrawing(const TGlyphForDrawing&) = delete;
  TGlyphForDrawing& operator=(const TGlyphForDrawing&) = delete;
  HBITMAP Handle() const { return m_handle; }
  SIZE Size() const {
    BITMAP bm{};
    if (m_handle && GetObjectA(m_handle, sizeof bm, &bm)) return SIZE{bm.bmWidth, bm.bmHeight};
    return SIZE{0, 0};
  }

private:
  TBitmap m_loaded;
  HBITMAP m_disabled = nullptr;
  HBITMAP m_handle = nullptr;
};

void DrawGlyph(HDC dc, HBITMAP glyph, int x, int y) {
  if (!glyph) return;
  TCanvas canvas(dc);
  DrawTransparent(canvas, x, y, glyph, qv::fw::clDefault);
}

void LineColor(HDC dc, int x1, int y1, int x2, int y2, int sysColor) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(sysColor));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

int SpinButtonWidth() {
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  return w < 15 ? w : 15;
}

// --- TQxSpinButton

TQxSpinButton::TQxSpinButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 20, 20); }

TQxSpinButton::~TQxSpinButton() = default;

void TQxSpinButton::SetButtonStyle(TrSpinButtonStyle s) {
  if (s == m_buttonStyle) return;
  m_buttonStyle = s;
  m_imagesStale = true;
  Invalidate();
}

void TQxSpinButton::SetUpGlyph(HBITMAP bitmap) {
  if (bitmap) m_upGlyph.CopyFrom(bitmap);
  else m_upGlyph.Clear();
  m_imagesStale = true;
  Invalidate();
}

void TQxSpinButton::SetDownGlyph(HBITMAP bitmap) {
  if (bitmap) m_downGlyph.CopyFrom(bitmap);
  else m_downGlyph.Clear();
  m_imagesStale = true;
  Invalidate();
}

void TQxSpinButton::EnabledChanged() {
  m_imagesStale = true;
  Invalidate();
}

TSpinPart TQxSpinButton::PartAt(int x, int y) const {
  const int w = Width() > 0 ? Width() : 1, h = Height();
  if (m_buttonStyle == sbsClassic) return y > h / 2 ? spBottom : spTop;
  // Below the diagonal from the lower-left to the upper-right corner.
  return y > h - (static_cast<double>(h) / w) * x ? spBottom : spTop;
}

bool TQxSpinButton::HoldsCapture() const {
  const auto* p = Parent();
  return p && p->HandleAllocated() && GetCapture() == p->HandleIfAllocated();
}

void TQxSpinButton::SetPressedPart(TSpinPart p) {
  if (p == m_pressedPart) return;
  m_pressedPart = p;
  Invalidate();
}

void TQxSpinButton::RunClick(TSpinPart part) {
  if (part == spTop && OnTopClick) OnTopClick(*this);
  else if (part == spBottom && OnBottomClick) OnBottomClick(*this);
}

void TQxSpinButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (b == TMouseButton::Left && Enabled()) {
    if (auto* fc = FocusControl(); fc && fc->TabStop() && fc->CanFocus() && !fc->Focused()) fc->SetFocus();
    if (m_pressedPart == spNone) {
      m_pressedPart = PartAt(x, y);
      RunClick(m_pressedPart);
      // A click that opened a window took the mouse away: the press is over.
      if (!HoldsCapture()) m_pressedPart = spNone;
    }
    m_pressStartPart = m_pressedPart;
    Invalidate();
    if (m_pressedPart != spNone) {
      if (!m_repeatTimer) {
        m_repeatTimer = &Make<qv::fw::TTimer>("");
        m_repeatTimer->SetEnabled(false);
        m_repeatTimer->OnTimer = [this](TComponent&) { TimerTick(); };
      }
      m_repeatTimer->SetInterval(kFirstRepeat);
      m_repeatTimer->SetEnabled(true);
      m_pressing = true;
    }
  }
  TGraphicControl::MouseDown(b, s, x, y);
}

void TQxSpinButton::TimerTick() {
  m_repeatTimer->SetInterval(kNextRepeat);
  if (m_pressedPart == spNone || !HoldsCapture()) return;
  try {
    RunClick(m_pressedPart);
  } catch (...) {
    m_repeatTimer->SetEnabled(false);
    throw;
  }
}

void TQxSpinButton::MouseMove(TShiftState s, int x, int y) {
  if (m_pressing) {
    if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) {
      const TSpinPart part = PartAt(x, y);
      SetPressedPart(part == m_pressStartPart ? part : spNone);
    } else {
      SetPressedPart(spNone);
    }
  }
  TGraphicControl::MouseMove(s, x, y);
}

void TQxSpinButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (b == TMouseButton::Left) {
    m_pressing = false;
    if (m_repeatTimer) m_repeatTimer->SetEnabled(false);
    m_pressStartPart = spNone;
    SetPressedPart(spNone);
  }
  TGraphicControl::MouseUp(b, s, x, y);
}

void TQxSpinButton::Paint(TCanvas& canvas) {
  if (!Enabled() && (m_pressing || m_pressedPart != spNone)) {
    m_pressing = false;
    m_pressedPart = m_pressStartPart = spNone;
    if (m_repeatTimer) m_repeatTimer->SetEnabled(false);
  }
  if (Width() <= 0 || Height() <= 0) return;
  if (m_imagesStale || m_normal.Width() != Width() || m_normal.Height() != Height()) BuildImages();
  TBitmap& image = m_pressedPart == spTop ? m_topPressed : m_pressedPart == spBottom ? m_bottomPressed : m_normal;
  if (image.Empty()) return;
  BitBlt(canvas.Handle(), 0, 0, Width(), Height(), image.Dc(), 0, 0, SRCCOPY);
}

void TQxSpinButton::BuildImages() {
  DrawImage(m_topPressed, spTop);
  DrawImage(m_bottomPressed, spBottom);
  DrawImage(m_normal, spNone);
  m_imagesStale = false;
}

void TQxSpinButton::DrawImage(TBitmap& target, TSpinPart pressed) {
  if (!target.Create(Width(), Height(), 24)) return;
  HDC dc = target.Dc();
  RECT all{0, 0, Width(), Height()};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const bool diagonal = m_buttonStyle == sbsDefault;
  // Without a glyph of the user's, the stacked look has no built-in arrows.
  TGlyphForDrawing up(m_upGlyph, diagonal ? "QXSPINUP" : "RSPINUP", Enabled());
  TGlyphForDrawing down(m_downGlyph, diagonal ? "QXSPINDOWN" : "RSPINDOWN", Enabled());
  if (diagonal) DrawDiagonal(dc, pressed, up.Handle(), down.Handle());
  else DrawClassic(dc, pressed, up.Handle(), down.Handle());
  target.Dormant();
}

void TQxSpinButton::DrawDiagonal(HDC dc, TSpinPart pressed, HBITMAP up, HBITMAP down) {
  const int w = Width(), h = Height();
  RECT r{0, 0, w, h};
  DrawEdge(dc, &r, pressed == spTop ? EDGE_SUNKEN : EDGE_RAISED, BF_TOPLEFT | BF_SOFT);
  DrawEdge(dc, &r, pressed == spBottom ? EDGE_SUNKEN : EDGE_RAISED, BF_BOTTOMRIGHT | BF_SOFT);
  InflateRect(&r, -1, -1);
  int a = COLOR_BTNSHADOW, bColor = COLOR_BTNHIGHLIGHT, c = COLOR_WINDOWFRAME;
  if (pressed == spTop) {
    a = COLOR_BTNFACE;
    c = COLOR_BTNHIGHLIGHT;
  } else if (pressed == spBottom) {
    bColor = COLOR_WINDOWFRAME;
    c = COLOR_BTNSHADOW;
  }
  LineColor(dc, r.left, r.bottom - 2, r.right - 1, r.top - 1, a);
  LineColor(dc, r.right - 1, r.top, r.left, r.bottom - 1, c);
  LineColor(dc, r.left + 1, r.bottom - 1, r.right, r.top, bColor);

  auto size = [](HBITMAP bmp) {
    BITMAP bm{};
    if (bmp && GetObjectA(bmp, sizeof bm, &bm)) return SIZE{bm.bmWidth, bm.bmHeight};
    return SIZE{0, 0};
  };
  const int offset = pressed == spTop ? 2 : 1;
  const SIZE us = size(up), ds = size(down);
  const int ux = RoundHalfEven(w / 4.0) + offset, uy = RoundHalfEven(h / 4.0) + offset;
  const int dx = RoundHalfEven(3.0 * w / 4.0) - 1, dy = RoundHalfEven(3.0 * h / 4.0) - 1;
  DrawGlyph(dc, up, ux - us.cx / 2, uy - us.cy / 2);
  DrawGlyph(dc, down, dx - ds.cx / 2, dy - ds.cy / 2);
}

void TQxSpinButton::DrawClassic(HDC dc, TSpinPart pressed, HBITMAP up, HBITMAP down) {
  const int w = Width(), h = Height(), half = h / 2;
  auto half_ = [&](RECT r, bool isPressed, HBITMAP glyph, bool upper) {
    DrawEdge(dc, &r, isPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
    BITMAP bm{};
    if (!glyph || !GetObjectA(glyph, sizeof bm, &bm)) return;
    int x = r.left + (r.right - r.left - bm.bmWidth) / 2;
    int y = r.top + (r.bottom - r.top - bm.bmHeight) / 2;
    if (bm.bmHeight > r.bottom - r.top) y = upper ? r.top : r.bottom - bm.bmHeight;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    DrawGlyph(dc, glyph, x, y);
    RestoreDC(dc, saved);
  };
  half_(RECT{0, 0, w, half + (pressed == spTop ? 0 : 1)}, pressed == spTop, up, true);
  half_(RECT{0, half, w, h}, pressed == spBottom, down, false);
}

// --- TQxUpDown

TQxUpDown::TQxUpDown(TComponent* owner) : TUpDown(owner) {
  SetRange(-1, 1);
  SetPosition(0);
}

bool TQxUpDown::CNScroll(UINT msg, WPARAM wp) {
  if (msg != WM_VSCROLL) return TUpDown::CNScroll(msg, wp);
  if (LOWORD(wp) == SB_THUMBPOSITION && !m_inScroll) {
    m_inScroll = true;
    try {
      const int pos = static_cast<short>(HIWORD(wp));
      if (pos > 0 && OnTopClick) OnTopClick(*this);
      else if (pos < 0 && OnBottomClick) OnBottomClick(*this);
    } catch (...) {
      m_inScroll = false;
      SetPosition(0);
      throw;
    }
    SetPosition(0);
    m_inScroll = false;
  }
  return true;
}

void TQxUpDown::Resized() {
  if (m_fixedWidth > 0 && Width() != m_fixedWidth) SetWidth(m_fixedWidth);
  TUpDown::Resized();
}

}  // namespace qv::controls
