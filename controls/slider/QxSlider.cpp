// The slider: layout from its images, value and offset mapping, steps,
// keyboard and mouse, painting.
#include "controls/slider/QxSlider.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "services/QxConst.h"
#include "services/QxRangeError.h"
#include "services/QxVclUtils.h"

namespace qv::controls {

using qv::fw::TBitmap;
using qv::fw::TCanvas;
using qv::fw::TComponent;
using qv::fw::TMouseButton;
using qv::fw::TPoint;
using qv::fw::TRect;
using qv::fw::TShiftState;

namespace {

constexpr UINT_PTR kTrackTimer = 1;
constexpr UINT kTrackInterval = 400;
const char* const kDefaultImages[4] = {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"};

// Rounding of the slider's arithmetic: to nearest, ties to even.
int64_t RoundEven(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

int64_t Clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

TQxCustomSlider::TQxCustomSlider(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 40);
  SetTabStop(true);
  for (int i = 0; i < 4; ++i) LoadDefaultImage(i);
  m_constructed = true;
  AdjustLayout();
}

TQxCustomSlider::~TQxCustomSlider() {
  OnChange = nullptr;
  OnChanged = nullptr;
  OnDrawPoints = nullptr;
}

// --- Images

void TQxCustomSlider::LoadDefaultImage(int index) {
  TBitmap& img = m_images.at(static_cast<size_t>(index));
  if (!img.LoadFromResource(GetModuleHandleA(nullptr), kDefaultImages[index])) img.Clear();
}

void TQxCustomSlider::SetImage(int index, HBITMAP bitmap) {
  if (index < 0 || index > 3) return;
  const auto i = static_cast<size_t>(index);
  if (bitmap && m_images[i].CopyFrom(bitmap)) {
    m_userImages.set(i);
  } else {
    LoadDefaultImage(index);
    m_userImages.reset(i);
    if (!Loading()) {
      m_options &= ~static_cast<unsigned>(index == siHThumb || index == siVThumb ? soThumbOpaque : soRulerOpaque);
      Invalidate();
    }
  }
  if (m_constructed) AdjustLayout();
}

void TQxCustomSlider::SetImageColors(int index, int first, const std::vector<qv::fw::TColor>& colors) {
  if (index < 0 || index > 3) return;
  m_images[static_cast<size_t>(index)].SetColorTable(first, colors);
  AdjustLayout();
}

// --- Derived values

TRect TQxCustomSlider::SliderRect() const {
  TRect r{0, 0, Width(), Height()};
  if (m_bevelStyle != bvNone) {
    r.Left += m_bevelWidth;
    r.Top += m_bevelWidth;
    r.Right -= m_bevelWidth;
    r.Bottom -= m_bevelWidth;
  }
  return r;
}

int TQxCustomSlider::ThumbWidth() const {
  const TBitmap& img = m_images[Horizontal() ? siHThumb : siVThumb];
  return img.Width() / m_numThumbStates;
}

int TQxCustomSlider::ThumbHeight() const { return m_images[Horizontal() ? siHThumb : siVThumb].Height(); }

int TQxCustomSlider::Travel() const {
  return Horizontal() ? m_ruler.Width() - ThumbWidth() : m_ruler.Height() - ThumbHeight();
}

int TQxCustomSlider::Start() const {
  const TRect r = SliderRect();
  return (Horizontal() ? r.Left : r.Top) + 6;
}

TRect TQxCustomSlider::RulerRect() const {
  return TRect::Bounds(m_rulerOrigin.X, m_rulerOrigin.Y, m_ruler.Width(), m_ruler.Height());
}

// --- Layout

void TQxCustomSlider::BuildRuler() {
  const TRect r = SliderRect();
  TBitmap& img = m_images[Horizontal() ? siHRuler : siVRuler];
  // A slider smaller than its margins gets an empty ruler, not a negative one.
  const int w = Horizontal() ? std::max(0, r.Width() - 12) : img.Width();
  const int h = Horizontal() ? img.Height() : std::max(0, r.Height() - 12);
  const int bpp = img.BitsPerPixel() <= 8 ? img.BitsPerPixel() : 24;
  if (img.Empty() || w <= 0 || h <= 0 || !m_ruler.Create(w, h, bpp)) {
    m_ruler.Clear();
    return;
  }
  if (bpp <= 8) {
    std::vector<qv::fw::TColor> table;
    for (COLORREF c : img.ColorTable()) table.push_back(c);
    m_ruler.SetColorTable(0, table);
  }
  HDC dst = m_ruler.Dc();
  HDC src = img.Dc();
  const bool hz = Horizontal();
  auto copy = [&](int from, int to, int length) {
    if (length <= 0) return;
    if (hz) BitBlt(dst, to, 0, length, h, src, from, 0, SRCCOPY);
    else BitBlt(dst, 0, to, w, length, src, 0, from, SRCCOPY);
  };
  const int length = hz ? w : h, imageLength = hz ? img.Width() : img.Height();
  const int edge = m_edgeSize, tile = imageLength - 2 * edge;
  // The end caps stay, the middle repeats; a middle of no width is not tiled.
  copy(0, 0, imageLength - edge);
  if (tile > 0 && edge >= 0) {
    const int pieces = std::max(0, (length - 2 * edge) / tile);
    for (int i = 1; i < pieces; ++i) copy(edge, edge + i * tile, tile);
    const int last = length - edge - pieces * tile;  // edge + remainder
    copy(imageLength - last, edge + pieces * tile, std::min(last, imageLength));
  }
  m_ruler.Dormant();
  img.Dormant();
}

void TQxCustomSlider::AdjustLayout() {
  BuildRuler();
  const TRect r = SliderRect();
  const int tw = ThumbWidth(), th = ThumbHeight();
  const TBitmap& rulerImage = m_images[Horizontal() ? siHRuler : siVRuler];
  const int rw = m_ruler.Empty() ? rulerImage.Width() : m_ruler.Width();
  const int rh = m_ruler.Empty() ? rulerImage.Height() : m_ruler.Height();
  if (Horizontal()) {
    int thumbTop;
    if (rh < th) {
      thumbTop = r.Top + 6;
      m_rulerOrigin = TPoint{r.Left + 6, r.Top + 6 + (th - rh) / 2};
    } else {
      m_rulerOrigin = TPoint{r.Left + 6, r.Top + 6};
      thumbTop = r.Top + 6 + (rh - th) / 2;
    }
    m_thumbRect = TRect::Bounds(m_thumbRect.Left, thumbTop, tw, th);
    m_pointsOrigin = r.Top + 7 + std::max(th, rh);
  } else {
    int thumbLeft;
    if (rw < tw) {
      thumbLeft = r.Left + 6;
      m_rulerOrigin = TPoint{r.Left + 6 + (tw - rw) / 2, r.Top + 6};
    } else {
      m_rulerOrigin = TPoint{r.Left + 6, r.Top + 6};
      thumbLeft = r.Left + 6 + (rw - tw) / 2;
    }
    m_thumbRect = TRect::Bounds(thumbLeft, m_thumbRect.Top, tw, th);
    m_pointsOrigin = r.Left + 7 + std::max(tw, rw);
  }
  SetValue(m_value);
  PlaceThumbAt(ValueToOffset(m_value));
  Invalidate();
}

void TQxCustomSlider::Resized() {
  if (m_constructed && !Loading()) AdjustLayout();
  TCustomControl::Resized();
}

void TQxCustomSlider::Loaded() {
  TCustomControl::Loaded();
  AdjustLayout();
}

// --- Value and offset

int TQxCustomSlider::ValueToOffset(int64_t v) const {
  const int64_t range = static_cast<int64_t>(m_maxValue) - m_minValue;
  const int travel = Travel();
  // An empty range or no room to travel puts the thumb at the start.
  const double x = range > 0 && travel > 0 ? static_cast<double>(travel) * static_cast<double>(v - m_minValue) / range : 0;
  int offset;
  if (Horizontal()) offset = Start() + static_cast<int>(RoundEven(x));
  else offset = SliderRect().Bottom - 6 - static_cast<int>(RoundEven(x)) - ThumbHeight();
  return std::max(offset, Start());
}

int32_t TQxCustomSlider::OffsetToValue(int offset) const {
  if (!Horizontal()) offset = ClientRect().Height() - offset - ThumbHeight();
  const int64_t range = static_cast<int64_t>(m_maxValue) - m_minValue;
  const int travel = Travel();
  if (travel <= 0 || range <= 0) return m_minValue;
  const double x = static_cast<double>(offset - Start()) * static_cast<double>(range) / travel;
  int64_t r;
  if (m_options & soSmooth) {
    r = RoundEven(x);
  } else {
    const int64_t inc = m_increment > 0 ? m_increment : 1;
    r = inc * RoundEven(static_cast<double>(RoundEven(x)) / static_cast<double>(inc));
  }
  if (r < 0) r = 0;
  return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(m_minValue) + r, m_maxValue));
}

void TQxCustomSlider::InvalidateThumb(bool now) {
  HWND h = HandleIfAllocated();
  if (!h || Destroying()) return;
  RECT rc = m_thumbRect.ToRECT();
  InvalidateRect(h, &rc, FALSE);
  if (now) UpdateWindow(h);
}

void TQxCustomSlider::PlaceThumbAt(int offset) {
  InvalidateThumb(false);
  if (Horizontal()) m_thumbRect = TRect::Bounds(offset, m_thumbRect.Top, m_thumbRect.Width(), m_thumbRect.Height());
  else m_thumbRect = TRect::Bounds(m_thumbRect.Left, offset, m_thumbRect.Width(), m_thumbRect.Height());
  InvalidateThumb(false);
}

void TQxCustomSlider::MoveThumbTo(int offset) {
  const int lo = Start(), hi = Start() + std::max(0, Travel());
  offset = std::clamp(offset, lo, hi);
  offset = std::clamp(ValueToOffset(OffsetToValue(offset)), lo, hi);
  PlaceThumbAt(offset);
  if (m_thumbDragging) {
    const int32_t v = OffsetToValue(offset);
    if (v != m_value) {
      m_value = v;
      Change();
    }
  }
}

void TQxCustomSlider::SetValue(int32_t v) {
  v = static_cast<int32_t>(Clamp64(v, m_minValue, std::max(m_minValue, m_maxValue)));
  const int32_t old = m_value;
  m_value = v;
  PlaceThumbAt(ValueToOffset(v));
  if (v != old) Change();
}

void TQxCustomSlider::ApplyRange(int32_t newMin, int32_t newMax) {
  if (newMin >= newMax && !Loading()) return;
  m_minValue = newMin;
  m_maxValue = newMax;
  if (!Loading() && static_cast<int64_t>(newMax) < static_cast<int64_t>(newMin) + m_increment)
    m_increment = newMax - newMin;
  if (m_options & soShowPoints) Invalidate();
  SetValue(m_value);
  RangeChanged();
}

void TQxCustomSlider::SetIncrement(int32_t v) {
  const int64_t range = static_cast<int64_t>(m_maxValue) - m_minValue;
  if (Loading() || (v > 0 && v <= range)) {
    if (v > 0 && v != m_increment) {
      m_increment = v;
      SetValue(m_value);
      Invalidate();
    }
    return;
  }
  throw ERangeError(RangeErrorText("1", std::to_string(range)));
}

// --- Other properties

void TQxCustomSlider::SetOrientation(TSliderOrientation o) {
  if (o == m_orientation) return;
  m_orientation = o;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  AdjustLayout();
}

void TQxCustomSlider::SetOptions(TSliderOptions o) {
  if (o == m_options) return;
  m_options = o;
  Invalidate();
}

void TQxCustomSlider::SetBevelStyle(TSliderBevelStyle s) {
  if (s == m_bevelStyle) return;
  m_bevelStyle = s;
  AdjustLayout();
  Realign();  // the bevel bounds the aligned children
  if (HWND h = HandleIfAllocated()) UpdateWindow(h);
}

void TQxCustomSlider::SetEdgeSize(int v) {
  if (v == m_edgeSize) return;
  const TBitmap& ruler = m_images[Horizontal() ? siHRuler : siVRuler];
  const int length = Horizontal() ? ruler.Width() : ruler.Height();
  if (v < 0 || 2 * v >= length) return;
  m_edgeSize = v;
  AdjustLayout();
}

void TQxCustomSlider::SetNumThumbStates(int n) {
  n = std::clamp(n, 1, 2);
  if (n == m_numThumbStates) return;
  m_numThumbStates = n;
  AdjustLayout();
}

void TQxCustomSlider::Change() {
  if (OnChange) OnChange(*this);
}

void TQxCustomSlider::Changed() {
  if (OnChanged) OnChanged(*this);
}

void TQxCustomSlider::EnabledChanged() {
  TCustomControl::EnabledChanged();
  InvalidateThumb(false);
}

// --- Steps and keys

void TQxCustomSlider::ApplyStep(int code) {
  const int64_t inc = m_increment > 0 ? m_increment : 1;
  // The grid of key and click steps is counted from 0, not from MinValue.
  const int64_t snapped = inc * RoundEven(static_cast<double>(m_value) / static_cast<double>(inc));
  int64_t v;
  switch (code) {
    case 1: v = m_minValue; break;
    case 2: v = m_maxValue; break;
    case 3: v = snapped + inc; break;
    case 4: v = snapped - inc; break;
    default: return;
  }
  v = Clamp64(v, m_minValue, std::max(m_minValue, m_maxValue));
  if (v != m_value) SetValue(static_cast<int32_t>(v));
}

void TQxCustomSlider::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0 || shift.Shift || shift.Ctrl || shift.Alt) return;
  int code = 0;
  switch (key) {
    case VK_HOME: code = 1; break;
    case VK_END: code = 2; break;
    case VK_LEFT: code = Horizontal() ? 4 : 0; break;
    case VK_RIGHT: code = Horizontal() ? 3 : 0; break;
    case VK_UP: code = Horizontal() ? 0 : 3; break;
    case VK_DOWN: code = Horizontal() ? 0 : 4; break;
    default: break;
  }
  if (code == 0 || !AllowsUserChange()) return;
  key = 0;
  ApplyStep(code);
  Changed();
}

