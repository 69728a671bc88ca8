// The slider in a real window, driven by posted key and mouse messages:
// steps, dragging with and without snapping, holding the mouse beside the
// thumb, the tick row as painted, the range rules, and layouts that leave no
// room (empty range, no travel, a ruler without a middle, no height), the
// copy painted for a transparent neighbour, and children inside the bevel.
#include "controls/slider/QxSlider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "framework/Form.h"
#include "services/QxConst.h"
#include "services/QxRangeError.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;
using qv::test::PumpUntil;

namespace {

// A form laid out by the test itself.
class TOpenForm : public TForm {
public:
  explicit TOpenForm(const char* className) : TForm(&App(), className) {}
  using TForm::FinishCreate;
};

class TSliderForm : public TForm {
public:
  explicit TSliderForm(int width = 150, int height = 40) : TForm(&App(), "TSliderTestForm") {
    SetClientSize(400, 200);
    Slider = &Make<TQxSlider>("Slider");
    Slider->Place(this, 10, 10, width, height);
    Slider->OnChange = [this](TComponent&) { ++changes; };
    Slider->OnChanged = [this](TComponent&) { ++ended; };
    Slider->OnClick = [this](TComponent&) { ++clicks; };
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  void Key(WORD vk) {
    PostMessageA(Slider->Handle(), WM_KEYDOWN, vk, 1);
    PostMessageA(Slider->Handle(), WM_KEYUP, vk, 0xC0000001);
    App().ProcessMessages();
  }
  void Mouse(UINT msg, WPARAM wp, int x, int y) {
    PostMessageA(Slider->Handle(), msg, wp, MAKELPARAM(x, y));
    App().ProcessMessages();
  }
  int ThumbCentreX() const { return (Slider->ThumbRect().Left + Slider->ThumbRect().Right) / 2; }
  int ThumbCentreY() const { return (Slider->ThumbRect().Top + Slider->ThumbRect().Bottom) / 2; }
  TQxSlider* Slider;
  int changes = 0, ended = 0, clicks = 0;
};

// The control as it paints itself, read back pixel by pixel.
class TSnapshot {
public:
  explicit TSnapshot(TWinControl& c) : m_w(c.Width()), m_h(c.Height()) {
    HDC screen = GetDC(nullptr);
    m_dc = CreateCompatibleDC(screen);
    m_bmp = CreateCompatibleBitmap(screen, m_w, m_h);
    ReleaseDC(nullptr, screen);
    m_old = SelectObject(m_dc, m_bmp);
    SendMessageA(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~TSnapshot() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bmp);
    DeleteDC(m_dc);
  }
  COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
  // Columns of a row painted in the colour.
  std::vector<int> Columns(int y, COLORREF c) const {
    std::vector<int> xs;
    for (int x = 0; x < m_w; ++x)
      if (At(x, y) == c) xs.push_back(x);
    return xs;
  }

private:
  int m_w, m_h;
  HDC m_dc;
  HBITMAP m_bmp;
  HGDIOBJ m_old;
};

}  // namespace

TEST(QxSlider, DefaultImagesGiveTheLayout) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  EXPECT_EQ(s.Image(siHThumb).Width(), 18);
  EXPECT_EQ(s.Image(siHThumb).Height(), 17);
  EXPECT_EQ(s.Image(siHRuler).Width(), 10);
  EXPECT_EQ(s.Image(siVThumb).Width(), 38);
  EXPECT_EQ(s.Image(siVRuler).Height(), 10);
  EXPECT_EQ(s.RulerBitmap().Width(), 150 - 12);
  EXPECT_EQ(s.Travel(), 150 - 12 - 9);
  EXPECT_EQ(s.ThumbRect().Left, 6);
  EXPECT_EQ(s.PointsOrigin(), 7 + 17);
  // The ruler keeps its end caps: its right end is the image's right end.
  EXPECT_EQ(s.RulerBitmap().Pixel(s.RulerBitmap().Width() - 1, 3), s.Image(siHRuler).Pixel(9, 3));
  EXPECT_EQ(s.RulerBitmap().Pixel(s.RulerBitmap().Width() - 2, 3), s.Image(siHRuler).Pixel(8, 3));
  EXPECT_EQ(s.RulerBitmap().Pixel(50, 3), s.Image(siHRuler).Pixel(2, 3));  // a repeated middle
}

