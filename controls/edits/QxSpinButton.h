// The step buttons a spin edit carries: TQxSpinButton, one windowless
// control split into an upper and a lower half (along the diagonal from
// the lower-left to the upper-right corner, or one above the other) that
// clicks once on a press, again after 400 ms, then every 100 ms while held;
// and TQxUpDown, the system up-down control turned into the same two clicks.
// Example:  auto& b = holder.Make<TQxSpinButton>("Btn"); b.OnTopClick = ...;
// Main thread only. Tested by tests/controls/edits/QxSpinButton_test.cpp.
#pragma once

#include <memory>

#include "framework/Bitmap.h"
#include "framework/ComCtrls.h"
#include "framework/Control.h"
#include "framework/ExtCtrls.h"
#include "framework/WinControl.h"

namespace qv::controls {

enum TSpinButtonKind { bkStandard, bkDiagonal, bkClassic };
enum TrSpinButtonStyle { sbsDefault, sbsClassic };

// Which half is shown pressed.
enum TSpinPart { spNone = 0, spTop = 1, spBottom = 2 };

class TQxSpinButton : public qv::fw::TGraphicControl {
public:
  explicit TQxSpinButton(qv::fw::TComponent* owner);
  ~TQxSpinButton() override;

  TrSpinButtonStyle ButtonStyle() const { return m_buttonStyle; }
  void SetButtonStyle(TrSpinButtonStyle s);
  // Copies the bitmap in; null empties the glyph (the built-in arrow shows).
  void SetUpGlyph(HBITMAP bitmap);
  void SetDownGlyph(HBITMAP bitmap);
  const qv::fw::TBitmap& UpGlyph() const { return m_upGlyph; }
  const qv::fw::TBitmap& DownGlyph() const { return m_downGlyph; }
  // The windowed control that takes the focus on a press (a weak link).
  qv::fw::TWinControl* FocusControl() const { return m_focusControl.Get(); }
  void SetFocusControl(qv::fw::TWinControl* c) { m_focusControl.Set(c); }
  TSpinPart PressedPart() const { return m_pressedPart; }

  qv::fw::TNotifyEvent OnTopClick;
  qv::fw::TNotifyEvent OnBottomClick;

  // The half under a point: the diagonal rule or the middle row.
  TSpinPart PartAt(int x, int y) const;

  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void MouseMove(qv::fw::TShiftState s, int x, int y) override;
  void MouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;

protected:
  void Paint(qv::fw::TCanvas& canvas) override;
  void EnabledChanged() override;

private:
  void RunClick(TSpinPart part);
  void TimerTick();
  bool HoldsCapture() const;
  void SetPressedPart(TSpinPart p);
  void BuildImages();
  void DrawImage(qv::fw::TBitmap& target, TSpinPart pressed);
  void DrawDiagonal(HDC dc, TSpinPart pressed, HBITMAP up, HBITMAP down);
  void DrawClassic(HDC dc, TSpinPart pressed, HBITMAP up, HBITMAP down);

  TSpinPart m_pressedPart = spNone;
  qv::fw::TBitmap m_upGlyph, m_downGlyph;
  bool m_pressing = false;
  bool m_imagesStale = true;
  qv::fw::TBitmap m_topPressed, m_bottomPressed, m_normal;
  qv::fw::TTimer* m_repeatTimer = nullptr;  // owned (a component of this)
  TSpinPart m_pressStartPart = spNone;
  qv::fw::TComponentLink<qv::fw::TWinControl> m_focusControl;
  TrSpinButtonStyle m_buttonStyle = sbsDefault;
};

// The system up-down control (range -1..1, position 0): a click on its
// upper arrow runs OnTopClick, on its lower arrow OnBottomClick; its
// position always returns to 0.
class TQxUpDown : public qv::fw::TUpDown {
public:
  explicit TQxUpDown(qv::fw::TComponent* owner);
  qv::fw::TNotifyEvent OnTopClick;
  qv::fw::TNotifyEvent OnBottomClick;
  // The width it keeps whatever it is resized to.
  void SetFixedWidth(int w) { m_fixedWidth = w; }

protected:
  bool CNScroll(UINT msg, WPARAM wp) override;
  void Resized() override;

private:
  bool m_inScroll = false;
  int m_fixedWidth = 0;
};

// The button width: the vertical scroll bar's width, at most 15 pixels.
int SpinButtonWidth();

}  // namespace qv::controls