// --- Mouse

int TQxCustomSlider::SideOf(TPoint p) const {
  if (Horizontal()) return p.X < m_thumbRect.Left ? 4 : p.X > m_thumbRect.Right ? 3 : 0;
  return p.Y < m_thumbRect.Top ? 3 : p.Y > m_thumbRect.Bottom ? 4 : 0;
}

void TQxCustomSlider::TrackStep() {
  if (!m_pageTracking || m_trackSide == 0 || SideOf(m_trackPoint) != m_trackSide) return;
  ApplyStep(m_trackSide);
  if (!m_repeatActive && HandleAllocated()) {
    SetTimer(HandleIfAllocated(), kTrackTimer, kTrackInterval, nullptr);
    m_repeatActive = true;
  }
}

void TQxCustomSlider::StopTracking() {
  if (m_repeatActive) {
    if (HWND h = HandleIfAllocated()) KillTimer(h, kTrackTimer);
    m_repeatActive = false;
  }
  if (m_pageTracking) {
    m_pageTracking = false;
    if (HWND h = HandleIfAllocated(); h && GetCapture() == h) ReleaseCapture();
    Changed();
  }
}

void TQxCustomSlider::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (HWND h = HandleIfAllocated()) SetCapture(h);
  if (b == TMouseButton::Left && !m_doubleClick) {
    m_clicked = true;
    if (CanFocus() && !Focused()) SetFocus();
    const TPoint p{x, y};
    TRect ruler = RulerRect();
    if (Horizontal()) {
      ruler.Top -= 3;
      ruler.Bottom += 3;
    } else {
      ruler.Left -= 3;
      ruler.Right += 3;
    }
    if (PointInsideRect(p, m_thumbRect)) {
      ThumbMouseDown(b, s, x, y);
    } else if (PointInsideRect(p, ruler) && AllowsUserChange()) {
      m_pageTracking = true;
      m_trackPoint = p;
      m_trackSide = SideOf(p);
      TrackStep();
    }
  }
  TCustomControl::MouseDown(b, s, x, y);
}

