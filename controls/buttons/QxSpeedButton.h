// TQxSpeedButton: a tool button with a glyph strip and a caption, flat
// (a border only under the mouse) or 3-D; within a group it latches down
// like a radio button; it can drop a menu down from a press, repeat its
// click while held, and show its parent through its face. It is a real
// child window (tests find it by name; BM_CLICK clicks it) that never
// takes the focus; its caption's accelerator clicks it. Right to left
// (BiDiMode, by default the parent's) mirrors the caption's alignment and
// reading order. Its window rises above the overlapping labels laid out
// before it, as a painted button would show over them; a transparent one
// repaints when a label or speed button beneath it changes.
// BM_CLICK acts as a press released inside, without the drop-down menu.
// Example:  auto& b = form.Make<TQxSpeedButton>("BtnIndice1");
//           b.Place(&form, 16, 360, 24, 22); b.SetCaption("|<"); b.OnClick = ...;
// Main thread only. Tested by tests/controls/buttons/QxSpeedButton_test.cpp.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/buttons/QxButtonGlyph.h"
#include "framework/Action.h"
#include "framework/DialogChar.h"
#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "services/QxVclUtils.h"

namespace qv::controls {

enum TQxDropDownMenuPos { dmpBottom, dmpRight };

class TQxSpeedButton : public qv::fw::TButtonControl,
                       public qv::fw::TDialogCharTarget,
                       public TSeeThroughWindow {
public:
  explicit TQxSpeedButton(qv::fw::TComponent* owner);
  ~TQxSpeedButton() override;

  // --- Group: a Down button of a group is latched; going down raises the
  // group mates. Without a group a button is never Down.
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int g);
  bool Down() const { return m_down; }
  // A latched button of a group whose AllowAllUp is off is released only
  // by another button of the group.
  void SetDown(bool v);
  // Shared by the whole group: setting it on one sets it on all.
  bool AllowAllUp() const { return m_allowAllUp; }
  void SetAllowAllUp(bool v);

  // --- Look
  TButtonLayout Layout() const { return m_layout; }
  void SetLayout(TButtonLayout l);
  int Spacing() const { return m_spacing; }
  void SetSpacing(int s);
  // -1 centres the glyph and caption; lower values are refused.
  int Margin() const { return m_margin; }
  void SetMargin(int m);
  bool Flat() const { return m_flat; }
  void SetFlat(bool v);
  // A flat button whose inactive glyph keeps its colours.
  bool FlatStandard() const { return m_flatStandard; }
  void SetFlatStandard(bool v);
  TButtonStyle Style() const { return m_style; }
  void SetStyle(TButtonStyle s);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool v);
  bool ShowsWindowsBeneath() const override { return m_transparent; }
  // A flat button's glyph is grey while the mouse is elsewhere.
  bool GrayedInactive() const { return m_grayedInactive; }
  void SetGrayedInactive(bool v);
  const qv::fw::TBitmap& Glyph() const { return m_glyph.Source(); }
  // Copies the strip; null empties it.
  void SetGlyph(HBITMAP strip);
  // Copies the strip with its transparent colour (another button's Glyph()).
  void SetGlyph(const qv::fw::TBitmap& strip);
  int NumGlyphs() const { return m_glyph.NumGlyphs(); }
  // 1..5; more is taken as 5.
  void SetNumGlyphs(int n);
  qv::fw::TAlignment Alignment() const { return m_glyph.Alignment(); }
  void SetAlignment(qv::fw::TAlignment a);
  bool WordWrap() const { return m_glyph.WordWrap(); }
  void SetWordWrap(bool v);

  // --- Drop-down menu, shown on a press (that press does not click)
  qv::fw::TPopupMenu* DropDownMenu() const { return m_dropDownMenu.Get(); }
  void SetDropDownMenu(qv::fw::TPopupMenu* menu);
  bool MarkDropDown() const { return m_markDropDown; }
  void SetMarkDropDown(bool v);
  TQxDropDownMenuPos MenuPosition() const { return m_menuPosition; }
  void SetMenuPosition(TQxDropDownMenuPos p) { m_menuPosition = p; }
  // Where the menu opens (client coordinates); false without a menu.
  bool DropDownMenuPoint(qv::fw::TPoint& at) const;
  // Pops the menu up (returns when it has closed); false when it did not
  // show. manual: also when the press path would not show it.
  bool ShowDropDownMenu(qv::fw::TPoint at, bool manual);

  // --- Repeating: a held button clicks after InitPause ms, then every
  // RepeatInterval ms while it is pressed under the mouse.
  bool AllowTimer() const { return m_allowTimer; }
  void SetAllowTimer(bool v);
  unsigned InitPause() const { return m_initPause; }
  void SetInitPause(unsigned ms) { m_initPause = static_cast<WORD>(ms); }
  unsigned RepeatInterval() const { return m_repeatInterval; }
  void SetRepeatInterval(unsigned ms) { m_repeatInterval = static_cast<WORD>(ms); }

  // --- State (read by tests)
  TButtonPaintState PaintState() const { return m_paintState; }
  bool Hovered() const { return m_hovered; }
  bool Pressing() const { return m_pressing; }
  bool MenuShowing() const { return m_menuShowing; }
  TQxButtonGlyph& GlyphPainter() { return m_glyph; }

  qv::fw::TNotifyEvent OnMouseEnter;
  qv::fw::TNotifyEvent OnMouseLeave;

  // --- Action: its caption, enabled state, hint and visibility become the
  // button's; its checked state is Down for a grouped button; its image
  // becomes the glyph of a button without one. A click without an OnClick
  // of the button's own runs the action.
  qv::fw::TAction* Action() const { return m_actionLink.Action(); }
  void SetAction(qv::fw::TAction* action) { m_actionLink.SetAction(action); }

  // Sets the form's modal result (when the button has one), then OnClick
  // or the action.
  void Click() override;
  bool DialogChar(char key) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Also repaints the transparent buttons above that show this one.
  void Invalidate() override;