TEST(QxSlider, KeysStepOnAGridCountedFromZero) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  s.SetMinValue(5);
  s.SetMaxValue(105);
  s.SetIncrement(10);
  s.SetValue(15);
  f.changes = 0;
  f.Key(VK_RIGHT);
  EXPECT_EQ(s.Value(), 30);
  f.Key(VK_LEFT);
  EXPECT_EQ(s.Value(), 20);
  f.Key(VK_HOME);
  EXPECT_EQ(s.Value(), 5);
  f.Key(VK_END);
  EXPECT_EQ(s.Value(), 105);
  f.Key(VK_RIGHT);  // at the end: no change, the action still ends
  EXPECT_EQ(s.Value(), 105);
  EXPECT_EQ(f.changes, 4);
  EXPECT_EQ(f.ended, 5);
  f.Key(VK_UP);  // not an arrow of a horizontal slider
  EXPECT_EQ(s.Value(), 105);
  EXPECT_EQ(f.ended, 5);
  EXPECT_EQ(SendMessageA(s.Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  s.SetOrientation(soVertical);
  EXPECT_EQ(s.Width(), 40);
  EXPECT_EQ(s.Height(), 150);
  f.Key(VK_DOWN);  // 105 / 10 rounds to 10 (ties to even)
  EXPECT_EQ(s.Value(), 90);
}

TEST(QxSlider, DraggingSnapsToMinValuePlusIncrementsUnlessSmooth) {
  TSliderForm f(112);  // a travel of 91 pixels
  TQxSlider& s = *f.Slider;
  s.SetOptions(s.Options() & ~soSmooth);
  s.SetMinValue(5);
  s.SetMaxValue(105);
  s.SetIncrement(10);
  s.SetValue(5);
  const int y = f.ThumbCentreY();
  int x = f.ThumbCentreX();
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  EXPECT_TRUE(s.ThumbDragging());
  std::set<int> seen;
  for (int dx = 1; dx <= 60; dx += 3) {
    f.Mouse(WM_MOUSEMOVE, MK_LBUTTON, x + dx, y + 7);
    seen.insert(s.Value());
  }
  for (int v : seen) EXPECT_EQ((v - 5) % 10, 0) << v;
  EXPECT_GT(seen.size(), 4u);
  EXPECT_EQ(f.ended, 0);
  f.Mouse(WM_LBUTTONUP, 0, x + 60, y);
  EXPECT_FALSE(s.ThumbDragging());
  EXPECT_EQ(f.ended, 1);
  EXPECT_EQ(f.clicks, 1);
  EXPECT_EQ(s.ThumbRect().Left, 6 + static_cast<int>(std::nearbyint(91.0 * (s.Value() - 5) / 100)));
  // Smooth: every value the pixels allow.
  s.SetOptions(s.Options() | soSmooth);
  x = f.ThumbCentreX();
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  f.Mouse(WM_MOUSEMOVE, MK_LBUTTON, x - 10, y);
  EXPECT_NE((s.Value() - 5) % 10, 0);
  f.Mouse(WM_LBUTTONUP, 0, x - 10, y);
}

TEST(QxSlider, HoldingTheMouseBesideTheThumbStepsUntilItReachesThePointer) {
  TSliderForm f(112);
  TQxSlider& s = *f.Slider;
  s.SetIncrement(1);
  s.SetMaxValue(10);
  ASSERT_EQ(s.Increment(), 1);
  const int y = f.ThumbCentreY();
  const int x = 6 + 30;  // over value 3 (9.1 pixels a step)
  // The real pointer stands there too: while the slider holds the mouse,
  // moves the system makes up (windows of other tests appearing under the
  // pointer) report where the pointer really is.
  POINT screen{x, y};
  ClientToScreen(s.Handle(), &screen);
  SetCursorPos(screen.x, screen.y);
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  EXPECT_TRUE(s.PageTracking());
  EXPECT_EQ(s.Value(), 1);
  PumpFor(250);
  EXPECT_EQ(s.Value(), 1);
  ASSERT_TRUE(PumpUntil([&] { return s.Value() == 3; }, 2000));
  PumpFor(900);
  EXPECT_EQ(s.Value(), 3);  // the thumb is under the pointer now
  EXPECT_EQ(f.ended, 0);
  f.Mouse(WM_LBUTTONUP, 0, x, y);
  EXPECT_FALSE(s.PageTracking());
  EXPECT_EQ(f.ended, 1);
  EXPECT_EQ(f.changes, 3);
  // Left of the thumb steps down; a double-click does not track.
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 8, y);
  f.Mouse(WM_LBUTTONUP, 0, 8, y);
  EXPECT_EQ(s.Value(), 2);
  f.Mouse(WM_LBUTTONDBLCLK, MK_LBUTTON, 8, y);
  f.Mouse(WM_LBUTTONUP, 0, 8, y);
  EXPECT_EQ(s.Value(), 2);
}

