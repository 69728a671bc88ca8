// Drawing, window and memory routines of the input controls.
#include "services/QxVclUtils.h"

#include <cstring>
#include <vector>

#include "framework/Application.h"
#include "framework/Format.h"
#include "framework/WinControl.h"

namespace qv::controls {

using qv::fw::clDefault;
using qv::fw::clNone;
using qv::fw::ColorToRGB;
using qv::fw::TWinControl;

namespace {

// A memory device context with one bitmap selected; both restored/freed.
class TMemoryDc {
public:
  TMemoryDc(HDC compatible, HBITMAP bitmap, bool ownsBitmap)
      : m_dc(CreateCompatibleDC(compatible)), m_bitmap(bitmap), m_owns(ownsBitmap) {
    if (m_dc && m_bitmap) m_old = SelectObject(m_dc, m_bitmap);
  }
  ~TMemoryDc() {
    if (m_dc) {
      if (m_old) SelectObject(m_dc, m_old);
      DeleteDC(m_dc);
    }
    if (m_owns && m_bitmap) DeleteObject(m_bitmap);
  }
  TMemoryDc(const TMemoryDc&) = delete;
  TMemoryDc& operator=(const TMemoryDc&) = delete;
  // False when the context or the selection failed (a bitmap selected
  // elsewhere cannot be selected here).
  bool Ok() const { return m_dc && m_bitmap && m_old && m_old != HGDI_ERROR; }
  HDC Dc() const { return m_dc; }
  HBITMAP Release() {
    if (m_dc && m_old) SelectObject(m_dc, m_old);
    m_old = nullptr;
    m_owns = false;
    return m_bitmap;
  }

private:
  HDC m_dc;
  HBITMAP m_bitmap;
  bool m_owns;
  HGDIOBJ m_old = nullptr;
};

// Selects and realizes a palette as a background palette for a scope.
class TPaletteScope {
public:
  TPaletteScope(HDC dc, HPALETTE palette) : m_dc(dc) {
    if (palette) {
      m_old = SelectPalette(dc, palette, TRUE);
      RealizePalette(dc);
    }
  }
  ~TPaletteScope() {
    if (m_old) SelectPalette(m_dc, m_old, TRUE);
  }
  TPaletteScope(const TPaletteScope&) = delete;
  TPaletteScope& operator=(const TPaletteScope&) = delete;

private:
  HDC m_dc;
  HPALETTE m_old = nullptr;
};

// The four-context masked blit: pixels of `transparent` in the source keep
// the destination, the others are copied (stretched).
void MaskedStretchBlt(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
                      COLORREF transparent, HPALETTE palette) {
  TMemoryDc mask(dst, CreateBitmap(sw, sh, 1, 1, nullptr), true);
  TMemoryDc inverse(dst, CreateBitmap(sw, sh, 1, 1, nullptr), true);
  TMemoryDc composite(dst, CreateCompatibleBitmap(dst, dw, dh), true);
  TMemoryDc copy(dst, CreateCompatibleBitmap(dst, sw, sh), true);
  if (!mask.Ok() || !inverse.Ok() || !composite.Ok() || !copy.Ok()) return;

  TPaletteScope p1(dst, palette), p2(copy.Dc(), palette), p3(mask.Dc(), palette), p4(composite.Dc(), palette);
  const int mapMode = GetMapMode(dst);
  const int oldSrcMap = SetMapMode(src, mapMode);
  SetMapMode(copy.Dc(), mapMode);
  SetStretchBltMode(composite.Dc(), GetStretchBltMode(dst));

  BitBlt(copy.Dc(), 0, 0, sw, sh, src, sx, sy, SRCCOPY);
  // Colour to monochrome: the background colour becomes white, all else black.
  const COLORREF oldBack = SetBkColor(copy.Dc(), PaletteRelativeColor(transparent));
  BitBlt(mask.Dc(), 0, 0, sw, sh, copy.Dc(), 0, 0, SRCCOPY);
  SetBkColor(copy.Dc(), oldBack);
  BitBlt(inverse.Dc(), 0, 0, sw, sh, mask.Dc(), 0, 0, NOTSRCCOPY);

  BitBlt(composite.Dc(), 0, 0, dw, dh, dst, dx, dy, SRCCOPY);
  StretchBlt(composite.Dc(), 0, 0, dw, dh, mask.Dc(), 0, 0, sw, sh, SRCAND);
  BitBlt(copy.Dc(), 0, 0, sw, sh, inverse.Dc(), 0, 0, SRCAND);
  StretchBlt(composite.Dc(), 0, 0, dw, dh, copy.Dc(), 0, 0, sw, sh, SRCPAINT);
  BitBlt(dst, dx, dy, dw, dh, composite.Dc(), 0, 0, SRCCOPY);
  SetMapMode(src, oldSrcMap);
}

bool IsMonochrome(const BITMAP& bm) { return bm.bmBitsPixel == 1 && bm.bmPlanes == 1; }

}  // namespace

void StretchTransparent(TCanvas& canvas, HBITMAP bitmap, TColor transparentColor, int dx, int dy, int dw, int dh,
                        int sx, int sy, int sw, int sh, HPALETTE palette) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  if (dw < 1) dw = bm.bmWidth;
  if (dh < 1) dh = bm.bmHeight;
  if (sw < 1 || sh < 1) {
    sx = sy = 0;
    sw = bm.bmWidth;
    sh = bm.bmHeight;
  }
  HDC dst = canvas.Handle();
  const bool mono = IsMonochrome(bm);
  const int oldMode = mono ? 0 : SetStretchBltMode(dst, STRETCH_DELETESCANS);
  {
    TMemoryDc src(dst, bitmap, false);
    if (src.Ok()) {
      if (transparentColor == clNone) {
        StretchBlt(dst, dx, dy, dw, dh, src.Dc(), sx, sy, sw, sh, SRCCOPY);
      } else {
        COLORREF key;
        if (mono) key = RGB(255, 255, 255);
        else if (transparentColor == clDefault) key = GetPixel(src.Dc(), 0, bm.bmHeight - 1);
        else key = ColorToRGB(transparentColor);
        MaskedStretchBlt(dst, dx, dy, dw, dh, src.Dc(), sx, sy, sw, sh, key, palette);
      }
    }
  }
  if (oldMode) SetStretchBltMode(dst, oldMode);
}