void TQxCustomSlider::MouseMove(TShiftState s, int x, int y) {
  if (s.Left && m_thumbDragging) ThumbMouseMove(s, x, y);
  else if (m_pageTracking) m_trackPoint = TPoint{x, y};
  TCustomControl::MouseMove(s, x, y);
}

void TQxCustomSlider::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (b == TMouseButton::Left) {
    StopTracking();
    if (m_thumbDragging) ThumbMouseUp(b, s, x, y);
  }
  if (HWND h = HandleIfAllocated(); h && GetCapture() == h) ReleaseCapture();
  TCustomControl::MouseUp(b, s, x, y);
}

void TQxCustomSlider::ThumbMouseDown(TMouseButton b, TShiftState, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  if (b != TMouseButton::Left || !AllowsUserChange()) return;
  m_thumbDragging = true;
  m_thumbPressed = true;
  m_grabOffset = Horizontal() ? x - m_thumbRect.Left : y - m_thumbRect.Top;
  InvalidateThumb(true);
}

void TQxCustomSlider::ThumbMouseMove(TShiftState s, int x, int y) {
  if (s.Left && AllowsUserChange()) MoveThumbTo((Horizontal() ? x : y) - m_grabOffset);
}

void TQxCustomSlider::ThumbMouseUp(TMouseButton b, TShiftState, int, int) {
  if (b != TMouseButton::Left) return;
  m_thumbDragging = false;
  m_thumbPressed = false;
  InvalidateThumb(true);
  if (AllowsUserChange()) Changed();
}