TEST(QxSlider, TheHandShowsOverTheThumb) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  POINT p{f.ThumbCentreX(), f.ThumbCentreY()};
  ClientToScreen(s.Handle(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(s.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(s.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), QxCursor(crGrabHand));
  p = POINT{s.Width() - 3, 2};
  ClientToScreen(s.Handle(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(s.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(s.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), QxCursor(crGrabHand));
}

TEST(QxSlider, ElevenTicksNinePixelsApartForARangeOfTen) {
  TSliderForm f(112);
  TQxSlider& s = *f.Slider;
  s.SetOptions(s.Options() & ~soShowFocus);  // no focus frame across the tick row
  s.SetIncrement(1);
  s.SetMaxValue(10);
  ASSERT_EQ(s.Travel(), 91);
  TSnapshot shot(s);
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  const auto all = shot.Columns(s.PointsOrigin(), ink);
  const auto ends = shot.Columns(s.PointsOrigin() + 4, ink);
  ASSERT_EQ(all.size(), 11u);
  EXPECT_EQ(ends, (std::vector<int>{all.front(), all.back()}));
  EXPECT_TRUE(shot.Columns(s.PointsOrigin() + 3, ink) == ends);  // inner ticks are 3 pixels long
  EXPECT_EQ(all.front(), 6 + 4);  // the thumb's centre at MinValue
  EXPECT_EQ(all.back(), 6 + 91 + 4);
}

TEST(QxSlider, TicksWidenTheirStepUntilFourPixelsApart) {
  TSliderForm f(171);  // a travel of 150 pixels
  TQxSlider& s = *f.Slider;
  s.SetOptions(s.Options() & ~soShowFocus);
  s.SetIncrement(1);
  ASSERT_EQ(s.MaxValue(), 100);
  ASSERT_EQ(s.Travel(), 150);
  TSnapshot shot(s);
  const auto all = shot.Columns(s.PointsOrigin(), GetSysColor(COLOR_WINDOWTEXT));
  ASSERT_EQ(all.size(), 34u);
  EXPECT_EQ(all.back(), 6 + 150 + 4);  // the last one forced to MaxValue
  EXPECT_EQ(all[1] - all[0], 4);       // value 3 is 4.5 pixels on
}

TEST(QxSlider, RangeAndIncrementRules) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  s.SetValue(80);
  s.SetMaxValue(50);
  EXPECT_EQ(s.Value(), 50);
  s.SetMinValue(50);  // min >= max: refused
  EXPECT_EQ(s.MinValue(), 0);
  s.SetMaxValue(4);  // below MinValue + Increment: the increment shrinks
  EXPECT_EQ(s.Increment(), 4);
  try {
    s.SetIncrement(5);
    FAIL() << "no range error";
  } catch (const ERangeError& e) {
    EXPECT_EQ(std::string(e.what()), "La valeur doit être comprise entre 1 et 4");
  }
  EXPECT_THROW(s.SetIncrement(0), ERangeError);
  EXPECT_EQ(s.Increment(), 4);
  s.SetIncrement(2);
  EXPECT_EQ(s.Increment(), 2);
}

TEST(QxSlider, ImagesCanBeReplacedRecolouredAndReset) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  TBitmap big;
  ASSERT_TRUE(big.Create(40, 30, 24));
  s.SetImage(siHThumb, big.Handle());
  EXPECT_TRUE(s.IsUserImage(siHThumb));
  EXPECT_EQ(s.ThumbRect().Width(), 20);
  s.SetOptions(s.Options() | soThumbOpaque | soRulerOpaque);
  s.SetImage(siHThumb, nullptr);
  EXPECT_FALSE(s.IsUserImage(siHThumb));
  EXPECT_EQ(s.Image(siHThumb).Width(), 18);
  EXPECT_FALSE(s.Options() & soThumbOpaque);
  EXPECT_TRUE(s.Options() & soRulerOpaque);
  // The main window's recolouring of the thumb's face.
  s.SetImageColors(siHThumb, 7, {clBtnFace});
  EXPECT_EQ(s.Image(siHThumb).ColorTable(7, 1).at(0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.Image(siHThumb).Pixel(3, 5), GetSysColor(COLOR_BTNFACE));
}

TEST(QxSlider, AnEmptyRangeAfterLoadingKeepsTheThumbAtTheStart) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  s.SetOptions(s.Options() & ~soShowFocus);
  s.BeginLoading();
  s.SetMinValue(7);
  s.SetMaxValue(7);
  s.EndLoading();
  EXPECT_EQ(s.MinValue(), 7);
  EXPECT_EQ(s.MaxValue(), 7);
  EXPECT_EQ(s.Value(), 7);
  EXPECT_EQ(s.ThumbRect().Left, 6);
  const int y = f.ThumbCentreY();
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, f.ThumbCentreX(), y);
  f.Mouse(WM_MOUSEMOVE, MK_LBUTTON, 100, y);
  f.Mouse(WM_LBUTTONUP, 0, 100, y);
  f.Key(VK_RIGHT);
  EXPECT_EQ(s.Value(), 7);
  TSnapshot shot(s);  // paints without a tick row
  EXPECT_TRUE(shot.Columns(s.PointsOrigin(), GetSysColor(COLOR_WINDOWTEXT)).empty());
}

