// Small value types and colour constants shared by the framework.
// Colours: 0x00BBGGRR for RGB, 0xFF000000 + index for a system colour,
// clNone = 0x1FFFFFFF, clDefault = 0x20000000.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace qv::fw {

using TColor = uint32_t;

constexpr TColor SystemColor(int index) { return 0xFF000000u | static_cast<TColor>(index); }
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clNavy = 0x800000,
                 clBlue = 0xFF0000, clMaroon = 0x000080, clGray = 0x808080, clSilver = 0xC0C0C0;
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), clWindow = SystemColor(COLOR_WINDOW),
                 clWindowText = SystemColor(COLOR_WINDOWTEXT), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT), clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clGrayText = SystemColor(COLOR_GRAYTEXT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value of a colour (system colours resolved now).
inline COLORREF ColorToRGB(TColor c) {
  if (c & 0xFF000000u) return ::GetSysColor(static_cast<int>(c & 0xFF));
  return static_cast<COLORREF>(c);
}

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  RECT ToRECT() const { return RECT{Left, Top, Right, Bottom}; }
  static TRect From(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }
  static TRect Bounds(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }
};

struct TPoint {
  int X = 0, Y = 0;
};

enum class TMouseButton { Left, Right, Middle };

// Modifier keys held during a key or mouse event.
struct TShiftState {
  bool Shift = false, Ctrl = false, Alt = false, Left = false, Right = false, Middle = false;
  static TShiftState Current();
};

class TObject;

}  // namespace qv::fw
