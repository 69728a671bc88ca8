// Bevel, image, timer, progress bar.
#include "framework/ExtCtrls.h"

#include <commctrl.h>

#include "framework/Application.h"

namespace qv::fw {

// --- TBevel

void TBevel::Paint(TCanvas& c) {
  const TColor c1 = m_style == TBevelStyle::Lowered ? clBtnShadow : clBtnHighlight;
  const TColor c2 = m_style == TBevelStyle::Lowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  switch (m_shape) {
    case TBevelShape::Box:
      c.Line(0, h - 1, 0, 0, c1);
      c.Line(0, 0, w - 1, 0, c1);
      c.Line(w - 1, 0, w - 1, h - 1, c2);
      c.Line(w - 1, h - 1, 0, h - 1, c2);
      break;
    case TBevelShape::Frame:
      c.FrameRect(TRect{0, 0, w - 1, h - 1}, c1);
      c.FrameRect(TRect{1, 1, w, h}, c2);
      break;
    case TBevelShape::TopLine:
      c.Line(0, 0, w - 1, 0, c1);
      c.Line(0, 1, w - 1, 1, c2);
      break;
    case TBevelShape::BottomLine:
      c.Line(0, h - 2, w - 1, h - 2, c1);
      c.Line(0, h - 1, w - 1, h - 1, c2);
      break;
    case TBevelShape::LeftLine:
      c.Line(0, 0, 0, h - 1, c1);
      c.Line(1, 0, 1, h - 1, c2);
      break;
    case TBevelShape::RightLine:
      c.Line(w - 2, 0, w - 2, h - 1, c1);
      c.Line(w - 1, 0, w - 1, h - 1, c2);
      break;
    case TBevelShape::Spacer:
      break;
  }
}

// --- TImage

TImage::~TImage() {
  if (m_bitmap) DeleteObject(m_bitmap);
}

void TImage::SetBitmap(HBITMAP bmp) {
  if (m_bitmap && m_bitmap != bmp) DeleteObject(m_bitmap);
  m_bitmap = bmp;
  m_icon = nullptr;
  AdjustSize();
  Invalidate();
}

void TImage::SetIcon(HICON icon) {
  m_icon = icon;
  Invalidate();
}

void TImage::SetAutoSize(bool v) {
  m_autoSize = v;
  AdjustSize();
}

void TImage::AdjustSize() {
  if (!m_autoSize || !m_bitmap) return;
  BITMAP bm{};
  GetObject(m_bitmap, sizeof bm, &bm);
  SetBounds(Left(), Top(), bm.bmWidth, bm.bmHeight);
}

void TImage::Paint(TCanvas& c) {
  if (m_icon) {
    DrawIconEx(c.Handle(), 0, 0, m_icon, 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!m_bitmap) return;
  BITMAP bm{};
  GetObject(m_bitmap, sizeof bm, &bm);
  HDC mem = CreateCompatibleDC(c.Handle());
  HGDIOBJ old = SelectObject(mem, m_bitmap);
  int x = 0, y = 0, w = bm.bmWidth, h = bm.bmHeight;
  if (m_stretch) {
    w = Width();
    h = Height();
  } else if (m_center) {
    x = (Width() - w) / 2;
    y = (Height() - h) / 2;
  }
  if (m_transparent) {
    const COLORREF key = GetPixel(mem, 0, bm.bmHeight - 1);
    TransparentBlt(c.Handle(), x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, key);
  } else {
    SetStretchBltMode(c.Handle(), COLORONCOLOR);
    StretchBlt(c.Handle(), x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

// --- TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  m_hwnd = CreateMessageWindow("TQvTimerWindow", &TTimer::TimerWndProc);
  SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
  if (m_hwnd) {
    KillTimer(m_hwnd, 1);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
}

void TTimer::SetEnabled(bool v) {
  if (v == m_enabled) return;
  m_enabled = v;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == m_interval) return;
  m_interval = ms;
  Update();
}

void TTimer::Update() {
  if (!m_hwnd) return;
  KillTimer(m_hwnd, 1);
  if (m_enabled && m_interval > 0) SetTimer(m_hwnd, 1, m_interval, nullptr);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    auto* t = reinterpret_cast<TTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (t && t->m_enabled && t->OnTimer && !t->Destroying()) {
      try {
        t->OnTimer(*t);
      } catch (...) {
        if (Application()) Application()->HandleException(std::current_exception());
      }
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// --- TProgressBar

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = PROGRESS_CLASSA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  SendMessageA(HandleIfAllocated(), PBM_SETRANGE32, static_cast<WPARAM>(m_min), static_cast<LPARAM>(m_max));
  SendMessageA(HandleIfAllocated(), PBM_SETPOS, static_cast<WPARAM>(m_position), 0);
}

void TProgressBar::SetRange(int min, int max) {
  m_min = min;
  m_max = max > min ? max : min + 1;
  if (HandleAllocated()) CreateWnd();
}

void TProgressBar::SetPosition(int p) {
  if (p < m_min) p = m_min;
  if (p > m_max) p = m_max;
  m_position = p;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), PBM_SETPOS, static_cast<WPARAM>(p), 0);
}

}  // namespace qv::fw
