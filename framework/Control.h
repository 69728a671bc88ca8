// TControl: what windowed and windowless controls share (parent, bounds,
// alignment, visibility, caption, font, colour, hint, mouse events), and
// TGraphicControl: a windowless control its parent paints and routes mouse
// input to. Windowed controls are TWinControl (WinControl.h).
// Tested by tests/framework/Form_test.cpp and tests/framework/Label_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Types.h"

namespace qv::fw {

class TWinControl;
class TPopupMenu;

enum class TAlign { None, Top, Bottom, Left, Right, Client };
// Reading direction: right to left mirrors the alignment and the reading
// order; the last two kinds mirror only the reading order.
enum class TBiDiMode { LeftToRight, RightToLeft, RightToLeftNoAlign, RightToLeftReadingOnly };

using TNotifyEvent = std::function<void(TComponent& sender)>;

// What the application's tooltip is about to show for a control; the
// control may change any of it before it shows (HintShow).
struct THintInfo {
  std::string HintStr;  // the short part of the hint
  TColor HintColor = clInfoBk;
  TPoint HintPos{};  // screen point of the tooltip's top-left corner
  // A tooltip window class (a superclass of the tooltips class) to show
  // it in; empty: the application's own tooltip.
  std::string HintWindowClass;
};
using TMouseEvent = std::function<void(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent& sender, TShiftState shift, int x, int y)>;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // --- Placement
  TWinControl* Parent() const { return m_parent; }
  virtual void SetParent(TWinControl* parent);
  // Parent and bounds in one call (layouts).
  void Place(TWinControl* parent, int left, int top, int width, int height);
  int Left() const { return m_left; }
  int Top() const { return m_top; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  TRect BoundsRect() const { return TRect::Bounds(m_left, m_top, m_width, m_height); }
  virtual TRect ClientRect() const { return TRect{0, 0, m_width, m_height}; }
  void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
  void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
  void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
  void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TAlign Align() const { return m_align; }
  void SetAlign(TAlign a);

  // --- State
  bool Visible() const { return m_visible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // True when this control and all its parents are visible.
  bool Showing() const;
  bool Enabled() const { return m_enabled; }
  virtual void SetEnabled(bool e);

  // Caption and Text are one value, as in edit boxes and labels.
  virtual std::string Caption() const { return m_caption; }
  virtual void SetCaption(const std::string& s);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& s) { SetCaption(s); }

  TFont& Font() { return m_font; }
  const TFont& Font() const { return m_font; }
  bool ParentFont() const { return m_parentFont; }
  void SetParentFont(bool v);
  TColor Color() const { return m_color; }
  virtual void SetColor(TColor c);
  bool ParentColor() const { return m_parentColor; }
  void SetParentColor(bool v);
  // The direction in force: the parent's while ParentBiDiMode holds.
  // Setting one ends ParentBiDiMode.
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode m);
  bool ParentBiDiMode() const { return m_parentBiDiMode; }
  void SetParentBiDiMode(bool v);
  bool UseRightToLeftAlignment() const { return BiDiMode() == TBiDiMode::RightToLeft; }
  bool UseRightToLeftReading() const { return BiDiMode() != TBiDiMode::LeftToRight; }
  // DrawText flags with left and right swapped for a mirrored alignment,
  // plus DT_RTLREADING for a right-to-left reading order.
  UINT DrawTextBiDiModeFlags(UINT flags) const;

  // Hint: "short|long"; the short part is the tooltip, the long part goes to
  // the application's hint (status bar). Without "|" both are the text.
  const std::string& Hint() const { return m_hint; }
  void SetHint(const std::string& h) { m_hint = h; }
  bool ShowHint() const { return m_showHint; }
  void SetShowHint(bool v) { m_showHint = v; }
  // Asked each time the tooltip is about to show over this control (and by
  // children that let their parent decide); false: no tooltip this time.
  virtual bool HintShow(THintInfo& /*info*/) { return true; }
  int HelpContext() const { return m_helpContext; }
  void SetHelpContext(int c) { m_helpContext = c; }
  HCURSOR Cursor() const { return m_cursor; }
  void SetCursor(HCURSOR c) { m_cursor = c; }
  TPopupMenu* PopupMenu() const { return m_popupMenu.Get(); }
  void SetPopupMenu(TPopupMenu* m);

  virtual void Invalidate();
  void Repaint();
  // Between Begin and End the control paints a copy of itself into another
  // control's context (what shows behind a transparent neighbour), not
  // onto the screen. Nests.
  bool PaintingCopy() const { return m_paintingCopy > 0; }
  void BeginPaintCopy() { ++m_paintingCopy; }
  void EndPaintCopy() {
    if (m_paintingCopy > 0) --m_paintingCopy;
  }

  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  // --- Events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // Runs OnClick (and whatever a control adds to a click).
  virtual void Click();

  // --- For parents and the framework
  // Paints a windowless control; windowed controls paint themselves.
  virtual void PaintControl(TCanvas&) {}
  virtual bool IsWindowed() const { return false; }
  virtual void MouseDown(TMouseButton b, TShiftState s, int x, int y);
  virtual void MouseUp(TMouseButton b, TShiftState s, int x, int y);
  virtual void MouseMove(TShiftState s, int x, int y);
  virtual void MouseLeave() {}
  // The font and colour in force (own, or the parent's).
  const TFont& EffectiveFont() const;
  TColor EffectiveColor() const;

protected:
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void CaptionChanged() {}
  virtual void FontChanged() {}
  virtual void ColorChanged() {}
  // The direction in force changed (own, or the parent's).
  virtual void BiDiModeChanged() {}
  virtual void ParentChanged(TWinControl* /*old*/) {}
  // Resizes from alignment rather than the user: no re-alignment loop.
  void SetBoundsNoRealign(int left, int top, int width, int height);

  int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
  std::string m_caption;

private:
  friend class TWinControl;
  void RequestRealign();

  TWinControl* m_parent = nullptr;
  TAlign m_align = TAlign::None;
  bool m_visible = true;
  bool m_enabled = true;
  TFont m_font;
  bool m_parentFont = true;
  TColor m_color = clBtnFace;
  bool m_parentColor = true;
  TBiDiMode m_biDiMode = TBiDiMode::LeftToRight;
  bool m_parentBiDiMode = true;
  std::string m_hint;
  bool m_showHint = true;
  int m_helpContext = 0;
  HCURSOR m_cursor = nullptr;
  TComponentLink<TPopupMenu> m_popupMenu;
  bool m_inSetBounds = false;
  int m_paintingCopy = 0;
};

// A control without a window: its parent paints it in z-order over its own
// background and routes mouse messages to it.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
  void Invalidate() override;

protected:
  // Paints in the control's own coordinates (the canvas origin is moved).
  virtual void Paint(TCanvas&) {}
  void PaintControl(TCanvas& c) override { Paint(c); }
};

}  // namespace qv::fw
