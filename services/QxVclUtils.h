// Drawing, window and memory routines shared by the input controls:
// transparent (masked) bitmap drawing, the embossed look of a disabled
// glyph, painting what a parent shows behind a control, rectangle and
// message helpers. Bitmaps are plain GDI handles (any DDB or DIB section)
// that must not be selected into another device context while drawn.
// Colours are framework colours (system colours resolved at call time);
// clNone draws opaque, clDefault takes the bitmap's lower-left pixel.
// Example:  DrawTransparent(canvas, 4, 2, glyph, clDefault);
// Main thread only. Tested by tests/services/QxVclUtils_test.cpp.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Control.h"
#include "framework/Exception.h"
#include "framework/Graphics.h"
#include "framework/Types.h"

namespace qv::controls {

using qv::fw::TCanvas;
using qv::fw::TColor;
using qv::fw::TControl;
using qv::fw::TPoint;
using qv::fw::TRect;

// --- Transparent drawing
// Stretches the source part of the bitmap to the destination rectangle;
// pixels of the transparent colour keep the destination. A destination
// width or height below 1 takes the bitmap's; a source width or height
// below 1 takes the whole bitmap. A palette, when given, is realized for
// the copy.
void StretchTransparent(TCanvas& canvas, HBITMAP bitmap, TColor transparentColor, int dx, int dy, int dw, int dh,
                        int sx, int sy, int sw, int sh, HPALETTE palette = nullptr);
void StretchRectTransparent(TCanvas& canvas, int x, int y, int w, int h, const TRect& source, HBITMAP bitmap,
                            TColor transparentColor);
// Unstretched: the destination has the source rectangle's size.
void DrawRectTransparent(TCanvas& canvas, int x, int y, const TRect& source, HBITMAP bitmap, TColor transparentColor);
// The whole bitmap at (x, y), unstretched.
void DrawTransparent(TCanvas& canvas, int x, int y, HBITMAP bitmap, TColor transparentColor);
// The same for the framework's bitmaps (their own memory context is
// released first, so their handle can be selected).
void StretchTransparent(TCanvas& canvas, qv::fw::TBitmap& bitmap, TColor transparentColor, int dx, int dy, int dw,
                        int dh, int sx, int sy, int sw, int sh);
void DrawRectTransparent(TCanvas& canvas, int x, int y, const TRect& source, qv::fw::TBitmap& bitmap,
                         TColor transparentColor);
void DrawTransparent(TCanvas& canvas, int x, int y, qv::fw::TBitmap& bitmap, TColor transparentColor);

// --- Disabled glyphs
// A new bitmap of the source's size (the caller owns it: DeleteObject):
// filled with the back colour, the pixels of the outline colour drawn in
// the highlight colour one pixel down and right (when asked), then in the
// shadow colour in place. Null when the source is not a bitmap or GDI fails.
HBITMAP MakeDisabledBitmapEx(HBITMAP bitmap, TColor outlineColor, TColor backColor, TColor highlightColor,
                             TColor shadowColor, bool drawHighlight);
// Button face, button highlight and button shadow, highlight drawn.
HBITMAP MakeDisabledBitmap(HBITMAP bitmap, TColor outlineColor);
HBITMAP MakeDisabledBitmap(qv::fw::TBitmap& bitmap, TColor outlineColor);

// --- Backgrounds
// Paints into the control's canvas (its own coordinates) what its parent
// shows behind it: the parent as it draws itself (flagged as painting a
// copy), the parent's windowless controls beneath it (for a windowless
// control, those before it in the parent's list), and for a window the
// sibling windows beneath it. Nothing without a parent. Safe to call from
// a windowless control's own Paint.
void PaintParentBackground(TControl& control, TCanvas& canvas);
// A window that shows the sibling windows beneath it through its face (by
// PaintParentBackground) says so here, so that their changes reach it.
class TSeeThroughWindow {
public:
  virtual bool ShowsWindowsBeneath() const = 0;

protected:
  ~TSeeThroughWindow() = default;
};
// Invalidates the sibling windows above the control that show it through
// (and, through theirs, the ones above those). Windows only ever look
// downwards, so no change comes back.
void InvalidateSeeThroughAbove(qv::fw::TWinControl& control);

// --- Rectangles and colours
inline int RectWidthOf(const TRect& r) { return r.Right - r.Left; }
inline int RectHeightOf(const TRect& r) { return r.Bottom - r.Top; }
// Edges included: (Right, Bottom) is inside.
inline bool PointInsideRect(const TPoint& p, const TRect& r) {
  return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}
// The RGB value with the palette-relative flag (0x02000000).
COLORREF PaletteRelativeColor(TColor color);

// --- Messages and windows
// Removes one queued message of that number for the window (null: any
// window of the thread); a removed WM_QUIT is posted again.
void DiscardMessage(HWND window, UINT message);
// The text when it fits the width on the canvas, else its longest prefix
// followed by "..." that fits (as short as "..." alone).
std::string ShortenText(const std::string& text, TCanvas& canvas, int maxWidth);
// True when the active window belongs to the calling thread.
bool AppIsForeground();

// Thrown by ShowNotImplemented to leave the current operation; handlers
// that catch EAbort show nothing.
class EAbort : public qv::fw::EQvError {
public:
  EAbort() : EQvError("") {}
};
// Tells the user that the function is not available (string-table text
// 61257), then throws EAbort.
[[noreturn]] void ShowNotImplemented();

// --- Memory
// A zero-filled global memory block, locked; null for size <= 0.
void* AllocGlobalBlock(int size);
// Frees a block of AllocGlobalBlock and clears the pointer; null is ignored.
void FreeGlobalBlock(void*& block);
bool SameBytes(const void* p, const void* q, size_t n);
inline void* OffsetPointer(void* p, ptrdiff_t n) { return static_cast<char*>(p) + n; }
// Overlap-safe.
void CopyBytes(void* destination, const void* source, size_t n);

}  // namespace qv::controls
