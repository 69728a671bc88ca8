// The shared edit paint routine.
#include "controls/edits/QvToolEdit.h"

namespace qv::controls {

using qv::fw::TAlignment;

bool PaintEdit(qv::fw::TCustomEdit& edit, const std::string& text, TAlignment alignment, WPARAM wp, bool focused,
               qv::fw::TColor disabledTextColor, bool keepLeft, bool paintCopy) {
  if (edit.Destroying()) return false;
  alignment = qv::fw::BiDiAlignment(edit, alignment);
  HWND h = edit.HandleIfAllocated();
  if (!h) return false;
  if (focused && !paintCopy) {
    // The system draws a focused edit; only its alignment and reading
    // styles must agree.
    const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
    LONG_PTR want = ex & ~static_cast<LONG_PTR>(WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
    if (alignment == TAlignment::RightJustify) want |= WS_EX_RIGHT;
    if (edit.UseRightToLeftReading()) want |= WS_EX_RTLREADING;
    if (edit.UseRightToLeftAlignment()) want |= WS_EX_LEFTSCROLLBAR;
    if (want != ex) SetWindowLongPtrA(h, GWL_EXSTYLE, want);
    return false;
  }
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(wp);
  const bool ownDc = dc == nullptr;
  if (ownDc) dc = BeginPaint(h, &ps);
  {
    qv::fw::TCanvas canvas(dc);
    canvas.SetFont(edit.EffectiveFont());
    RECT r{};
    SendMessageA(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
    if (!(ex & WS_EX_CLIENTEDGE) && (style & WS_BORDER)) {
      RECT client{};
      GetClientRect(h, &client);
      canvas.FrameRect(qv::fw::TRect::From(client), qv::fw::SystemColor(COLOR_WINDOWFRAME));
    }
    const int width = canvas.TextExtent(text).cx;
    int x = r.left;
    if (!keepLeft) {
      if (alignment == TAlignment::RightJustify) x = r.right - width;
      else if (alignment == TAlignment::Center) x = (r.left + r.right - width) / 2;
    }
    const int len = static_cast<int>(text.size());
    if (edit.Enabled()) {
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, qv::fw::ColorToRGB(edit.EffectiveColor()));
      ExtTextOutA(dc, x, r.top, ETO_CLIPPED | ETO_OPAQUE, &r, text.c_str(), static_cast<UINT>(len), nullptr);
    } else {
      SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      const int saved = SaveDC(dc);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, qv::fw::ColorToRGB(disabledTextColor));
      ExtTextOutA(dc, x, r.top, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(len), nullptr);
      RestoreDC(dc, saved);
    }
  }
  if (ownDc) EndPaint(h, &ps);
  return true;
}

}  // namespace qv::controls