protected:
  void CreateParams(qv::fw::TCreateParams& p) override;
  void CreateWnd() override;
  void Paint(qv::fw::TCanvas& canvas) override;
  // Draws glyph, caption and mark in the face rectangle.
  virtual void PaintContent(qv::fw::TCanvas& canvas, const qv::fw::TRect& face, bool dropDownMark,
                            TButtonPaintState state);
  void EnabledChanged() override;
  void VisibleChanged() override;
  void BoundsChanged() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void BiDiModeChanged() override;
  void Loaded() override;

  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void MouseMove(qv::fw::TShiftState s, int x, int y) override;
  void MouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;

private:
  bool Inside(int x, int y) const;
  void FinishPress(qv::fw::TMouseButton b, int x, int y);
  void RefreshHover();
  void DoMouseEnter();
  void DoMouseLeave();
  void SyncEnabledState();
  void PrepareGlyph();
  void NotifyGroup();
  void GroupMatePressed(int group, const TQxSpeedButton& sender);
  void DiscardPressInside();
  void StartTimer();
  void StopTimer();
  void TimerExpired();
  void TakeActionImage(int index);

  int m_groupIndex = 0;
  bool m_down = false;
  bool m_allowAllUp = false;
  TButtonPaintState m_paintState = psUp;
  bool m_pressing = false;
  bool m_hovered = false;
  bool m_trackingLeave = false;
  TButtonLayout m_layout = blGlyphTop;
  int m_spacing = 1;
  int m_margin = -1;
  bool m_transparent = false;
  bool m_markDropDown = true;
  qv::fw::TComponentLink<qv::fw::TPopupMenu> m_dropDownMenu;
  TQxDropDownMenuPos m_menuPosition = dmpBottom;
  bool m_grayedInactive = true;
  bool m_menuShowing = false;
  bool m_allowTimer = false;
  WORD m_initPause = 500;
  WORD m_repeatInterval = 100;
  qv::fw::TTimer* m_timer = nullptr;  // owned (a component of this), made on first use
  bool m_inTick = false;
  bool m_flat = false;
  bool m_flatStandard = false;
  TButtonStyle m_style = bsAutoDetect;
  TQxButtonGlyph m_glyph;
  qv::fw::TActionLink m_actionLink;
  // Lets code that pumps messages or runs handlers notice the button went away.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace qv::controls