void StretchRectTransparent(TCanvas& canvas, int x, int y, int w, int h, const TRect& source, HBITMAP bitmap,
                            TColor transparentColor) {
  StretchTransparent(canvas, bitmap, transparentColor, x, y, w, h, source.Left, source.Top, RectWidthOf(source),
                     RectHeightOf(source));
}

void DrawRectTransparent(TCanvas& canvas, int x, int y, const TRect& source, HBITMAP bitmap,
                         TColor transparentColor) {
  StretchRectTransparent(canvas, x, y, RectWidthOf(source), RectHeightOf(source), source, bitmap, transparentColor);
}

void DrawTransparent(TCanvas& canvas, int x, int y, HBITMAP bitmap, TColor transparentColor) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
  DrawRectTransparent(canvas, x, y, TRect{0, 0, bm.bmWidth, bm.bmHeight}, bitmap, transparentColor);
}

void StretchTransparent(TCanvas& canvas, qv::fw::TBitmap& bitmap, TColor transparentColor, int dx, int dy, int dw,
                        int dh, int sx, int sy, int sw, int sh) {
  bitmap.Dormant();
  StretchTransparent(canvas, bitmap.Handle(), transparentColor, dx, dy, dw, dh, sx, sy, sw, sh);
}

void DrawRectTransparent(TCanvas& canvas, int x, int y, const TRect& source, qv::fw::TBitmap& bitmap,
                         TColor transparentColor) {
  bitmap.Dormant();
  DrawRectTransparent(canvas, x, y, source, bitmap.Handle(), transparentColor);
}

void DrawTransparent(TCanvas& canvas, int x, int y, qv::fw::TBitmap& bitmap, TColor transparentColor) {
  bitmap.Dormant();
  DrawTransparent(canvas, x, y, bitmap.Handle(), transparentColor);
}

