// The title picture comes out of the program's resources as a GIF decoded
// by our own reader; anything else in its place gives no picture, not a
// crash.
#include "app/TitleImage.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qv::app;

namespace {

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

}  // namespace

TEST(TitleImage, TheResourceDecodesWithItsSeeThroughCornerAndItsText) {
  HBITMAP bmp = LoadTitleImage();
  ASSERT_NE(bmp, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(bmp, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 220);
  EXPECT_EQ(info.bmHeight, 36);
  EXPECT_EQ(PixelOf(bmp, 0, 35), RGB(255, 0, 255));
  // The underline and the lettering are there.
  EXPECT_EQ(PixelOf(bmp, 100, 32), RGB(0xf2, 0x9d, 0x1d));
  int blue = 0;
  for (int y = 0; y < 36; ++y)
    for (int x = 0; x < 220; ++x) blue += PixelOf(bmp, x, y) == RGB(0x1f, 0x4e, 0x99);
  EXPECT_GT(blue, 300);
  DeleteObject(bmp);
}

TEST(TitleImage, DataThatIsNoPictureGivesNone) {
  EXPECT_EQ(DecodeGifPicture(nullptr, 0), nullptr);
  const std::vector<uint8_t> junk = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  EXPECT_EQ(DecodeGifPicture(junk.data(), junk.size()), nullptr);
  // A header that promises a picture and stops there.
  const std::vector<uint8_t> cut = {'G', 'I', 'F', '8', '9', 'a', 220, 0, 36, 0, 0x80, 0, 0};
  EXPECT_EQ(DecodeGifPicture(cut.data(), cut.size()), nullptr);
}
