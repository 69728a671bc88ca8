// The wrapper scheme of the status bar (and of the edit base that shares
// it): TQvExControl<Base> turns window messages and the framework's change
// notifications into overridable hooks and events (mouse enter and leave,
// a parent's colour change, a hint colour resolved up the chain of parents,
// an optional highlight frame), keeps the device context's state around
// WM_ERASEBKGND, WM_PRINT and WM_PRINTCLIENT, and answers the identity
// message 0xB7D0 with 1. Plus the routines the scheme shares.
// Example:  class TQvExStatusBar : public TQvExControl<qv::fw::TStatusBar> { ... };
// Notifications that have no source in our framework (hit tests, cursor,
// showing and hint-show changes, child-list changes, a form designer) have
// no hook here. Main thread only. Tested by tests/controls/status/QvExControls_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Control.h"
#include "framework/DialogChar.h"
#include "framework/Graphics.h"
#include "framework/WinControl.h"

namespace qv::controls {

using qv::fw::TColor;

// --- Shared routines

// Shift 0x08000000, Alt 0x20000000, Ctrl 0x10000000, or-ed.
uint32_t KeyDataFromShiftState(const qv::fw::TShiftState& shift);

// The seven dialog codes, in their bit order; other DLGC_ bits are dropped
// in both directions, and the native flag maps to nothing.
enum TDialogCode : unsigned {
  dcWantAllKeys = 1u << 0, dcWantArrows = 1u << 1, dcWantChars = 1u << 2, dcButton = 1u << 3,
  dcHasSetSel = 1u << 4, dcWantTab = 1u << 5, dcNative = 1u << 6
};
using TDialogCodes = unsigned;
TDialogCodes DialogCodesFromDlgc(LRESULT dlgc);
LRESULT DlgcFromDialogCodes(TDialogCodes codes);

using qv::fw::THintInfo;

// The application's tooltip colour.
TColor ApplicationHintColor();
// clNone: the application's colour; clDefault: what the nearest parent
// resolves (a parent outside the scheme leaves the colour as it is); any
// other colour: that colour.
void ResolveHintColor(THintInfo& info, qv::fw::TControl& control, TColor color);

// Highlight frame colours (process-wide; 0x733800 and 0x808080 at start).
TColor HighlightFocusedColor();
TColor HighlightUnfocusedColor();
void SetHighlightColors(TColor focused, TColor unfocused);
// Two 1-pixel frames: outer focused or unfocused colour, inner focused
// colour or the control's own colour.
void DrawHighlightFrame(HDC dc, RECT rect, TColor color, bool highlighted);
// Draws it on the control's window DC for the messages that change it;
// a mouse leave also invalidates the frame's ring.
enum class THighlightCause { FocusSet, FocusKilled, NcPaint, MouseEnter, MouseLeave };
void PaintHighlightFrame(qv::fw::TWinControl& control, THighlightCause cause, bool mouseOver, TColor color);

constexpr UINT kWrapperIdentityMessage = 0xB7D0;

// --- The wrapper

template <class Base>
class TQvExControl : public Base, public qv::fw::TDialogCharTarget {
public:
  explicit TQvExControl(qv::fw::TComponent* owner) : Base(owner) {}

  TColor HintColor() const { return m_hintColor; }
  void SetHintColor(TColor c) { m_hintColor = c; }
  // A tooltip window class (a superclass of the tooltips class) for this
  // control's tooltips; empty: the application's.
  const std::string& HintWindowClass() const { return m_hintWindowClass; }
  void SetHintWindowClass(const std::string& name) { m_hintWindowClass = name; }
  bool MouseOver() const { return m_mouseOver; }
  bool DotNetHighlighting() const { return m_dotNetHighlighting; }
  void SetDotNetHighlighting(bool v) {
    if (v == m_dotNetHighlighting) return;
    m_dotNetHighlighting = v;
    if (HWND h = this->HandleIfAllocated())
      RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
  }

  qv::fw::TNotifyEvent OnMouseEnter;
  qv::fw::TNotifyEvent OnMouseLeave;
  qv::fw::TNotifyEvent OnParentColorChange;

