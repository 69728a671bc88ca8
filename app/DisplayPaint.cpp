// Drawing routines of the display controls.
#include "app/DisplayPaint.h"

#include <cmath>
#include <utility>

namespace qv::app {

namespace {

// A memory DC with one bitmap selected, both released at scope end.
class TMemoryDc {
public:
  TMemoryDc(HDC compatible, HBITMAP bmp) : m_dc(CreateCompatibleDC(compatible)) {
    if (m_dc && bmp) m_old = SelectObject(m_dc, bmp);
  }
  ~TMemoryDc() {
    if (!m_dc) return;
    if (m_old) SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
  }
  TMemoryDc(const TMemoryDc&) = delete;
  TMemoryDc& operator=(const TMemoryDc&) = delete;
  HDC Dc() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

private:
  HDC m_dc;
  HGDIOBJ m_old = nullptr;
};

class TGdiBitmap {
public:
  explicit TGdiBitmap(HBITMAP bmp) : m_bmp(bmp) {}
  ~TGdiBitmap() {
    if (m_bmp) DeleteObject(m_bmp);
  }
  TGdiBitmap(const TGdiBitmap&) = delete;
  TGdiBitmap& operator=(const TGdiBitmap&) = delete;
  HBITMAP Get() const { return m_bmp; }

private:
  HBITMAP m_bmp;
};

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF c) {
  if (right <= left || bottom <= top) return;
  RECT r{left, top, right, bottom};
  SetBkColor(dc, c);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

int GradientComponent(int l, int s, int i, int n) {
  // Round half to even, as the design's colour steps were computed.
  if (l >= s) return l - static_cast<int>(std::nearbyint(static_cast<double>(i) * (l - s) / n));
  return l + static_cast<int>(std::nearbyint(static_cast<double>(s - l) / n * i));
}

}  // namespace

// --- TOwnedBitmap

TOwnedBitmap::TOwnedBitmap(TOwnedBitmap&& o) noexcept
    : m_bmp(std::exchange(o.m_bmp, nullptr)),
      m_width(std::exchange(o.m_width, 0)),
      m_height(std::exchange(o.m_height, 0)),
      m_mono(std::exchange(o.m_mono, false)) {}

TOwnedBitmap& TOwnedBitmap::operator=(TOwnedBitmap&& o) noexcept {
  if (this != &o) {
    Clear();
    m_bmp = std::exchange(o.m_bmp, nullptr);
    m_width = std::exchange(o.m_width, 0);
    m_height = std::exchange(o.m_height, 0);
    m_mono = std::exchange(o.m_mono, false);
  }
  return *this;
}

void TOwnedBitmap::Clear() {
  if (m_bmp) DeleteObject(m_bmp);
  m_bmp = nullptr;
  m_width = m_height = 0;
  m_mono = false;
}

bool TOwnedBitmap::Assign(HBITMAP src) {
  const SIZE size = BitmapSize(src);
  if (!src || size.cx <= 0 || size.cy <= 0) {
    Clear();
    return true;
  }
  HBITMAP copy = static_cast<HBITMAP>(CopyImage(src, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!copy) {
    // Some sources refuse a DIB copy: fall back to a screen-compatible one.
    HDC screen = GetDC(nullptr);
    copy = CreateCompatibleBitmap(screen, size.cx, size.cy);
    if (copy) {
      TMemoryDc from(screen, src), to(screen, copy);
      if (!from || !to || !BitBlt(to.Dc(), 0, 0, size.cx, size.cy, from.Dc(), 0, 0, SRCCOPY)) {
        DeleteObject(copy);
        copy = nullptr;
      }
    }
    ReleaseDC(nullptr, screen);
  }
  if (!copy) return false;
  Clear();
  m_bmp = copy;
  m_width = size.cx;
  m_height = size.cy;
  m_mono = IsMonochrome(src);
  return true;
}

// --- Bitmap facts

SIZE BitmapSize(HBITMAP bmp) {
  BITMAP bm{};
  if (!bmp || !GetObjectA(bmp, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

bool IsMonochrome(HBITMAP bmp) {
  BITMAP bm{};
  if (!bmp || !GetObjectA(bmp, sizeof bm, &bm)) return false;
  return bm.bmBitsPixel == 1 && bm.bmPlanes == 1;
}

COLORREF BottomLeftPixel(HBITMAP bmp) {
  const SIZE size = BitmapSize(bmp);
  if (size.cy <= 0) return 0;
  TMemoryDc dc(nullptr, bmp);
  const COLORREF c = dc ? GetPixel(dc.Dc(), 0, size.cy - 1) : CLR_INVALID;
  return c == CLR_INVALID ? 0 : c;
}

// --- Gradient

COLORREF GradientLineColor(COLORREF light, COLORREF shadow, int i, int n) {
  if (n <= 0) return light;
  return RGB(GradientComponent(GetRValue(light), GetRValue(shadow), i, n),
             GradientComponent(GetGValue(light), GetGValue(shadow), i, n),
             GradientComponent(GetBValue(light), GetBValue(shadow), i, n));
}

void PaintGradient(HDC dc, int width, int height, COLORREF light, COLORREF shadow, bool vertical) {
  const int n = vertical ? height : width;
  // An empty button has no lines (and no step to divide by).
  if (width <= 0 || height <= 0) return;
  for (int i = 0; i <= n; ++i) {
    const COLORREF c = GradientLineColor(light, shadow, i, n);
    if (vertical) FillSolid(dc, 0, i, width, i + 1, c);
    else FillSolid(dc, i, 0, i + 1, height, c);
  }
}

// --- Frames

void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
  for (int k = 0; k < width && r.right - r.left > 0 && r.bottom - r.top > 0; ++k) {
    const int right = r.right - 1, bottom = r.bottom - 1;
    FillSolid(dc, r.left, r.top, right, r.top + 1, topLeft);       // top row
    FillSolid(dc, r.left, r.top, r.left + 1, bottom, topLeft);     // left column
    FillSolid(dc, right, r.top, right + 1, bottom + 1, bottomRight);  // right column
    FillSolid(dc, r.left, bottom, right + 1, bottom + 1, bottomRight);  // bottom row
    InflateRect(&r, -1, -1);
  }
}

void DrawBevelEdges(HDC dc, RECT r, bool sunken) {
  if (sunken) {
    DrawEdge(dc, &r, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
    InflateRect(&r, -1, -1);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP);
  } else {
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
    --r.right;
    --r.bottom;
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
    ++r.left;
    ++r.top;
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
  }
}

// --- See-through pictures

COLORREF ColorToPaletteRGB(fw::TColor c) { return fw::ColorToRGB(c) | 0x02000000; }

void MaskedStretchBlt(HDC target, const RECT& dst, HDC source, const RECT& src, COLORREF key) {
  const int sw = src.right - src.left, sh = src.bottom - src.top;
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  TGdiBitmap work(CreateCompatibleBitmap(target, sw, sh));
  TGdiBitmap mask(CreateBitmap(sw, sh, 1, 1, nullptr));
  TGdiBitmap inverse(CreateBitmap(sw, sh, 1, 1, nullptr));
  TGdiBitmap scratch(CreateCompatibleBitmap(target, dw, dh));
  if (!work.Get() || !mask.Get() || !inverse.Get() || !scratch.Get()) return;
  TMemoryDc workDc(target, work.Get()), maskDc(target, mask.Get()), inverseDc(target, inverse.Get()),
      scratchDc(target, scratch.Get());
  if (!workDc || !maskDc || !inverseDc || !scratchDc) return;

  BitBlt(workDc.Dc(), 0, 0, sw, sh, source, src.left, src.top, SRCCOPY);
  // Colour to monochrome: pixels of the background colour become 1.
  SetBkColor(workDc.Dc(), key);
  BitBlt(maskDc.Dc(), 0, 0, sw, sh, workDc.Dc(), 0, 0, SRCCOPY);
  BitBlt(inverseDc.Dc(), 0, 0, sw, sh, maskDc.Dc(), 0, 0, NOTSRCCOPY);
  BitBlt(scratchDc.Dc(), 0, 0, dw, dh, target, dst.left, dst.top, SRCCOPY);

  // Monochrome to colour: 1 becomes the background (white), 0 the text
  // colour (black), so AND keeps the target under see-through pixels only.
  for (HDC dc : {scratchDc.Dc(), workDc.Dc()}) {
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
  }
  SetStretchBltMode(scratchDc.Dc(), STRETCH_DELETESCANS);
  StretchBlt(scratchDc.Dc(), 0, 0, dw, dh, maskDc.Dc(), 0, 0, sw, sh, SRCAND);
  BitBlt(workDc.Dc(), 0, 0, sw, sh, inverseDc.Dc(), 0, 0, SRCAND);
  StretchBlt(scratchDc.Dc(), 0, 0, dw, dh, workDc.Dc(), 0, 0, sw, sh, SRCPAINT);
  BitBlt(target, dst.left, dst.top, dw, dh, scratchDc.Dc(), 0, 0, SRCCOPY);
}

void StretchBitmapTransparent(HDC target, HBITMAP bmp, fw::TColor transparent, RECT src, RECT dst) {
  const SIZE size = BitmapSize(bmp);
  if (size.cx <= 0 || size.cy <= 0) return;
  if (dst.right - dst.left < 1) dst.right = dst.left + size.cx;
  if (dst.bottom - dst.top < 1) dst.bottom = dst.top + size.cy;
  if (src.right - src.left < 1 || src.bottom - src.top < 1) src = RECT{0, 0, size.cx, size.cy};
  const bool mono = IsMonochrome(bmp);
  if (!mono) SetStretchBltMode(target, STRETCH_DELETESCANS);
  // Read before the bitmap is selected below: a bitmap lives in one DC only.
  COLORREF key = 0;
  if (mono) key = RGB(255, 255, 255);
  else if (transparent == fw::clDefault) key = BottomLeftPixel(bmp);
  else if (transparent != fw::clNone) key = fw::ColorToRGB(transparent);
  TMemoryDc source(target, bmp);
  if (!source) return;
  if (transparent == fw::clNone) {
    StretchBlt(target, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, source.Dc(), src.left,
               src.top, src.right - src.left, src.bottom - src.top, SRCCOPY);
    return;
  }
  MaskedStretchBlt(target, dst, source.Dc(), src, ColorToPaletteRGB(key));
}

void DrawGlyphTransparent(HDC target, int x, int y, fw::TColor transparent, HBITMAP bmp) {
  const SIZE size = BitmapSize(bmp);
  StretchBitmapTransparent(target, bmp, transparent, RECT{0, 0, size.cx, size.cy},
                           RECT{x, y, x + size.cx, y + size.cy});
}

}  // namespace qv::app
