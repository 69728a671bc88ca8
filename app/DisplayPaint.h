// Drawing routines of the display controls (wallpaper, gradient button):
// owned picture copies, two-colour gradients, 3-D frames and bevel edges,
// and pictures drawn with one colour see-through. Plain GDI on any DC.
// Tested by tests/app/display/DisplayPaint_test.cpp.
#pragma once

#include <windows.h>

#include "framework/Types.h"

namespace qv::app {

// A picture this control owns: a copy of what it was given (move-only).
class TOwnedBitmap {
public:
  TOwnedBitmap() = default;
  ~TOwnedBitmap() { Clear(); }
  TOwnedBitmap(const TOwnedBitmap&) = delete;
  TOwnedBitmap& operator=(const TOwnedBitmap&) = delete;
  TOwnedBitmap(TOwnedBitmap&& o) noexcept;
  TOwnedBitmap& operator=(TOwnedBitmap&& o) noexcept;

  // Copies src (null, or a bitmap without pixels, empties); false when the
  // copy failed (the old picture is then kept).
  bool Assign(HBITMAP src);
  void Clear();
  HBITMAP Handle() const { return m_bmp; }
  bool Empty() const { return m_bmp == nullptr; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Monochrome() const { return m_mono; }

private:
  HBITMAP m_bmp = nullptr;
  int m_width = 0, m_height = 0;
  bool m_mono = false;
};

// Size and bit depth of any bitmap; zero size for null.
SIZE BitmapSize(HBITMAP bmp);
bool IsMonochrome(HBITMAP bmp);
// The RGB value of the lower-left pixel (the usual see-through colour).
COLORREF BottomLeftPixel(HBITMAP bmp);

// Line i (0..n) of a gradient from light to shadow, each of red, green and
// blue rounded half to even; light itself when n is not positive.
COLORREF GradientLineColor(COLORREF light, COLORREF shadow, int i, int n);
// Fills 0,0..width,height with lines of that gradient: rows when vertical,
// columns otherwise.
void PaintGradient(HDC dc, int width, int height, COLORREF light, COLORREF shadow, bool vertical);

// `width` nested rings inside r: top and left in topLeft, bottom and right
// in bottomRight; r shrinks by width on every side.
void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width);
// Two-pixel system edges, pressed (sunken) or not.
void DrawBevelEdges(HDC dc, RECT r, bool sunken);

// The palette-relative form of a colour (RGB | 0x02000000).
COLORREF ColorToPaletteRGB(fw::TColor c);
// Stretches src of source onto dst of target; source pixels of colour key
// leave the target as it was.
void MaskedStretchBlt(HDC target, const RECT& dst, HDC source, const RECT& src, COLORREF key);
// Draws (part of) a bitmap with one colour see-through: fw::clNone draws it
// opaque, fw::clDefault takes the lower-left pixel, monochrome bitmaps treat
// white as see-through. Empty rectangles mean the whole bitmap, at its size.
void StretchBitmapTransparent(HDC target, HBITMAP bmp, fw::TColor transparent, RECT src, RECT dst);
// The whole bitmap at its own size at x, y.
void DrawGlyphTransparent(HDC target, int x, int y, fw::TColor transparent, HBITMAP bmp);

}  // namespace qv::app
