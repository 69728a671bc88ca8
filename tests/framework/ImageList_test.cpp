// Image lists: masked images drawn see-through, change links, and shared
// lists (the shell's) that the wrapper never destroys or changes.
#include "framework/ImageList.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include "framework/Bitmap.h"

using namespace qv::fw;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

// A 16 x 16 magenta square with a red 4 x 4 block at (6, 6).
TBitmap Glyph() {
  TBitmap b;
  EXPECT_TRUE(b.Create(16, 16, 24));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) b.SetPixel(x, y, (x >= 6 && x < 10 && y >= 6 && y < 10) ? RGB(255, 0, 0) : kMagenta);
  return b;
}

}  // namespace

TEST(ImageList, MaskedImagesDrawSeeThroughAndChangesAreTold) {
  TImageList list(nullptr);
  int told = 0, linked = 0;
  list.OnChange = [&](TComponent&) { ++told; };
  TImageChangeLink link;
  link.OnChange = [&] { ++linked; };
  link.SetImages(&list);
  ASSERT_TRUE(list.Create(16, 16));
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.AddMasked(Glyph(), kMagenta), 0);
  EXPECT_EQ(list.AddMasked(Glyph(), kMagenta), 1);
  EXPECT_EQ(list.Count(), 2);

  TBitmap target;
  ASSERT_TRUE(target.Create(16, 16, 24));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) target.SetPixel(x, y, RGB(0, 0, 255));
  ASSERT_TRUE(list.Draw(target.Dc(), 1, 0, 0));
  EXPECT_EQ(target.Pixel(0, 0), RGB(0, 0, 255));  // the mask colour lets the background show
  EXPECT_EQ(target.Pixel(7, 7), RGB(255, 0, 0));

  TBitmap plain;
  ASSERT_TRUE(plain.Create(16, 16, 24));  // black, no mask colour in it
  ASSERT_TRUE(list.ReplaceMasked(1, plain, kMagenta));
  ASSERT_TRUE(list.Draw(target.Dc(), 1, 0, 0));
  EXPECT_EQ(target.Pixel(0, 0), RGB(0, 0, 0));
  EXPECT_FALSE(list.Draw(target.Dc(), 2, 0, 0));
  EXPECT_TRUE(list.Delete(0));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(told, 5);  // create, two adds, replace, delete
  EXPECT_EQ(linked, told);
}

TEST(ImageList, LinksOutliveOrPrecedeTheirList) {
  TImageChangeLink outliving;
  {
    TImageList list(nullptr);
    outliving.SetImages(&list);
    {
      TImageChangeLink shortLived;
      shortLived.OnChange = [] { FAIL() << "a freed link was told"; };
      shortLived.SetImages(&list);
    }
    list.Create(8, 8);
  }
  EXPECT_EQ(outliving.Images(), nullptr);
}

TEST(ImageList, SharedListsAreNeitherChangedNorDestroyed) {
  SHFILEINFOA info{};
  auto sys = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  ASSERT_TRUE(sys);
  const int count = ImageList_GetImageCount(sys);
  ASSERT_GT(count, 0);
  {
    TImageList list(nullptr);
    list.Attach(sys, TImageListOwnership::Shared);
    EXPECT_TRUE(list.Shared());
    EXPECT_EQ(list.Count(), count);
    EXPECT_EQ(list.AddMasked(Glyph(), kMagenta), -1);
    EXPECT_FALSE(list.Delete(0));
    list.Clear();
    EXPECT_EQ(ImageList_GetImageCount(sys), count);
  }
  // The wrapper is gone; the shell's list is still there and the same.
  SHFILEINFOA again{};
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(
                SHGetFileInfoA("", 0, &again, sizeof again, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)),
            sys);
  EXPECT_EQ(ImageList_GetImageCount(sys), count);

  // A list of our own lent as shared survives its wrapper too.
  HIMAGELIST mine = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
  {
    TImageList list(nullptr);
    list.Attach(mine, TImageListOwnership::Shared);
  }
  int w = 0, h = 0;
  EXPECT_TRUE(ImageList_GetIconSize(mine, &w, &h));
  EXPECT_TRUE(ImageList_Destroy(mine));
}
