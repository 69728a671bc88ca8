// TOndrelGradientButton: a push button painted with a two-colour gradient, a
// glyph with one see-through colour, its caption and a 3-D frame; it can
// latch down within a group, drop a menu down, and answers its caption's
// accelerator. It is a real child window (for tests and BM_CLICK) that
// never takes the focus. Clicking never changes Down: click handlers do.
// Example:  auto& b = form.Make<TOndrelGradientButton>("BtnAuto");
//           b.Place(&form, 8, 8, 75, 25); b.SetCaption("&Auto"); b.SetGroupIndex(2);
// Tested by tests/app/display/GradientButton*_test.cpp.
#pragma once

#include <windows.h>

#include <memory>

#include "app/DisplayPaint.h"
#include "framework/DialogChar.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

namespace qv::app {

enum class TButtonLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

class TOndrelGradientButton : public fw::TButtonControl, public fw::TDialogCharTarget {
public:
  explicit TOndrelGradientButton(fw::TComponent* owner);
  ~TOndrelGradientButton() override;

  // --- Look
  fw::TColor LightColor() const { return m_lightColor; }
  void SetLightColor(fw::TColor c);
  fw::TColor ShadowColor() const { return m_shadowColor; }
  void SetShadowColor(fw::TColor c);
  bool Vertical() const { return m_vertical; }
  void SetVertical(bool v);
  int BevelWidth() const { return m_bevelWidth; }
  void SetBevelWidth(int w);
  int Spacing() const { return m_spacing; }
  void SetSpacing(int s);
  TButtonLayout Layout() const { return m_layout; }
  void SetLayout(TButtonLayout l);
  // Keeps a copy; its lower-left pixel's colour is drawn see-through.
  void SetGlyph(HBITMAP bmp);
  HBITMAP Glyph() const { return m_glyph.Handle(); }
  bool Flat() const { return m_flat; }
  void SetFlat(bool v);
  bool GrayedInactive() const { return m_grayedInactive; }
  void SetGrayedInactive(bool v);
  bool MarkDropDown() const { return m_markDropDown; }
  void SetMarkDropDown(bool v);
  bool WindowCaption() const { return m_windowCaption; }
  void SetWindowCaption(bool v);

  // --- Latched state and group
  bool Down() const { return m_down; }
  // Ignored outside a group; a button going down raises its group mates.
  void SetDown(bool v);
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return m_allowAllUp; }
  void SetAllowAllUp(bool v) { m_allowAllUp = v; }

  // --- Drop-down menu, shown under the button on mouse down
  fw::TPopupMenu* DropDownMenu() const { return m_dropDownMenu.Get(); }
  void SetDropDownMenu(fw::TPopupMenu* menu);

  // --- State visible to tests
  bool Pressed() const { return m_pressed; }
  bool Hot() const { return m_hot; }

  fw::TNotifyEvent OnMouseEnter;
  fw::TNotifyEvent OnMouseLeave;

  bool DialogChar(char key) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(fw::TCreateParams& p) override;
  void Paint(fw::TCanvas& canvas) override;
  void EnabledChanged() override;

  void MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;
  void MouseUp(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;
  virtual void MouseEnter();
  void MouseLeave() override;

private:
  void DrawCaptionAndGlyph(HDC dc, int width, int height);
  void SetPressed(bool v);
  bool Reacts() const { return Enabled() && !m_windowCaption; }

  fw::TColor m_lightColor = fw::clBtnHighlight;
  fw::TColor m_shadowColor = fw::clBtnShadow;
  bool m_vertical = false;
  int m_bevelWidth = 1;
  int m_spacing = 1;
  TButtonLayout m_layout = TButtonLayout::GlyphTop;
  TOwnedBitmap m_glyph;
  COLORREF m_glyphTransparent = 0;
  bool m_down = false;
  int m_groupIndex = 0;
  bool m_allowAllUp = false;
  bool m_flat = false;
  bool m_grayedInactive = true;
  bool m_markDropDown = false;
  bool m_windowCaption = false;
  fw::TComponentLink<fw::TPopupMenu> m_dropDownMenu;

  bool m_hot = true;
  bool m_pressed = false;
  fw::TMouseInside m_mouse;
  // A press began on the button; its release inside clicks.
  bool m_clickArmed = false;
  bool m_inAccelerator = false;
  // Lets code that pumps messages notice that the button went away.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace qv::app
