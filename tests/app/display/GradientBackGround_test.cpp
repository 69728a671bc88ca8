// The gradient background: which bands show at each edge for the angles
// that matter, their colours (wrapping per component), the band geometry,
// the stretch over the area and the parent's double buffering.
#include "app/GradientBackGround.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/display/DisplayTestSupport.h"
#include "framework/ExtCtrls.h"

using namespace qv::app;
using namespace qv::test;

namespace {

// From black to white every band is the grey of its own number.
int Band(COLORREF c) { return GetRValue(c); }

struct TGradientWindow {
  explicit TGradientWindow(int angle, int w = 256, int h = 256) : form(w, h) {
    gradient = &form.Make<TGradientBackGround>("GradientTest");
    gradient->SetParent(&form);
    gradient->SetStartColor(RGB(0, 0, 0));
    gradient->SetEndColor(RGB(255, 255, 255));
    gradient->SetAngle(angle);
    form.Open();
    pic = std::make_unique<TPicture>(w, h);
    pic->PrintClient(form.Handle());
  }
  TDisplayTestForm form;
  TGradientBackGround* gradient = nullptr;
  std::unique_ptr<TPicture> pic;
};

}  // namespace

TEST(GradientBackGround, DefaultsFillTheParentFromBlueToRed) {
  TDisplayTestForm form(120, 80);
  auto& g = form.Make<TGradientBackGround>("GradientTest");
  g.SetParent(&form);
  EXPECT_EQ(g.StartColor(), static_cast<qv::fw::TColor>(0xFF0000));
  EXPECT_EQ(g.EndColor(), static_cast<qv::fw::TColor>(0x0000FF));
  EXPECT_EQ(g.Angle(), 0);
  EXPECT_TRUE(form.DoubleBuffered());
  form.Open();
  EXPECT_EQ(g.Width(), 120);
  EXPECT_EQ(g.Height(), 80);
  TPicture pic(120, 80);
  pic.PrintClient(form.Handle());
  // Blue fades out downwards while red comes in; neither end is pure.
  const COLORREF top = pic.At(60, 0), bottom = pic.At(60, 79);
  EXPECT_EQ(top, TGradientBackGround::BandColor(0xFF0000, 0x0000FF, 38));
  EXPECT_GT(GetBValue(top), GetBValue(bottom));
  EXPECT_LT(GetRValue(top), GetRValue(bottom));
}

TEST(GradientBackGround, AtAngleZeroTheRowsShowBandsThirtyEightToTwoHundredEighteen) {
  TGradientWindow w(0);
  EXPECT_EQ(Band(w.pic->At(128, 0)), 38);
  EXPECT_EQ(Band(w.pic->At(128, 255)), 218);
  int previous = -1;
  for (int y = 0; y < 256; ++y) {
    const COLORREF left = w.pic->At(0, y);
    EXPECT_EQ(left, w.pic->At(255, y)) << y;  // the bands lie flat
    EXPECT_EQ(GetRValue(left), GetBValue(left));
    EXPECT_GE(Band(left), previous) << y;
    previous = Band(left);
  }
}

TEST(GradientBackGround, AtNinetyTheBandsStandWithTheFirstOnTheRight) {
  TGradientWindow w(90);
  EXPECT_NEAR(Band(w.pic->At(255, 128)), 38, 1);
  EXPECT_NEAR(Band(w.pic->At(0, 128)), 218, 1);
  for (int x = 0; x < 256; x += 15) EXPECT_NEAR(Band(w.pic->At(x, 0)), Band(w.pic->At(x, 255)), 1) << x;
  TGradientWindow half(180);
  EXPECT_NEAR(Band(half.pic->At(128, 255)), 38, 1);
  EXPECT_NEAR(Band(half.pic->At(128, 0)), 218, 1);
}

TEST(GradientBackGround, AtFortyFiveTheCornersAreTheDarkestAndLightest) {
  TGradientWindow w(45);
  // Turned clockwise by 45 degrees, band 0 moves from the top to the top
  // right corner.
  const int topRight = Band(w.pic->At(255, 0)), bottomLeft = Band(w.pic->At(0, 255));
  EXPECT_LT(topRight, 20);
  EXPECT_GT(bottomLeft, 235);
  EXPECT_NEAR(Band(w.pic->At(0, 0)), Band(w.pic->At(255, 255)), 2);
}

TEST(GradientBackGround, TheBandColoursWrapPerComponent) {
  EXPECT_EQ(TGradientBackGround::BandColor(RGB(10, 20, 30), RGB(10, 20, 30), 200), RGB(10, 20, 30));
  EXPECT_EQ(TGradientBackGround::BandColor(RGB(0, 255, 100), RGB(255, 0, 100), 255), RGB(255, 0, 100));
  EXPECT_EQ(TGradientBackGround::BandColor(RGB(0, 255, 100), RGB(255, 0, 100), 51), RGB(51, 204, 100));
}

TEST(GradientBackGround, TheBandSegmentsCrossTheWorkSquare) {
  POINT a, b;
  TGradientBackGround::BandSegment(0, 0, a, b);
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 0);
  EXPECT_EQ(b.x, 362);
  EXPECT_EQ(b.y, 0);
  TGradientBackGround::BandSegment(128, 0, a, b);
  EXPECT_EQ(a.y, 181);
  EXPECT_EQ(b.y, 181);
  TGradientBackGround::BandSegment(0, 90, a, b);
  EXPECT_EQ(a.x, 362);
  EXPECT_EQ(b.x, 362);
  EXPECT_EQ(std::abs(b.y - a.y), 362);
}

TEST(GradientBackGround, ThePictureIsStretchedOverTheArea) {
  TGradientWindow w(0, 100, 512);
  EXPECT_EQ(Band(w.pic->At(50, 0)), 38);
  EXPECT_EQ(Band(w.pic->At(50, 511)), 218);
  EXPECT_EQ(Band(w.pic->At(50, 256)), Band(w.pic->At(50, 257)));
}

TEST(GradientBackGround, SystemColoursAreTakenAsTheyAreNow) {
  TDisplayTestForm form(60, 60);
  auto& g = form.Make<TGradientBackGround>("GradientTest");
  g.SetParent(&form);
  g.SetStartColor(qv::fw::clBtnShadow);
  g.SetEndColor(qv::fw::clBtnShadow);
  form.Open();
  TPicture pic(60, 60);
  pic.PrintClient(form.Handle());
  EXPECT_EQ(pic.At(30, 30), GetSysColor(COLOR_BTNSHADOW));
}