HBITMAP MakeDisabledBitmapEx(HBITMAP bitmap, TColor outlineColor, TColor backColor, TColor highlightColor,
                             TColor shadowColor, bool drawHighlight) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  const int w = bm.bmWidth, h = bm.bmHeight;
  HDC screen = GetDC(nullptr);
  HBITMAP out = nullptr;
  {
    TMemoryDc src(screen, bitmap, false);
    // A colour copy first, so a monochrome source is compared by colour too.
    TMemoryDc colour(screen, CreateCompatibleBitmap(screen, w, h), true);
    TMemoryDc mask(screen, CreateBitmap(w, h, 1, 1, nullptr), true);
    TMemoryDc result(screen, CreateCompatibleBitmap(screen, w, h), true);
    if (src.Ok() && colour.Ok() && mask.Ok() && result.Ok()) {
      SetTextColor(colour.Dc(), RGB(0, 0, 0));
      SetBkColor(colour.Dc(), RGB(255, 255, 255));
      BitBlt(colour.Dc(), 0, 0, w, h, src.Dc(), 0, 0, SRCCOPY);
      // The outline colour's pixels become the set (white) bits of the mask.
      SetBkColor(colour.Dc(), ColorToRGB(outlineColor));
      BitBlt(mask.Dc(), 0, 0, w, h, colour.Dc(), 0, 0, SRCCOPY);

      RECT all{0, 0, w, h};
      HBRUSH back = CreateSolidBrush(ColorToRGB(backColor));
      FillRect(result.Dc(), &all, back);
      DeleteObject(back);
      SetTextColor(result.Dc(), RGB(0, 0, 0));
      SetBkColor(result.Dc(), RGB(255, 255, 255));
      // 0xE20746: the brush where the mask bit is set, the result elsewhere.
      auto stamp = [&](int at, TColor c) {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(c));
        HGDIOBJ old = SelectObject(result.Dc(), brush);
        BitBlt(result.Dc(), at, at, w, h, mask.Dc(), 0, 0, 0x00E20746);
        SelectObject(result.Dc(), old);
        DeleteObject(brush);
      };
      if (drawHighlight) stamp(1, highlightColor);
      stamp(0, shadowColor);
      GdiFlush();
      out = result.Release();
    }
  }
  ReleaseDC(nullptr, screen);
  return out;
}

HBITMAP MakeDisabledBitmap(HBITMAP bitmap, TColor outlineColor) {
  return MakeDisabledBitmapEx(bitmap, outlineColor, qv::fw::clBtnFace, qv::fw::clBtnHighlight, qv::fw::clBtnShadow,
                              true);
}

HBITMAP MakeDisabledBitmap(qv::fw::TBitmap& bitmap, TColor outlineColor) {
  bitmap.Dormant();
  return MakeDisabledBitmap(bitmap.Handle(), outlineColor);
}

namespace {

// Flags a control as painting a copy for a scope, also when painting throws.
class TPaintCopyScope {
public:
  explicit TPaintCopyScope(TControl* c) : m_control(c) {
    if (m_control) m_control->BeginPaintCopy();
  }
  ~TPaintCopyScope() {
    if (m_control) m_control->EndPaintCopy();
  }
  TPaintCopyScope(const TPaintCopyScope&) = delete;
  TPaintCopyScope& operator=(const TPaintCopyScope&) = delete;

private:
  TControl* m_control;
};

// Restores a device context's state at the end of a scope.
class TSavedDc {
public:
  explicit TSavedDc(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
  ~TSavedDc() { RestoreDC(m_dc, m_saved); }
  TSavedDc(const TSavedDc&) = delete;
  TSavedDc& operator=(const TSavedDc&) = delete;

private:
  HDC m_dc;
  int m_saved;
};

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The client area of a sibling window in its parent's client coordinates.
TRect ClientInParent(HWND window, HWND parent) {
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, parent, reinterpret_cast<POINT*>(&r), 2);
  return TRect::From(r);
}

}  // namespace

