// TQxSlider: an integer slider drawn from four replaceable bitmaps (a thumb
// and a ruler for each orientation). The ruler image keeps its two end
// caps and repeats its middle along the slider; a row of ticks follows the
// ruler; the thumb moves by dragging (the value snaps to MinValue plus
// multiples of Increment), by holding the mouse beside it (a step at once,
// then every 400 ms until it reaches the pointer) and by the keys Home,
// End and the arrows (steps round Value to multiples of Increment).
// Example:  auto& s = form.Make<TQxSlider>("QxSlider");
//           s.Place(&form, 8, 8, 150, 40); s.SetIncrement(1); s.SetMaxValue(10);
// A thumb image with two states holds them side by side (normal, then
// pressed or disabled). Main thread only.
// Tested by tests/controls/slider/QxSlider_test.cpp.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

enum TSliderOrientation { soHorizontal, soVertical };
enum TSliderOption : unsigned {
  soShowFocus = 1, soShowPoints = 2, soSmooth = 4, soRulerOpaque = 8, soThumbOpaque = 16
};
using TSliderOptions = unsigned;
// The bevel around the slider (the framework's cuts plus a blank space).
enum TSliderBevelStyle { bvNone, bvLowered, bvRaised, bvSpace };

// Image indexes.
enum TSliderImage { siHThumb = 0, siHRuler = 1, siVThumb = 2, siVRuler = 3 };

class TQxCustomSlider : public qv::fw::TCustomControl {
public:
  explicit TQxCustomSlider(qv::fw::TComponent* owner);
  ~TQxCustomSlider() override;

  // --- Value and range (32-bit integers)
  int32_t Value() const { return m_value; }
  void SetValue(int32_t v);
  int32_t MinValue() const { return m_minValue; }
  int32_t MaxValue() const { return m_maxValue; }
  // Refused silently when min >= max (except while loading).
  void SetMinValue(int32_t v) { ApplyRange(v, m_maxValue); }
  void SetMaxValue(int32_t v) { ApplyRange(m_minValue, v); }
  int32_t Increment() const { return m_increment; }
  // Throws ERangeError unless 0 < v <= MaxValue - MinValue.
  void SetIncrement(int32_t v);

  // --- Look
  TSliderOrientation Orientation() const { return m_orientation; }
  void SetOrientation(TSliderOrientation o);
  TSliderOptions Options() const { return m_options; }
  void SetOptions(TSliderOptions o);
  TSliderBevelStyle BevelStyle() const { return m_bevelStyle; }
  void SetBevelStyle(TSliderBevelStyle s);
  int EdgeSize() const { return m_edgeSize; }
  void SetEdgeSize(int v);
  int NumThumbStates() const { return m_numThumbStates; }
  void SetNumThumbStates(int n);  // 1 or 2

  // --- Images (index: TSliderImage)
  const qv::fw::TBitmap& Image(int index) const { return m_images.at(static_cast<size_t>(index)); }
  // Copies the bitmap in and marks it the user's; null reloads the default.
  void SetImage(int index, HBITMAP bitmap);
  bool IsUserImage(int index) const { return m_userImages.test(static_cast<size_t>(index)); }
  // Rewrites colour-table entries of an image (recolouring a thumb to the
  // system's button face) and lays the slider out again.
  void SetImageColors(int index, int first, const std::vector<qv::fw::TColor>& colors);

  // --- Derived layout (client coordinates)
  qv::fw::TRect SliderRect() const;
  // Aligned children stay inside the bevel.
  qv::fw::TRect AdjustClientRect() const override { return SliderRect(); }
  qv::fw::TRect ThumbRect() const { return m_thumbRect; }
  qv::fw::TRect RulerRect() const;
  const qv::fw::TBitmap& RulerBitmap() const { return m_ruler; }
  int Travel() const;
  // The tick row's start (y for horizontal sliders, x for vertical ones).
  int PointsOrigin() const { return m_pointsOrigin; }
  bool ThumbDragging() const { return m_thumbDragging; }
  bool PageTracking() const { return m_pageTracking; }

  // --- Events
  qv::fw::TNotifyEvent OnChange;     // every change of Value
  qv::fw::TNotifyEvent OnChanged;    // the end of a user action
  qv::fw::TNotifyEvent OnDrawPoints; // replaces the tick row
  // The canvas being painted (for OnDrawPoints); null outside painting.
  qv::fw::TCanvas* Canvas() const { return m_paintCanvas; }

  // Draws the tick row (for OnDrawPoints handlers); canvas = the control's.
  virtual void DrawRulerPoints(qv::fw::TCanvas& canvas, int32_t step, int innerLength, int endLength);

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // --- Overridable
  virtual bool AllowsUserChange() { return true; }
  virtual int32_t GetDisplayValue() { return m_value; }
  virtual void AdjustLayout();
  virtual void RangeChanged() {}
  virtual void ThumbMouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y);
  virtual void ThumbMouseMove(qv::fw::TShiftState s, int x, int y);
  virtual void ThumbMouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y);
  virtual void Change();
  virtual void Changed();

  void Paint(qv::fw::TCanvas& canvas) override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void MouseMove(qv::fw::TShiftState s, int x, int y) override;
  void MouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void Resized() override;
  void EnabledChanged() override;
  void Loaded() override;

private:
  void ApplyRange(int32_t newMin, int32_t newMax);
  void LoadDefaultImage(int index);
  void BuildRuler();
  int ThumbWidth() const;
  int ThumbHeight() const;
  int Start() const;
  int ValueToOffset(int64_t v) const;
  int32_t OffsetToValue(int offset) const;
  void MoveThumbTo(int offset);
  void PlaceThumbAt(int offset);
  void ApplyStep(int code);
  int SideOf(qv::fw::TPoint p) const;
  void TrackStep();
  void StopTracking();
  void InvalidateThumb(bool now);
  bool Horizontal() const { return m_orientation == soHorizontal; }

  std::bitset<4> m_userImages;
  std::array<qv::fw::TBitmap, 4> m_images;
  int m_edgeSize = 2;
  qv::fw::TBitmap m_ruler;
  qv::fw::TPoint m_rulerOrigin;
  qv::fw::TRect m_thumbRect;
  bool m_thumbPressed = false;
  int m_numThumbStates = 2;
  int m_pointsOrigin = 0;
  TSliderOrientation m_orientation = soHorizontal;
  TSliderOptions m_options = soShowFocus | soShowPoints | soSmooth;
  TSliderBevelStyle m_bevelStyle = bvNone;
  int m_bevelWidth = 1;
  int32_t m_minValue = 0, m_maxValue = 100, m_increment = 10, m_value = 0;
  int m_grabOffset = 0;
  bool m_thumbDragging = false, m_pageTracking = false, m_repeatActive = false;
  qv::fw::TPoint m_trackPoint;
  int m_trackSide = 0;
  bool m_constructed = false;
  bool m_clicked = false;       // a left press began on the control (for OnClick)
  bool m_doubleClick = false;   // the press being handled is a double-click
  qv::fw::TCanvas* m_paintCanvas = nullptr;
};

class TQxSlider : public TQxCustomSlider {
public:
  explicit TQxSlider(qv::fw::TComponent* owner) : TQxCustomSlider(owner) {}
};

}  // namespace qv::controls
