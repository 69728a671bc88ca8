// The texture background: tiles from the top-left corner, fills its form,
// shows behind transparent child windows, and empties on a null picture.
#include "app/OndrelWallpaper.h"

#include <gtest/gtest.h>

#include "app/ASLink.h"
#include "app/display/DisplayTestSupport.h"

using namespace qv::app;
using namespace qv::test;

namespace {
constexpr COLORREF kMark = RGB(255, 0, 0), kCorner = RGB(0, 0, 255), kBody = RGB(0, 128, 0);

// 50 x 50: its origin pixel red, its far corner blue, the rest green.
HBITMAP Tile() {
  return MakeBitmap(50, 50, [](int x, int y) {
    if (x == 0 && y == 0) return kMark;
    if (x == 49 && y == 49) return kCorner;
    return kBody;
  });
}
}  // namespace

TEST(Wallpaper, TilesThreeByTwoOverAHundredTwentyBySeventy) {
  TDisplayTestForm form(120, 70);
  auto& wallpaper = form.Make<TOndrelWallpaper>("WallpaperTest");
  wallpaper.SetParent(&form);
  HBITMAP tile = Tile();
  wallpaper.SetBitmap(tile);
  DeleteObject(tile);  // the wallpaper keeps its own copy
  form.Open();
  ASSERT_EQ(wallpaper.Width(), 120);
  ASSERT_EQ(wallpaper.Height(), 70);

  TPicture pic(120, 70);
  pic.PrintClient(form.Handle());
  for (int ty = 0; ty < 2; ++ty)
    for (int tx = 0; tx < 3; ++tx) EXPECT_EQ(pic.At(tx * 50, ty * 50), kMark) << tx << "," << ty;
  EXPECT_EQ(pic.At(49, 49), kCorner);
  EXPECT_EQ(pic.At(99, 49), kCorner);
  EXPECT_EQ(pic.At(119, 69), kBody);  // the last copies are cut
  EXPECT_EQ(pic.At(60, 60), kBody);
}

TEST(Wallpaper, TransparentChildWindowsShowItBehindThem) {
  TDisplayTestForm form(120, 70);
  auto& wallpaper = form.Make<TOndrelWallpaper>("WallpaperTest");
  wallpaper.SetParent(&form);
  HBITMAP tile = Tile();
  wallpaper.SetBitmap(tile);
  DeleteObject(tile);
  auto& link = form.Make<TASLink>("LinkTest");
  link.Place(&form, 49, 49, 30, 17);
  link.SetAutoSize(false);
  form.Open();

  TPicture pic(30, 17);
  pic.PrintClient(link.Handle());
  EXPECT_EQ(pic.At(0, 0), kCorner);  // form (49,49)
  EXPECT_EQ(pic.At(1, 1), kMark);    // form (50,50)
  EXPECT_EQ(pic.At(29, 16), kBody);

  // Hiding the texture repaints the children that showed it.
  form.SetColor(RGB(10, 20, 30));
  form.Pump();
  ASSERT_FALSE(GetUpdateRect(link.Handle(), nullptr, FALSE));
  wallpaper.SetVisible(false);
  EXPECT_TRUE(GetUpdateRect(link.Handle(), nullptr, FALSE));
  pic.PrintClient(link.Handle());
  EXPECT_EQ(pic.At(0, 0), RGB(10, 20, 30));
}

TEST(Wallpaper, EmptyPictureDrawsNothingAndFollowsTheFormSize) {
  TDisplayTestForm form(80, 40);
  form.SetColor(RGB(10, 20, 30));
  auto& wallpaper = form.Make<TOndrelWallpaper>("WallpaperTest");
  wallpaper.SetParent(&form);
  HBITMAP tile = Tile();
  wallpaper.SetBitmap(tile);
  DeleteObject(tile);
  wallpaper.SetBitmap(nullptr);
  EXPECT_EQ(wallpaper.BitmapWidth(), 0);
  EXPECT_EQ(wallpaper.BitmapHeight(), 0);
  form.Open();
  TPicture pic(80, 40);
  pic.PrintClient(form.Handle());
  EXPECT_EQ(pic.At(0, 0), RGB(10, 20, 30));

  tile = Tile();
  wallpaper.SetBitmap(tile);
  DeleteObject(tile);
  form.SetClientSize(160, 90);
  EXPECT_EQ(wallpaper.Width(), 160);
  EXPECT_EQ(wallpaper.Height(), 90);
  TPicture bigger(160, 90);
  bigger.PrintClient(form.Handle());
  EXPECT_EQ(bigger.At(150, 50), kMark);
  EXPECT_EQ(bigger.At(149, 49), kCorner);
}
