// Etched separator line.
#include "app/DLine.h"

namespace qv::app {

namespace {
constexpr int kPenWidth = 1;
constexpr fw::TColor kDark = 0x808080, kLight = 0xFFFFFF;
}  // namespace

TDLine::TDLine(fw::TComponent* owner) : fw::TGraphicControl(owner) { SetBounds(0, 0, 200, 50); }

void TDLine::SetDirection(TLineDirection d) {
  if (d == m_direction) return;
  m_direction = d;
  Invalidate();
}

void TDLine::SetRailStyle(TRailStyle s) {
  if (s == m_railStyle) return;
  m_railStyle = s;
  Invalidate();
}

int TDLine::RailOffset(TRailStyle s) {
  switch (s) {
    case TRailStyle::stSunken: return 1;
    case TRailStyle::stSunkenPlus: return 2;
    case TRailStyle::stRaised: return -1;
    case TRailStyle::stRaisedPlus: return -2;
    case TRailStyle::stNone: break;
  }
  return 0;
}

void TDLine::Paint(fw::TCanvas& canvas) {
  const int d = RailOffset(m_railStyle);
  const int w = Width(), h = Height();
  if (m_direction == TLineDirection::drHoriz) {
    const int y = (h - kPenWidth) / 2;
    canvas.Line(0, y, w, y, kDark);
    if (m_railStyle != TRailStyle::stNone) canvas.Line(0, y + d, w, y + d, kLight);
  } else {
    const int x = (w - kPenWidth) / 2;
    canvas.Line(x, 0, x, h, kDark);
    if (m_railStyle != TRailStyle::stNone) canvas.Line(x + d, 0, x + d, h, kLight);
  }
}

}  // namespace qv::app