  // The application's tooltip asks here before it shows over this control.
  bool HintShow(THintInfo& info) override { return HandleHintShow(info); }
  bool DialogChar(char key) override { return WantKey(key, qv::fw::TShiftState::Current()); }

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    LRESULT r = 0;
    bool highlight = false;
    THighlightCause cause = THighlightCause::NcPaint;
    switch (msg) {
      case WM_MOVE:
      case WM_SIZE:
        r = Base::WndProc(msg, wp, lp);
        AfterBoundsChange();
        break;
      case WM_SETFOCUS:
        FocusSet(reinterpret_cast<HWND>(wp));
        highlight = true;
        cause = THighlightCause::FocusSet;
        break;
      case WM_KILLFOCUS:
        FocusKilled(reinterpret_cast<HWND>(wp));
        highlight = true;
        cause = THighlightCause::FocusKilled;
        break;
      case WM_ERASEBKGND:
        if (!wp) {
          r = Base::WndProc(msg, wp, lp);
        } else {
          HDC dc = reinterpret_cast<HDC>(wp);
          const int saved = SaveDC(dc);
          try {
            qv::fw::TCanvas canvas(dc);
            r = EraseBackground(canvas, lp) ? 1 : 0;
          } catch (...) {
            RestoreDC(dc, saved);
            throw;
          }
          RestoreDC(dc, saved);
        }
        break;
      case WM_GETDLGCODE: {
        r = Base::WndProc(msg, wp, lp);
        TDialogCodes codes = DialogCodesFromDlgc(r) | dcNative;
        GetDlgCode(codes);
        if (!(codes & dcNative)) r = DlgcFromDialogCodes(codes);
        break;
      }
      case WM_PRINT:
      case WM_PRINTCLIENT: {
        // Whatever the painting selects into the caller's DC goes back.
        HDC dc = reinterpret_cast<HDC>(wp);
        const int saved = SaveDC(dc);
        try {
          r = Base::WndProc(msg, wp, lp);
        } catch (...) {
          RestoreDC(dc, saved);
          throw;
        }
        RestoreDC(dc, saved);
        break;
      }
      case kWrapperIdentityMessage:
        r = 1;
        break;
      case WM_MOUSEMOVE:
        r = Base::WndProc(msg, wp, lp);
        if (!m_mouseOver) {
          TRACKMOUSEEVENT tme{};
          tme.cbSize = sizeof tme;
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = this->HandleIfAllocated();
          TrackMouseEvent(&tme);
          HandleMouseEnter(nullptr);
          highlight = true;
          cause = THighlightCause::MouseEnter;
        }
        break;
      case WM_MOUSELEAVE:
        r = Base::WndProc(msg, wp, lp);
        if (m_mouseOver) {
          HandleMouseLeave(nullptr);
          highlight = true;
          cause = THighlightCause::MouseLeave;
        }
        break;
      case WM_NCPAINT:
        r = Base::WndProc(msg, wp, lp);
        highlight = true;
        break;
      default:
        return Base::WndProc(msg, wp, lp);
    }
    if (highlight && m_dotNetHighlighting && this->HandleAllocated())
      PaintHighlightFrame(*this, cause, m_mouseOver, this->EffectiveColor());
    return r;
  }

protected:
  // --- Hooks, in their fixed order
  virtual void TextChanged() { Base::CaptionChanged(); }
  virtual bool WantKey(char /*key*/, qv::fw::TShiftState /*shift*/) { return false; }
  virtual void AfterBoundsChange() {}
  virtual void GetDlgCode(TDialogCodes& /*codes*/) {}
  virtual void FocusSet(HWND previous) { Base::WndProc(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0); }
  virtual void FocusKilled(HWND next) { Base::WndProc(WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0); }
  virtual bool EraseBackground(qv::fw::TCanvas& canvas, LPARAM param) {
    return Base::WndProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), param) != 0;
  }

  // --- Notification hooks (each defaults to the framework's handling)
  virtual void HandleParentFontChanged() { Base::FontChanged(); }
  virtual void HandleParentColorChanged() {
    Base::ColorChanged();
    if (OnParentColorChange) OnParentColorChange(*this);
  }
  virtual void HandleVisibleChanged() { Base::VisibleChanged(); }
  virtual void HandleEnabledChanged() { Base::EnabledChanged(); }
  virtual void HandleColorChanged() { Base::ColorChanged(); }
  virtual void HandleFontChanged() { Base::FontChanged(); }
  // Resolves the colour (and the window class when set), then the
  // framework's handling.
  virtual bool HandleHintShow(THintInfo& info) {
    ResolveHintColor(info, *this, m_hintColor);
    if (!m_hintWindowClass.empty()) info.HintWindowClass = m_hintWindowClass;
    return Base::HintShow(info);
  }
  virtual void HandleMouseEnter(qv::fw::TControl* /*control*/) {
    m_mouseOver = true;
    if (OnMouseEnter) OnMouseEnter(*this);
  }
  virtual void HandleMouseLeave(qv::fw::TControl* /*control*/) {
    m_mouseOver = false;
    if (OnMouseLeave) OnMouseLeave(*this);
  }

  // The framework's notifications routed to the hooks. A colour or font
  // change that reaches a control still following its parent came from
  // the parent.
  void CaptionChanged() override { TextChanged(); }
  void VisibleChanged() override { HandleVisibleChanged(); }
  void EnabledChanged() override { HandleEnabledChanged(); }
  void ColorChanged() override {
    if (this->ParentColor()) HandleParentColorChanged();
    else HandleColorChanged();
  }
  void FontChanged() override {
    if (this->ParentFont()) HandleParentFontChanged();
    else HandleFontChanged();
  }

private:
  TColor m_hintColor = qv::fw::clDefault;
  std::string m_hintWindowClass;
  bool m_mouseOver = false;
  bool m_dotNetHighlighting = false;
};

}  // namespace qv::controls
