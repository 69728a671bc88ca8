// Routines shared by the wrapper scheme.
#include "controls/status/QvExControls.h"

#include "framework/Application.h"

namespace qv::controls {

using qv::fw::ColorToRGB;

namespace {

struct TDlgcMap {
  TDialogCode code;
  LRESULT dlgc;
};
constexpr TDlgcMap kDlgcMap[] = {
    {dcWantAllKeys, DLGC_WANTALLKEYS}, {dcWantArrows, DLGC_WANTARROWS}, {dcWantChars, DLGC_WANTCHARS},
    {dcButton, DLGC_BUTTON},           {dcHasSetSel, DLGC_HASSETSEL},   {dcWantTab, DLGC_WANTTAB},
};

TColor g_focused = 0x733800;
TColor g_unfocused = 0x808080;

void Frame(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, b);
  DeleteObject(b);
}

}  // namespace

uint32_t KeyDataFromShiftState(const qv::fw::TShiftState& shift) {
  uint32_t data = 0;
  if (shift.Shift) data |= 0x08000000u;
  if (shift.Alt) data |= 0x20000000u;
  if (shift.Ctrl) data |= 0x10000000u;
  return data;
}

TDialogCodes DialogCodesFromDlgc(LRESULT dlgc) {
  TDialogCodes codes = 0;
  for (const auto& m : kDlgcMap)
    if (dlgc & m.dlgc) codes |= m.code;
  return codes;
}

LRESULT DlgcFromDialogCodes(TDialogCodes codes) {
  LRESULT dlgc = 0;
  for (const auto& m : kDlgcMap)
    if (codes & m.code) dlgc |= m.dlgc;
  return dlgc;
}

TColor ApplicationHintColor() {
  const qv::fw::TApplication* app = qv::fw::Application();
  return app ? app->HintColor() : qv::fw::clInfoBk;
}

void ResolveHintColor(THintInfo& info, qv::fw::TControl& control, TColor color) {
  if (color == qv::fw::clNone) {
    info.HintColor = ApplicationHintColor();
  } else if (color != qv::fw::clDefault) {
    info.HintColor = color;
  } else if (qv::fw::TWinControl* parent = control.Parent()) {
    // The parent decides, and may ask its own parent in turn.
    THintInfo copy = info;
    parent->HintShow(copy);
    info.HintColor = copy.HintColor;
  }
}

TColor HighlightFocusedColor() { return g_focused; }
TColor HighlightUnfocusedColor() { return g_unfocused; }

void SetHighlightColors(TColor focused, TColor unfocused) {
  g_focused = focused;
  g_unfocused = unfocused;
}

void DrawHighlightFrame(HDC dc, RECT rect, TColor color, bool highlighted) {
  Frame(dc, rect, highlighted ? g_focused : g_unfocused);
  InflateRect(&rect, -1, -1);
  Frame(dc, rect, highlighted ? g_focused : color);
}

void PaintHighlightFrame(qv::fw::TWinControl& control, THighlightCause cause, bool mouseOver, TColor color) {
  HWND h = control.HandleIfAllocated();
  if (!h) return;
  RECT r{};
  GetWindowRect(h, &r);
  OffsetRect(&r, -r.left, -r.top);
  HDC dc = GetWindowDC(h);
  if (dc) {
    DrawHighlightFrame(dc, r, color, control.Focused() || mouseOver);
    ReleaseDC(h, dc);
  }
  if (cause == THighlightCause::MouseLeave) {
    const int w = r.right, hgt = r.bottom;
    HRGN outer = CreateRectRgn(0, 0, w - 1, hgt - 1);
    HRGN inner = CreateRectRgn(2, 2, w - 3, hgt - 3);
    CombineRgn(outer, outer, inner, RGN_DIFF);
    InvalidateRgn(h, outer, FALSE);
    DeleteObject(inner);
    DeleteObject(outer);
  }
}

}  // namespace qv::controls