TEST(QxSlider, NoRoomToTravelGivesMinValue) {
  TSliderForm f(20);  // ruler 8 pixels, thumb 9
  TQxSlider& s = *f.Slider;
  EXPECT_LT(s.Travel(), 0);
  s.SetValue(60);
  EXPECT_EQ(s.ThumbRect().Left, 6);
  const int y = f.ThumbCentreY();
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 8, y);
  f.Mouse(WM_MOUSEMOVE, MK_LBUTTON, 15, y);
  EXPECT_EQ(s.Value(), 0);
  f.Mouse(WM_LBUTTONUP, 0, 15, y);
  TSnapshot shot(s);
  // A thumb larger than the whole slider.
  s.SetWidth(150);
  TBitmap huge;
  ASSERT_TRUE(huge.Create(400, 20, 24));
  s.SetImage(siHThumb, huge.Handle());
  EXPECT_LT(s.Travel(), 0);
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 20, 10);
  f.Mouse(WM_MOUSEMOVE, MK_LBUTTON, 90, 10);
  f.Mouse(WM_LBUTTONUP, 0, 90, 10);
  EXPECT_EQ(s.Value(), 0);
  TSnapshot shot2(s);
}

TEST(QxSlider, ARulerWithoutAMiddleIsNotTiled) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  s.SetEdgeSize(4);  // 2 x 4 < 10: taken
  EXPECT_EQ(s.EdgeSize(), 4);
  s.SetEdgeSize(5);  // 2 x 5 = 10: refused
  EXPECT_EQ(s.EdgeSize(), 4);
  TBitmap narrow;
  ASSERT_TRUE(narrow.Create(6, 8, 24));
  s.SetImage(siHRuler, narrow.Handle());  // its middle would be -2 pixels wide
  EXPECT_EQ(s.RulerBitmap().Width(), 150 - 12);
  TSnapshot shot(s);
  s.SetImage(siHRuler, nullptr);
  EXPECT_EQ(s.RulerBitmap().Pixel(0, 3), s.Image(siHRuler).Pixel(0, 3));
}

