// TQxLabel: a static text with an embossed shadow (a second copy of the
// text, offset by ShadowSize towards a corner), top/centre/bottom layout,
// word wrap and auto-size, and a focus control: the caption's accelerator
// hands it the focus, and with ShowFocus a focus frame follows it. Hover
// is reported by OnMouseEnter/OnMouseLeave. Like every label here it is a
// real child window (tests read its text) lying under its windowed
// siblings; it never takes the focus itself. Right to left (BiDiMode, by
// default the parent's) mirrors its alignment and reading order.
// Example:  auto& l = form.Make<TQxLabel>("QxLabel1");
//           l.Place(&form, 8, 8, 65, 17); l.SetCaption("&Nom"); l.SetFocusControl(&edit);
// Main thread only. Tested by tests/controls/buttons/QxLabel_test.cpp.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/Action.h"
#include "framework/DialogChar.h"
#include "framework/StdCtrls.h"
#include "services/QxHook.h"

namespace qv::controls {

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Draws text in the device's text colour over its shadow (the same text in
// shadowColor, offset by size towards pos). rect grows to hold both; the
// result is the text height plus size (the height alone when it is <= 0).
// DT_CALCRECT in flags only measures.
int PaintShadowedText(HDC dc, const std::string& text, TShadowPosition pos, qv::fw::TColor shadowColor, int size,
                      UINT flags, RECT& rect);

class TQxCustomLabel : public qv::fw::TCustomControl, public qv::fw::TDialogCharTarget {
public:
  explicit TQxCustomLabel(qv::fw::TComponent* owner);
  ~TQxCustomLabel() override;

  qv::fw::TWinControl* FocusControl() const { return m_focusControl.Get(); }
  void SetFocusControl(qv::fw::TWinControl* c);
  qv::fw::TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(qv::fw::TAlignment a);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return m_layout; }
  void SetLayout(TTextLayout l);
  qv::fw::TColor ShadowColor() const { return m_shadowColor; }
  void SetShadowColor(qv::fw::TColor c);
  int ShadowSize() const { return m_shadowSize; }
  void SetShadowSize(BYTE s);
  TShadowPosition ShadowPos() const { return m_shadowPos; }
  void SetShadowPos(TShadowPosition p);
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return m_showAccelChar; }
  void SetShowAccelChar(bool v);
  bool ShowFocus() const { return m_showFocus; }
  void SetShowFocus(bool v);
  // Transparent labels show their parent through the text's gaps.
  bool Transparent() const { return ParentBackground(); }
  void SetTransparent(bool v);

  // --- Action: its caption, enabled state, hint and visibility become the
  // label's; a click without an OnClick of the label's own runs it.
  qv::fw::TAction* Action() const { return m_actionLink.Action(); }
  void SetAction(qv::fw::TAction* action) { m_actionLink.SetAction(action); }
  void Click() override;

  // --- State (read by tests)
  bool HasFocus() const { return m_hasFocus; }
  bool Hovered() const { return m_hovered; }

  qv::fw::TNotifyEvent OnMouseEnter;
  qv::fw::TNotifyEvent OnMouseLeave;

  bool DialogChar(char key) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Also repaints the transparent buttons above that show the label.
  void Invalidate() override;

protected:
  // --- Overridable
  virtual qv::fw::TColor GetLabelColor() const;
  virtual std::string DisplayText() const;

  // Draws (or with DT_CALCRECT measures) the text in rect; returns its height.
  int RenderCaption(HDC dc, RECT& rect, UINT flags);
  // Takes the size of the text (AutoSize only).
  void FitToText();

  void Paint(qv::fw::TCanvas& canvas) override;
  void CreateWnd() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void BiDiModeChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void BoundsChanged() override;
  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void MouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;

private:
  void FocusMoved();
  void RefreshHover();
  void SetHovered(bool v);

  qv::fw::TComponentLink<qv::fw::TWinControl> m_focusControl;
  TQxWindowHook* m_focusHook = nullptr;  // owned (a component of this)
  qv::fw::TAlignment m_alignment = qv::fw::TAlignment::LeftJustify;
  bool m_autoSize = true;
  TTextLayout m_layout = tlTop;
  qv::fw::TColor m_shadowColor = qv::fw::clBtnHighlight;
  BYTE m_shadowSize = 1;
  TShadowPosition m_shadowPos = spLeftTop;
  bool m_wordWrap = false;
  bool m_showAccelChar = true;
  bool m_showFocus = false;
  bool m_hasFocus = false;
  bool m_hovered = false;
  bool m_leftPressed = false;
  bool m_trackingLeave = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
  qv::fw::TActionLink m_actionLink;
};

class TQxLabel : public TQxCustomLabel {
public:
  explicit TQxLabel(qv::fw::TComponent* owner) : TQxCustomLabel(owner) {}
};

}  // namespace qv::controls