void PaintParentBackground(TControl& control, TCanvas& canvas) {
  TWinControl* parent = control.Parent();
  if (!parent) return;
  HDC dc = canvas.Handle();
  const TPaintCopyScope parentFlag(parent);
  const TSavedDc whole(dc);
  // From here on the context speaks the parent's client coordinates.
  OffsetViewportOrgEx(dc, -control.Left(), -control.Top(), nullptr);
  HWND parentWindow = parent->HandleIfAllocated();
  TRect client{0, 0, parent->Width(), parent->Height()};
  if (parentWindow) {
    RECT rc;
    if (GetClientRect(parentWindow, &rc)) client = TRect::From(rc);
  }
  IntersectClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  // The parent paints itself, drawn content included; its windowless
  // controls follow below, as many as lie under this control.
  if (parentWindow) {
    const TSavedDc saved(dc);
    SendMessageA(parentWindow, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parentWindow, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  } else {
    RECT rc = client.ToRECT();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(parent->EffectiveColor()));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
  }
  const TRect mine = control.BoundsRect();
  // A window lies over every windowless control of its parent; a windowless
  // control only over those before it in the list.
  const bool windowed = control.IsWindowed();
  for (TControl* sibling : parent->Controls()) {
    if (sibling == &control) {
      if (!windowed) break;
      continue;
    }
    if (sibling->IsWindowed() || !sibling->Visible()) continue;
    const TRect b = sibling->BoundsRect();
    if (!Overlap(b, mine)) continue;
    const TSavedDc saved(dc);
    OffsetViewportOrgEx(dc, b.Left, b.Top, nullptr);
    IntersectClipRect(dc, 0, 0, b.Width(), b.Height());
    const TPaintCopyScope flag(sibling);
    TCanvas sub(dc);
    sub.SetFont(sibling->EffectiveFont());
    sibling->PaintControl(sub);
  }
  // Sibling windows under this one (labels are windows here) show through
  // as well, lowest first.
  HWND self = windowed ? static_cast<TWinControl&>(control).HandleIfAllocated() : nullptr;
  if (!self || !parentWindow) return;
  std::vector<HWND> beneath;
  for (HWND h = GetWindow(self, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT)) beneath.push_back(h);
  for (auto it = beneath.rbegin(); it != beneath.rend(); ++it) {
    HWND h = *it;
    const TRect b = ClientInParent(h, parentWindow);
    if (!IsWindowVisible(h)) continue;
    if (!Overlap(b, mine)) continue;
    const TSavedDc saved(dc);
    OffsetViewportOrgEx(dc, b.Left, b.Top, nullptr);
    IntersectClipRect(dc, 0, 0, b.Width(), b.Height());
    const TPaintCopyScope flag(TWinControl::FromHandle(h));
    SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  }
}

void InvalidateSeeThroughAbove(TWinControl& control) {
  HWND self = control.HandleIfAllocated();
  HWND parent = self ? GetParent(self) : nullptr;
  if (!parent || control.Destroying()) return;
  const TRect mine = ClientInParent(self, parent);
  for (HWND h = GetWindow(self, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
    TWinControl* above = TWinControl::FromHandle(h);
    const auto* see = dynamic_cast<const TSeeThroughWindow*>(above);
    if (!see || !see->ShowsWindowsBeneath() || !IsWindowVisible(h)) continue;
    if (Overlap(ClientInParent(h, parent), mine)) above->Invalidate();
  }
}

COLORREF PaletteRelativeColor(TColor color) { return ColorToRGB(color) | 0x02000000u; }

void DiscardMessage(HWND window, UINT message) {
  MSG msg;
  if (PeekMessageA(&msg, window, message, message, PM_REMOVE) && msg.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(msg.wParam));
}

std::string ShortenText(const std::string& text, TCanvas& canvas, int maxWidth) {
  std::string result = text;
  const int length = static_cast<int>(text.size());
  for (int i = 1; i <= length && canvas.TextExtent(result).cx > maxWidth; ++i) {
    const int keep = length - i - 1 > 0 ? length - i - 1 : 0;
    result = text.substr(0, static_cast<size_t>(keep)) + "...";
  }
  return result;
}

namespace {
struct TForegroundSearch {
  HWND active;
  bool found;
};
BOOL CALLBACK MatchActive(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TForegroundSearch*>(lp);
  if (hwnd != s->active) return TRUE;
  s->found = true;
  return FALSE;
}
}  // namespace

bool AppIsForeground() {
  TForegroundSearch s{GetActiveWindow(), false};
  if (!s.active) return false;
  EnumThreadWindows(GetCurrentThreadId(), MatchActive, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void ShowNotImplemented() {
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  HWND owner = GetActiveWindow();
  const std::string title = qv::fw::Application() ? qv::fw::Application()->Title() : std::string();
  std::string text = qv::fw::LoadStr(61257);
  if (text.empty()) text = "Function not yet implemented";  // linked without the program's strings
  MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  throw EAbort();
}

void* AllocGlobalBlock(int size) {
  if (size <= 0) return nullptr;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
  if (!h) return nullptr;
  return GlobalLock(h);
}

void FreeGlobalBlock(void*& block) {
  if (!block) return;
  if (HGLOBAL h = GlobalHandle(block)) {
    GlobalUnlock(h);
    GlobalFree(h);
  }
  block = nullptr;
}

bool SameBytes(const void* p, const void* q, size_t n) { return n == 0 || std::memcmp(p, q, n) == 0; }

void CopyBytes(void* destination, const void* source, size_t n) {
  if (n) std::memmove(destination, source, n);
}

}  // namespace qv::controls