TEST(QxSlider, AVerticalSliderWithoutHeightHasAnEmptyRuler) {
  TSliderForm f(40, 150);
  TQxSlider& s = *f.Slider;
  s.SetOrientation(soVertical);  // swaps to 150 x 40
  s.SetBounds(10, 10, 40, 8);
  EXPECT_TRUE(s.RulerBitmap().Empty());
  s.SetValue(50);
  f.Key(VK_UP);
  f.Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 10, 4);
  f.Mouse(WM_LBUTTONUP, 0, 10, 4);
  TSnapshot shot(s);
  // Tall enough again: values grow upwards.
  s.SetBounds(10, 10, 40, 150);
  s.SetValue(100);
  EXPECT_EQ(s.ThumbRect().Top, 6);
  s.SetValue(0);
  EXPECT_EQ(s.ThumbRect().Bottom, 150 - 6);
}

namespace {
// Shows a value of its own (as a slider following something else would).
class TDisplaySlider : public TQxSlider {
public:
  explicit TDisplaySlider(TComponent* owner) : TQxSlider(owner) {}
  int32_t Display = 0;

protected:
  int32_t GetDisplayValue() override { return Display; }
};

// The red columns of a row, as painted normally or as a copy.
std::vector<int> RedColumns(TQxCustomSlider& s, int y, bool copy) {
  if (copy) s.BeginPaintCopy();
  TSnapshot shot(s);
  if (copy) s.EndPaintCopy();
  return shot.Columns(y, RGB(255, 0, 0));
}
}  // namespace

TEST(QxSlider, ACopyForANeighbourShowsTheDisplayValueAndNeverThePressedThumb) {
  TOpenForm f("TSliderCopyTestForm");
  f.SetClientSize(200, 80);
  auto& s = f.Make<TDisplaySlider>("Slider");
  s.Place(&f, 10, 10, 150, 40);
  s.SetOptions(0);
  // Two 9-pixel states: red (normal), blue (pressed or disabled), on a
  // see-through magenta bottom row.
  TBitmap thumb;
  thumb.Create(18, 17, 24);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 18; ++x)
      thumb.SetPixel(x, y, y == 16 ? RGB(255, 0, 255) : x < 9 ? RGB(255, 0, 0) : RGB(0, 0, 255));
  s.SetImage(siHThumb, thumb.Handle());
  f.FinishCreate();
  f.Show();
  App().ProcessMessages();
  s.Display = 100;
  const int row = (s.ThumbRect().Top + s.ThumbRect().Bottom) / 2;
  const int start = s.ThumbRect().Left, end = start + s.Travel();
  ASSERT_GT(s.Travel(), 50);

  std::vector<int> red = RedColumns(s, row, false);
  ASSERT_EQ(red.size(), 9u);
  EXPECT_EQ(red.front(), start);
  red = RedColumns(s, row, true);
  ASSERT_EQ(red.size(), 9u);
  EXPECT_EQ(red.front(), end);

  // Pressed, the thumb turns blue on the control, not in the copy.
  PostMessageA(s.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start + 4, row));
  App().ProcessMessages();
  EXPECT_TRUE(RedColumns(s, row, false).empty());
  EXPECT_EQ(RedColumns(s, row, true).size(), 9u);
  PostMessageA(s.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(start + 4, row));
  App().ProcessMessages();
  EXPECT_EQ(RedColumns(s, row, false).size(), 9u);

  // Disabled, both show the second state.
  s.SetEnabled(false);
  EXPECT_TRUE(RedColumns(s, row, false).empty());
  EXPECT_TRUE(RedColumns(s, row, true).empty());
  s.BeginPaintCopy();
  EXPECT_EQ(TSnapshot(s).Columns(row, RGB(0, 0, 255)).front(), end);
  s.EndPaintCopy();
}

TEST(QxSlider, AlignedChildrenStayInsideTheBevel) {
  TSliderForm f;
  TQxSlider& s = *f.Slider;
  auto& child = f.Make<TPanel>("Child");
  child.Place(&s, 0, 0, 10, 10);
  child.SetAlign(TAlign::Client);
  auto bounds = [&] {
    const TRect b = child.BoundsRect();
    return std::vector<int>{b.Left, b.Top, b.Right, b.Bottom};
  };
  EXPECT_EQ(bounds(), (std::vector<int>{0, 0, 150, 40}));
  s.SetBevelStyle(bvLowered);
  EXPECT_EQ(bounds(), (std::vector<int>{1, 1, 149, 39}));
  s.SetBevelStyle(bvNone);
  EXPECT_EQ(bounds(), (std::vector<int>{0, 0, 150, 40}));
}
