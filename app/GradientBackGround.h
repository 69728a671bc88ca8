// TGradientBackGround: a windowless background that fills its area (its
// parent's client area at creation) with a linear gradient from StartColor
// to EndColor, in 256 bands turned by Angle degrees clockwise on screen.
// The 256 x 256 picture is drawn once per colour/angle and stretched over
// the area; system colours are resolved at paint time, so a colour scheme
// change shows at the next repaint. Switches its parent to double
// buffering (it repaints the whole area on every paint).
// Example:  auto& g = panel.Make<TGradientBackGround>("GradientBck");
//           g.SetParent(&panel); g.SetStartColor(fw::clBtnShadow); g.SetEndColor(fw::clWhite);
// Tested by tests/app/display/GradientBackGround_test.cpp.
#pragma once

#include <windows.h>

#include "framework/Control.h"

namespace qv::app {

class TGradientBackGround : public fw::TGraphicControl {
public:
  explicit TGradientBackGround(fw::TComponent* owner);
  ~TGradientBackGround() override;

  fw::TColor StartColor() const { return m_startColor; }
  void SetStartColor(fw::TColor c);
  fw::TColor EndColor() const { return m_endColor; }
  void SetEndColor(fw::TColor c);
  int Angle() const { return m_angle; }
  // Repaints even when unchanged.
  void SetAngle(int degrees);

  // Side of the square the bands are drawn on: the diagonal of the 256
  // square, so the turned bands cover its centre whatever the angle.
  static constexpr int kWorkSide = 362;
  static constexpr int kSide = 256;
  // Band i of the gradient (each component start + MulDiv(i, end - start,
  // 255), modulo 256), from RGB values.
  static COLORREF BandColor(COLORREF start, COLORREF end, int i);
  // Ends of band i's segment on the work square, turned by angle degrees.
  static void BandSegment(int i, int angle, POINT& from, POINT& to);

protected:
  void Paint(fw::TCanvas& canvas) override;
  void ParentChanged(fw::TWinControl* old) override;

private:
  // The 256 x 256 picture for the present colours and angle.
  HBITMAP Picture(HDC compatible);
  void DropPicture();

  fw::TColor m_startColor = 0xFF0000;
  fw::TColor m_endColor = 0x0000FF;
  int m_angle = 0;
  HBITMAP m_picture = nullptr;
  COLORREF m_pictureStart = 0, m_pictureEnd = 0;
  int m_pictureAngle = 0;
};

}  // namespace qv::app
