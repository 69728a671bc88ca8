// DIB-section bitmaps: colour tables that recolour what GDI draws, BMP
// round trips at every depth, hostile BMP headers, copies of other bitmaps.
#include "framework/Bitmap.h"

#include <gtest/gtest.h>

#include "FwTestSupport.h"
#include "framework/Streams.h"

using namespace qv::fw;

namespace {

// What GDI shows of a bitmap: blitted into a 24-bit copy.
COLORREF Shown(TBitmap& b, int x, int y) {
  TBitmap screen;
  EXPECT_TRUE(screen.Create(b.Width(), b.Height(), 24));
  BitBlt(screen.Dc(), 0, 0, b.Width(), b.Height(), b.Dc(), 0, 0, SRCCOPY);
  return screen.Pixel(x, y);
}

std::string Saved(const TBitmap& b) {
  TMemoryStream m;
  EXPECT_TRUE(b.SaveToStream(m));
  return m.Bytes();
}

}  // namespace

TEST(Bitmap, SixteenColourTableRecoloursTheTexture) {
  TBitmap b;
  ASSERT_TRUE(b.Create(50, 50, 4));
  EXPECT_EQ(b.ColorCount(), 16);
  for (int x = 0; x < 50; ++x) b.SetPixelIndex(x, 10, x % 9);
  // The texture's recolouring: entry 8 - i := c - i * 0x050505.
  const COLORREF c = RGB(0xD4, 0xD0, 0xC8);
  std::vector<TColor> ramp(9);
  for (int i = 0; i <= 8; ++i) ramp[8 - i] = c - static_cast<COLORREF>(i) * 0x050505;
  EXPECT_EQ(b.SetColorTable(0, ramp), 9);
  const auto table = b.ColorTable(0, 16);
  ASSERT_EQ(table.size(), 16u);
  EXPECT_EQ(table[8], c);
  EXPECT_EQ(table[0], RGB(0xD4 - 40, 0xD0 - 40, 0xC8 - 40));
  EXPECT_EQ(table[15], RGB(255, 255, 255));  // untouched entries keep their colour
  EXPECT_EQ(Shown(b, 8, 10), c);              // GDI draws with the new table
  EXPECT_EQ(Shown(b, 0, 10), table[0]);
  EXPECT_EQ(b.Pixel(3, 10), table[3]);
  // Past the table: nothing written; a system colour is resolved.
  EXPECT_EQ(b.SetColorTable(16, {clRed}), 0);
  EXPECT_EQ(b.SetColorTable(15, {clRed, clRed}), 1);
  EXPECT_EQ(b.SetColorTable(14, {clBtnFace}), 1);
  EXPECT_EQ(b.ColorTable(14, 1)[0], GetSysColor(COLOR_BTNFACE));
}

TEST(Bitmap, BmpRoundTripAtEveryDepth) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(bpp);
    TBitmap b;
    ASSERT_TRUE(b.Create(13, 5, bpp));  // odd width: padded rows
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) {
        if (bpp <= 8) b.SetPixelIndex(x, y, (x * 7 + y) % (1 << bpp));
        else b.SetPixel(x, y, RGB(x * 10, y * 40, x + y));
      }
    const std::string bytes = Saved(b);
    TMemoryStream m(bytes);
    TBitmap back;
    ASSERT_TRUE(back.LoadFromStream(m));
    EXPECT_EQ(back.BitsPerPixel(), bpp);
    EXPECT_EQ(back.ColorTable(), b.ColorTable());
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(back.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(Saved(back), bytes);
  }
}