LRESULT TQxCustomSlider::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_TIMER:
      if (wp == kTrackTimer) {
        TrackStep();
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK: {
      m_doubleClick = true;
      LRESULT r = 0;
      try {
        r = TCustomControl::WndProc(msg, wp, lp);
      } catch (...) {
        m_doubleClick = false;
        throw;
      }
      m_doubleClick = false;
      return r;
    }
    case WM_LBUTTONUP:
      // A click is a press and a release inside, reported before the release.
      if (m_clicked) {
        m_clicked = false;
        const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        if (x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
      }
      break;
    case WM_CAPTURECHANGED:
      // The mouse taken away (a window opened) ends a drag or a tracking.
      if (reinterpret_cast<HWND>(lp) != HandleIfAllocated()) {
        m_clicked = false;
        StopTracking();
        if (m_thumbDragging) ThumbMouseUp(TMouseButton::Left, TShiftState{}, 0, 0);
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == HandleIfAllocated() && LOWORD(lp) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ::ScreenToClient(HandleIfAllocated(), &pt);
        if (PointInsideRect(TPoint{pt.x, pt.y}, m_thumbRect)) {
          if (HCURSOR hand = QxCursor(crGrabHand)) {
            ::SetCursor(hand);
            return TRUE;
          }
        }
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT r = TCustomControl::WndProc(msg, wp, lp);
      if (m_options & soShowFocus) Invalidate();
      return r;
    }
    default:
      break;
  }
  return TCustomControl::WndProc(msg, wp, lp);
}

