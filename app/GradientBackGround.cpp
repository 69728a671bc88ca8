// Gradient background at any angle.
#include "app/GradientBackGround.h"

#include <cmath>

#include "framework/WinControl.h"

namespace qv::app {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Radians(double degrees) { return degrees * kPi / 180.0; }

// Round half away from zero, as the bands' ends were measured.
int RoundAway(double v) { return static_cast<int>(std::lround(v)); }

// A GDI object selected into a DC for a scope.
class TSelected {
public:
  TSelected(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
  ~TSelected() { SelectObject(m_dc, m_old); }
  TSelected(const TSelected&) = delete;
  TSelected& operator=(const TSelected&) = delete;

private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// A 32-bit picture: exact colours whatever the screen's depth.
HBITMAP MakeSection(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

TGradientBackGround::TGradientBackGround(fw::TComponent* owner) : fw::TGraphicControl(owner) {
  SetAlign(fw::TAlign::Client);
}

TGradientBackGround::~TGradientBackGround() { DropPicture(); }

void TGradientBackGround::SetStartColor(fw::TColor c) {
  if (c == m_startColor) return;
  m_startColor = c;
  Invalidate();
}

void TGradientBackGround::SetEndColor(fw::TColor c) {
  if (c == m_endColor) return;
  m_endColor = c;
  Invalidate();
}

void TGradientBackGround::SetAngle(int degrees) {
  m_angle = degrees;
  Invalidate();
}

void TGradientBackGround::ParentChanged(fw::TWinControl*) {
  // Every paint covers the whole area: without a buffer it flickers.
  if (fw::TWinControl* p = Parent()) p->SetDoubleBuffered(true);
}

COLORREF TGradientBackGround::BandColor(COLORREF start, COLORREF end, int i) {
  auto part = [i](int s, int e) { return (s + MulDiv(i, e - s, 255)) & 0xFF; };
  return RGB(part(GetRValue(start), GetRValue(end)), part(GetGValue(start), GetGValue(end)),
             part(GetBValue(start), GetBValue(end)));
}

void TGradientBackGround::BandSegment(int i, int angle, POINT& from, POINT& to) {
  const int c = RoundAway(kWorkSide / 2.0);
  const int y = MulDiv(i, kWorkSide, kSide);
  // The horizontal segment (0, y)-(side, y) as two ends at radius r from
  // the centre, at theta + 180 and 180 - theta degrees; both turn by angle.
  const double dy = static_cast<double>(c - y);
  const double theta = std::atan2(dy, static_cast<double>(c)) * 180.0 / kPi;
  const double r = static_cast<double>(RoundAway(std::sqrt(static_cast<double>(c) * c + dy * dy)));
  const double a1 = Radians(angle + theta + 180.0), a2 = Radians(angle + 180.0 - theta + 180.0);
  from = POINT{RoundAway(std::cos(a1) * r) + c, RoundAway(std::sin(a1) * r) + c};
  to = POINT{RoundAway(std::cos(a2) * r) + c, RoundAway(std::sin(a2) * r) + c};
}

void TGradientBackGround::DropPicture() {
  if (m_picture) DeleteObject(m_picture);
  m_picture = nullptr;
}

HBITMAP TGradientBackGround::Picture(HDC compatible) {
  const COLORREF start = fw::ColorToRGB(m_startColor), end = fw::ColorToRGB(m_endColor);
  if (m_picture && start == m_pictureStart && end == m_pictureEnd && m_angle == m_pictureAngle) return m_picture;
  DropPicture();

  HDC work = CreateCompatibleDC(compatible);
  HDC result = CreateCompatibleDC(compatible);
  HBITMAP workBmp = MakeSection(kWorkSide, kWorkSide);
  HBITMAP resultBmp = MakeSection(kSide, kSide);
  if (work && result && workBmp && resultBmp) {
    {
      TSelected workSel(work, workBmp);
      TSelected resultSel(result, resultBmp);
      SetROP2(work, R2_COPYPEN);
      for (int i = 0; i < kSide; ++i) {
        POINT from, to;
        BandSegment(i, m_angle, from, to);
        HPEN pen = CreatePen(PS_SOLID, 3, BandColor(start, end, i));
        {
          TSelected penSel(work, pen);
          MoveToEx(work, from.x, from.y, nullptr);
          LineTo(work, to.x, to.y);
        }
        DeleteObject(pen);
      }
      const int offset = (kWorkSide - kSide) / 2;
      BitBlt(result, 0, 0, kSide, kSide, work, offset, offset, SRCCOPY);
    }
    m_picture = resultBmp;
    resultBmp = nullptr;
    m_pictureStart = start;
    m_pictureEnd = end;
    m_pictureAngle = m_angle;
  }
  if (resultBmp) DeleteObject(resultBmp);
  if (workBmp) DeleteObject(workBmp);
  if (result) DeleteDC(result);
  if (work) DeleteDC(work);
  return m_picture;
}

void TGradientBackGround::Paint(fw::TCanvas& canvas) {
  HDC dc = canvas.Handle();
  HBITMAP picture = Picture(dc);
  if (!picture) return;
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) return;
  {
    TSelected sel(mem, picture);
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, Width(), Height(), mem, 0, 0, kSide, kSide, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  }
  DeleteDC(mem);
}

}  // namespace qv::app