TEST(Bitmap, TopDownRowsAndShortTablesLoad) {
  TBitmap b;
  ASSERT_TRUE(b.Create(2, 2, 8));
  b.SetPixelIndex(0, 0, 1);
  b.SetColorTable(0, {clBlack, clRed, clBlue});
  std::string bytes = Saved(b);
  // Keep 3 of 256 table entries and store the rows top-down.
  const size_t row = 4, data = 54 + 256 * 4;
  std::string top = bytes.substr(0, 54) + bytes.substr(54, 12) + bytes.substr(data + row, row) + bytes.substr(data, row);
  top[46] = 3;                                  // biClrUsed (was 256)
  top[47] = 0;
  top[10] = static_cast<char>(54 + 12);         // bfOffBits
  top[11] = 0;
  const int32_t negative = -2;
  memcpy(&top[22], &negative, 4);
  TMemoryStream m(top);
  TBitmap back;
  ASSERT_TRUE(back.LoadFromStream(m));
  EXPECT_EQ(back.ColorCount(), 3);
  EXPECT_EQ(back.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(back.Pixel(0, 1), RGB(0, 0, 0));
  EXPECT_EQ(back.TransparentColor(), static_cast<TColor>(RGB(0, 0, 0)));  // lower-left
}

TEST(Bitmap, TruncatedOrHostileBmpDataIsRefused) {
  TBitmap b;
  ASSERT_TRUE(b.Create(9, 3, 4));
  const std::string good = Saved(b);
  for (size_t n = 0; n < good.size(); ++n) {
    TMemoryStream m(good.substr(0, n));
    TBitmap t;
    ASSERT_FALSE(t.LoadFromStream(m)) << n;
    EXPECT_TRUE(t.Empty());
  }
  auto patched = [&](size_t at, std::string bytes) {
    std::string s = good;
    s.replace(at, bytes.size(), bytes);
    TMemoryStream m(s);
    TBitmap t;
    return t.LoadFromStream(m);
  };
  EXPECT_FALSE(patched(0, "BN"));
  EXPECT_FALSE(patched(14, std::string("\x0C\0\0\0", 4)));         // old 12-byte header
  EXPECT_FALSE(patched(18, std::string("\0\0\0\x7F", 4)));         // width 2^31
  EXPECT_FALSE(patched(22, std::string("\0\0\0\x80", 4)));         // height INT_MIN
  EXPECT_FALSE(patched(22, std::string("\xFF\x7F\0\0", 4)));       // 32767 rows: not in the data
  EXPECT_FALSE(patched(28, std::string("\x10\0", 2)));             // 16 bits
  EXPECT_FALSE(patched(30, std::string("\x02\0\0\0", 4)));         // RLE4
  EXPECT_FALSE(patched(46, std::string("\x11\0\0\0", 4)));         // 17 colours for 4 bits
  EXPECT_TRUE(patched(10, std::string("\0\0\0\0", 4)));            // bad offset: data after the table
}

TEST(Bitmap, CopiesKeepDepthAndTableAndAreIndependent) {
  qv::fw::test::TTempDir dir;
  TBitmap src;
  ASSERT_TRUE(src.Create(4, 4, 4));
  src.SetPixelIndex(1, 1, 9);
  src.SetColorTable(9, {RGB(1, 2, 3)});
  // Through a BMP file and LoadImage, as resources are loaded.
  TFileStream f;
  ASSERT_TRUE(f.Open(dir.File(L"b.bmp"), TFileMode::Create));
  ASSERT_TRUE(src.SaveToStream(f));
  f.Close();
  HBITMAP h = static_cast<HBITMAP>(LoadImageW(nullptr, dir.File(L"b.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                              LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_TRUE(h);
  TBitmap viaHandle;
  ASSERT_TRUE(viaHandle.CopyFrom(h));
  DeleteObject(h);
  EXPECT_EQ(viaHandle.BitsPerPixel(), 4);
  EXPECT_EQ(viaHandle.Pixel(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(viaHandle.ColorTable(), src.ColorTable());

  TBitmap copy;
  ASSERT_TRUE(copy.Assign(src));
  copy.SetColorTable(9, {RGB(9, 9, 9)});
  EXPECT_EQ(src.Pixel(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(copy.Pixel(1, 1), RGB(9, 9, 9));

  // A device bitmap becomes a 24-bit copy of what was drawn on it.
  HDC screen = GetDC(nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 3, 2);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, ddb);
  RECT r{0, 0, 3, 2};
  HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
  FillRect(mem, &r, green);
  SelectObject(mem, old);
  DeleteObject(green);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  TBitmap fromDdb;
  ASSERT_TRUE(fromDdb.CopyFrom(ddb));
  DeleteObject(ddb);
  EXPECT_EQ(fromDdb.BitsPerPixel(), 24);
  EXPECT_EQ(fromDdb.Pixel(2, 1), RGB(0, 128, 0));

  TBitmap moved(std::move(copy));
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(moved.Pixel(1, 1), RGB(9, 9, 9));
  HBITMAP released = moved.ReleaseHandle();
  EXPECT_TRUE(moved.Empty());
  EXPECT_TRUE(DeleteObject(released));
}

TEST(Bitmap, ResourceKeepsItsDepthAndTable) {
  TBitmap b;
  ASSERT_TRUE(b.LoadFromResource(GetModuleHandleA(nullptr), "TEXTURE16"));
  EXPECT_EQ(b.BitsPerPixel(), 4);
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.Height(), 4);
  ASSERT_EQ(b.ColorCount(), 16);
  EXPECT_EQ(b.ColorTable(9, 1)[0], RGB(255, 0, 0));
  EXPECT_EQ(b.PixelIndex(3, 2), 7);
  EXPECT_EQ(b.Pixel(7, 1), RGB(255, 0, 0));
  EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(RGB(96, 96, 96)));  // (0, 3): entry 6
  TBitmap none;
  EXPECT_FALSE(none.LoadFromResource(GetModuleHandleA(nullptr), "ABSENT"));
  EXPECT_TRUE(none.Empty());
}