// --- Painting

void TQxCustomSlider::DrawRulerPoints(TCanvas& canvas, int32_t step, int innerLength, int endLength) {
  const int64_t range = static_cast<int64_t>(m_maxValue) - m_minValue;
  const int travel = Travel();
  if (range <= 0 || step <= 0 || travel <= 0) return;
  // Widen the step until the points stand 4 pixels apart or one interval
  // spans the travel. Both tests only improve as the factor grows, so the
  // search may start from a bound below the first factor that passes.
  const double byGap = static_cast<double>(range) / (static_cast<double>(step) * (travel / 4.0 + 0.5));
  const double bySpan = static_cast<double>(range) / (1.5 * step);
  int64_t m = std::max<int64_t>(1, static_cast<int64_t>(std::min(byGap, bySpan)));
  int64_t count = 1;
  for (;; ++m) {
    count = RoundEven(static_cast<double>(range) / (static_cast<double>(step) * m)) + 1;
    const int64_t spacing = count > 1 ? travel / (count - 1) : travel;
    if (spacing >= 4 || count <= 2) break;
  }
  HDC dc = canvas.Handle();
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, pen);
  const int half = Horizontal() ? ThumbWidth() / 2 : ThumbHeight() / 2;
  for (int64_t i = 0; i < count; ++i) {
    int64_t v = i == count - 1 ? m_maxValue : m_minValue + i * step * m;
    v = std::min<int64_t>(v, m_maxValue);
    const int length = v == m_minValue || v == m_maxValue ? endLength : innerLength;
    const int pos = ValueToOffset(v) + half;
    if (Horizontal()) {
      MoveToEx(dc, pos, m_pointsOrigin, nullptr);
      LineTo(dc, pos, m_pointsOrigin + length);
    } else {
      MoveToEx(dc, m_pointsOrigin, pos, nullptr);
      LineTo(dc, m_pointsOrigin + length, pos);
    }
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void TQxCustomSlider::Paint(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  const int w = Width(), h = Height();
  if (m_bevelStyle != bvNone) {
    const bool lowered = m_bevelStyle == bvLowered;
    const qv::fw::TColor topLeft = lowered ? qv::fw::clBtnShadow : qv::fw::clBtnHighlight;
    const qv::fw::TColor bottomRight = lowered ? qv::fw::clBtnHighlight : qv::fw::clBtnShadow;
    for (int i = 0; i < m_bevelWidth; ++i) {
      canvas.FillRect(TRect{i, i, w - i, i + 1}, topLeft);
      canvas.FillRect(TRect{i, i, i + 1, h - i}, topLeft);
      canvas.FillRect(TRect{i, h - i - 1, w - i, h - i}, bottomRight);
      canvas.FillRect(TRect{w - i - 1, i, w - i, h - i}, bottomRight);
    }
  }
  const TRect inner = SliderRect();
  canvas.FillRect(inner, EffectiveColor());
  if (!m_ruler.Empty()) {
    if (m_options & soRulerOpaque) {
      BitBlt(dc, m_rulerOrigin.X, m_rulerOrigin.Y, m_ruler.Width(), m_ruler.Height(), m_ruler.Dc(), 0, 0, SRCCOPY);
      m_ruler.Dormant();
    } else {
      DrawTransparent(canvas, m_rulerOrigin.X, m_rulerOrigin.Y, m_ruler, qv::fw::clDefault);
    }
  }
  if ((m_options & soShowFocus) && Focused()) {
    RECT fr{inner.Left + 2, inner.Top + 2, inner.Right - 2, inner.Bottom - 2};
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &fr);
  }
  if (m_options & soShowPoints) {
    if (OnDrawPoints) {
      m_paintCanvas = &canvas;
      try {
        OnDrawPoints(*this);
      } catch (...) {
        m_paintCanvas = nullptr;
        throw;
      }
      m_paintCanvas = nullptr;
    } else {
      DrawRulerPoints(canvas, m_increment, 3, 5);
    }
  }
  TBitmap& thumb = m_images[Horizontal() ? siHThumb : siVThumb];
  if (!thumb.Empty()) {
    const int tw = ThumbWidth(), th = ThumbHeight();
    // A copy shown behind a transparent neighbour is the value on display
    // (not a drag in progress), and never pressed.
    const bool copy = PaintingCopy();
    qv::fw::TPoint at{m_thumbRect.Left, m_thumbRect.Top};
    if (copy) {
      const int offset = ValueToOffset(std::clamp(GetDisplayValue(), m_minValue, m_maxValue));
      (Horizontal() ? at.X : at.Y) = offset;
    }
    const bool second = copy ? !Enabled() : m_thumbPressed || !Enabled();
    const int state = m_numThumbStates == 2 && second ? 1 : 0;
    const TRect source{state * tw, 0, state * tw + tw, th};
    if (m_options & soThumbOpaque) {
      BitBlt(dc, at.X, at.Y, tw, th, thumb.Dc(), source.Left, 0, SRCCOPY);
      thumb.Dormant();
    } else {
      DrawRectTransparent(canvas, at.X, at.Y, source, thumb, qv::fw::clDefault);
    }
  }
}

}  // namespace qv::controls
