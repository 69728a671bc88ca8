// Drawing routines: gradient steps (rounded half to even), frames, and
// pictures drawn with a see-through colour, checked pixel by pixel.
#include "app/DisplayPaint.h"

#include <gtest/gtest.h>

#include "app/display/DisplayTestSupport.h"

using namespace qv::app;
using qv::test::MakeBitmap;
using qv::test::TPicture;

namespace {
constexpr COLORREF kMagenta = RGB(255, 0, 255), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);
}

TEST(Gradient, StepsRoundHalfToEvenFromLightToShadow) {
  const COLORREF light = RGB(255, 255, 255), shadow = RGB(240, 240, 240);
  // i x 15 / 20: 0.75, 1.5, 4.5 (down to 4), 7.5 (up to 8), 10.5 (down to 10), 14.25.
  const struct { int i, value; } rows[] = {{0, 255}, {1, 254}, {2, 253}, {6, 251}, {10, 247},
                                          {14, 245}, {19, 241}, {20, 240}};
  for (const auto& row : rows)
    EXPECT_EQ(GradientLineColor(light, shadow, row.i, 20), RGB(row.value, row.value, row.value)) << "line " << row.i;
}

TEST(Gradient, RisingComponentsAndEmptyRange) {
  // Light below shadow: L + Round((S - L) / N x i), per component.
  EXPECT_EQ(GradientLineColor(RGB(0, 100, 30), RGB(30, 40, 30), 1, 4), RGB(8, 85, 30));
  EXPECT_EQ(GradientLineColor(RGB(0, 100, 30), RGB(30, 40, 30), 3, 4), RGB(22, 55, 30));
  EXPECT_EQ(GradientLineColor(RGB(9, 9, 9), RGB(200, 0, 0), 0, 0), RGB(9, 9, 9));
}

TEST(Gradient, VerticalFillsRowsAndHorizontalFillsColumns) {
  TPicture pic(30, 20);
  PaintGradient(pic.Dc(), 30, 20, RGB(255, 255, 255), RGB(240, 240, 240), true);
  for (int y = 0; y < 20; ++y) {
    EXPECT_EQ(pic.At(0, y), GradientLineColor(RGB(255, 255, 255), RGB(240, 240, 240), y, 20));
    EXPECT_EQ(pic.At(29, y), pic.At(0, y));
  }
  PaintGradient(pic.Dc(), 30, 20, RGB(0, 0, 0), RGB(90, 60, 30), false);
  EXPECT_EQ(pic.At(0, 19), RGB(0, 0, 0));
  EXPECT_EQ(pic.At(15, 7), GradientLineColor(RGB(0, 0, 0), RGB(90, 60, 30), 15, 30));
  EXPECT_EQ(pic.At(29, 0), RGB(87, 58, 29));
}

TEST(Frame, RingsHaveTopLeftAndBottomRightColoursAndShrinkTheRectangle) {
  TPicture pic(10, 10, RGB(9, 9, 9));
  RECT r{0, 0, 10, 10};
  Frame3D(pic.Dc(), r, RGB(255, 0, 0), RGB(0, 0, 255), 2);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.bottom, 8);
  EXPECT_EQ(pic.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(pic.At(5, 0), RGB(255, 0, 0));
  EXPECT_EQ(pic.At(0, 5), RGB(255, 0, 0));
  EXPECT_EQ(pic.At(9, 0), RGB(0, 0, 255));  // the top-right corner belongs to the right side
  EXPECT_EQ(pic.At(0, 9), RGB(0, 0, 255));  // and the bottom-left one to the bottom
  EXPECT_EQ(pic.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(pic.At(8, 5), RGB(0, 0, 255));
  EXPECT_EQ(pic.At(2, 2), RGB(9, 9, 9));
}

TEST(Glyph, LowerLeftColourIsSeeThrough) {
  // Checkerboard of magenta and blue whose lower-left pixel is magenta.
  HBITMAP glyph = MakeBitmap(8, 8, [](int x, int y) { return ((x + y) % 2 == 1) ? kMagenta : kBlue; });
  ASSERT_EQ(BottomLeftPixel(glyph), kMagenta);
  TPicture pic(16, 16, kGreen);
  DrawGlyphTransparent(pic.Dc(), 3, 4, qv::fw::clDefault, glyph);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(pic.At(3 + x, 4 + y), ((x + y) % 2 == 1) ? kGreen : kBlue) << x << "," << y;
  EXPECT_EQ(pic.At(2, 4), kGreen);
  EXPECT_EQ(pic.At(11, 11), kGreen);
  DeleteObject(glyph);
}

TEST(Glyph, ExplicitColourNoneAndStretch) {
  HBITMAP glyph = MakeBitmap(4, 4, [](int x, int) { return x < 2 ? kMagenta : kBlue; });
  TPicture pic(12, 12, kGreen);
  StretchBitmapTransparent(pic.Dc(), glyph, kBlue, RECT{}, RECT{0, 0, 4, 4});
  EXPECT_EQ(pic.At(0, 0), kMagenta);
  EXPECT_EQ(pic.At(3, 0), kGreen);
  // Doubled: each source pixel covers two target pixels.
  pic.Fill(kGreen);
  StretchBitmapTransparent(pic.Dc(), glyph, kMagenta, RECT{0, 0, 4, 4}, RECT{2, 2, 10, 10});
  EXPECT_EQ(pic.At(2, 2), kGreen);
  EXPECT_EQ(pic.At(5, 9), kGreen);
  EXPECT_EQ(pic.At(6, 2), kBlue);
  EXPECT_EQ(pic.At(9, 9), kBlue);
  EXPECT_EQ(pic.At(10, 10), kGreen);
  // No see-through colour: everything is copied.
  pic.Fill(kGreen);
  StretchBitmapTransparent(pic.Dc(), glyph, qv::fw::clNone, RECT{}, RECT{});
  EXPECT_EQ(pic.At(0, 0), kMagenta);
  EXPECT_EQ(pic.At(3, 3), kBlue);
  DeleteObject(glyph);
}

TEST(Glyph, MonochromePicturesTreatWhiteAsSeeThrough) {
  // Rows alternate black and white (1 bit, word-aligned rows).
  const WORD rows[8] = {0x0000, 0xFFFF, 0x0000, 0xFFFF, 0x0000, 0xFFFF, 0x0000, 0xFFFF};
  HBITMAP mono = CreateBitmap(8, 8, 1, 1, rows);
  ASSERT_TRUE(IsMonochrome(mono));
  TPicture pic(8, 8, kGreen);
  DrawGlyphTransparent(pic.Dc(), 0, 0, RGB(255, 0, 0), mono);
  EXPECT_EQ(pic.At(4, 0), RGB(0, 0, 0));
  EXPECT_EQ(pic.At(4, 1), kGreen);
  DeleteObject(mono);
}

TEST(OwnedBitmap, KeepsItsOwnCopy) {
  HBITMAP src = MakeBitmap(5, 3, [](int, int) { return kBlue; });
  TOwnedBitmap owned;
  ASSERT_TRUE(owned.Assign(src));
  DeleteObject(src);
  EXPECT_EQ(owned.Width(), 5);
  EXPECT_EQ(owned.Height(), 3);
  EXPECT_EQ(BottomLeftPixel(owned.Handle()), kBlue);
  TOwnedBitmap moved = std::move(owned);
  EXPECT_TRUE(owned.Empty());
  EXPECT_FALSE(moved.Empty());
  EXPECT_TRUE(moved.Assign(nullptr));
  EXPECT_TRUE(moved.Empty());
  EXPECT_EQ(moved.Width(), 0);
}
