// The six colour reductions on small true-colour pictures, the level grids,
// and the packed-BMP form of pictures (the bridge to the bitmap class).
#include "media/GifReduce.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace qv::media;

namespace {

constexpr uint32_t kGray = 0x808080;

uint32_t Rgb(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }

void Put(TGifPixels& p, int x, int y, uint32_t c) {
  uint8_t* px = p.Row(y) + 3 * x;
  px[0] = uint8_t(c >> 16), px[1] = uint8_t(c >> 8), px[2] = uint8_t(c);
}

TGifPixels FromColours(int w, int h, const std::vector<uint32_t>& colours) {
  TGifPixels p;
  EXPECT_TRUE(p.Create(w, h, 24));
  for (int i = 0; i < w * h; ++i) Put(p, i % w, i / w, colours[size_t(i) % colours.size()]);
  return p;
}

TGifPixels Reduce(const TGifPixels& p, TReductionMethod m) {
  TGifPixels out;
  EXPECT_TRUE(ReduceColors(p, m, out));
  EXPECT_EQ(out.Depth, 8);
  EXPECT_EQ(out.Palette.size(), 256u);
  return out;
}

}  // namespace

TEST(GifReduce, LevelGridsTakeTheLowerLevelOnATie) {
  EXPECT_EQ(LevelGrid(4).Nearest[42], 0);
  EXPECT_EQ(LevelGrid(4).Nearest[43], 1);
  EXPECT_EQ(LevelGrid(8).Nearest[18], 0);  // 0 and 36 are both 18 away
  EXPECT_EQ(LevelGrid(8).Nearest[19], 1);
  EXPECT_EQ(LevelGrid(7).Nearest[255], 6);
  EXPECT_EQ(LevelGrid(6).Levels[3], 153);
  EXPECT_EQ(ColorsOfDepth(4), 16);
  EXPECT_EQ(ColorsOfDepth(24), 0);
}

TEST(GifReduce, Truncations) {
  const TGifPixels p = FromColours(3, 1, {Rgb(255, 0, 0), Rgb(255, 255, 255), Rgb(100, 60, 20)});
  const TGifPixels six = Reduce(p, TReductionMethod::Trunc666);
  EXPECT_EQ(six.Index(0, 0), 5 * 36);
  EXPECT_EQ(six.Index(1, 0), 215);
  EXPECT_EQ(six.Index(2, 0), 2 * 36 + 1 * 6 + 0);  // 100 -> 102, 60 -> 51, 20 -> 0
  EXPECT_EQ(six.Palette[180], Rgb(255, 0, 0));
  EXPECT_EQ(six.Palette[216], kGray);
  const TGifPixels seven = Reduce(p, TReductionMethod::Trunc784);
  EXPECT_EQ(seven.Index(1, 0), 223);
  EXPECT_EQ(seven.Index(2, 0), 2 * 32 + 2 * 4 + 0);  // 100 -> 85, 60 -> 73, 20 -> 0
  EXPECT_EQ(seven.Palette[223], Rgb(255, 255, 255));
  EXPECT_EQ(seven.Palette[224], kGray);
}

TEST(GifReduce, TripletsAndGrayscale) {
  const TGifPixels p = FromColours(4, 2, {Rgb(200, 100, 40)});
  const TGifPixels t = Reduce(p, TReductionMethod::Triplets);
  EXPECT_EQ(t.Index(0, 0), 50);        // red 200 >> 2
  EXPECT_EQ(t.Index(1, 0), 25 | 64);   // green
  EXPECT_EQ(t.Index(2, 0), 10 | 128);  // blue
  EXPECT_EQ(t.Index(0, 1), 25 | 64);   // (row + column) mod 3
  EXPECT_EQ(t.Palette[50], Rgb(200, 0, 0));
  EXPECT_EQ(t.Palette[64 + 25], Rgb(0, 100, 0));
  EXPECT_EQ(t.Palette[200], 0u);
  const TGifPixels g = Reduce(p, TReductionMethod::Grayscale);
  EXPECT_EQ(g.Index(3, 1), (77 * 200 + 150 * 100 + 29 * 40) >> 8);
  EXPECT_EQ(g.Palette[123], Rgb(123, 123, 123));
}

TEST(GifReduce, HistogramKeepsFewColoursExactly) {
  // Blue 5 times, red 3, green once: palette in descending frequency.
  const TGifPixels p = FromColours(9, 1, {Rgb(0, 0, 255), Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(255, 0, 0), Rgb(0, 0, 255),
                                          Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 0, 0), Rgb(0, 0, 255)});
  const TGifPixels h = Reduce(p, TReductionMethod::Histogram);
  EXPECT_EQ(h.Palette[0], Rgb(0, 0, 255));
  EXPECT_EQ(h.Palette[1], Rgb(255, 0, 0));
  EXPECT_EQ(h.Palette[2], Rgb(0, 255, 0));
  EXPECT_EQ(h.Palette[3], kGray);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(h.Color(x, 0), p.Color(x, 0)) << x;
}

TEST(GifReduce, HistogramOfManyColoursMapsToNearEntries) {
  // 4096 colours: too many to count, so low bits are dropped first.
  TGifPixels p;
  ASSERT_TRUE(p.Create(64, 64, 24));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) Put(p, x, y, Rgb(x * 4, y * 4, (x ^ y) * 4));
  const TGifPixels h = Reduce(p, TReductionMethod::Histogram);
  std::set<int> used;
  long worst = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      used.insert(h.Index(x, y));
      const uint32_t a = p.Color(x, y), b = h.Color(x, y);
      const long dr = long(a & 0xFF) - long(b & 0xFF), dg = long((a >> 8) & 0xFF) - long((b >> 8) & 0xFF),
                 db = long(a >> 16) - long(b >> 16);
      worst = std::max(worst, dr * dr + dg * dg + db * db);
    }
  EXPECT_GT(used.size(), 200u);
  EXPECT_LT(worst, 3 * 64 * 64);  // within 64 per channel
}

TEST(GifReduce, QuantizeMakesOneBoxPerColourWhenThereAreFew) {
  const TGifPixels p = FromColours(4, 4, {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(8, 8, 8), Rgb(0, 255, 0)});
  const TGifPixels q = Reduce(p, TReductionMethod::Quantize);
  std::set<uint32_t> colours;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) colours.insert(q.Color(x, y));
  EXPECT_EQ(colours.size(), 4u);
  // Box colour: (level sum x 16 + 15) div cells; near black becomes black.
  EXPECT_EQ(q.Color(0, 0), Rgb(255, 15, 15));
  EXPECT_EQ(q.Color(2, 0), 0u);
  EXPECT_EQ(q.Palette[4], kGray);
  // Many colours: 256 boxes at most, every pixel near its own colour.
  TGifPixels wide;
  ASSERT_TRUE(wide.Create(64, 64, 24));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) Put(wide, x, y, Rgb(x * 4, y * 4, 128));
  const TGifPixels w = Reduce(wide, TReductionMethod::Quantize);
  const uint32_t c = w.Color(32, 32);
  EXPECT_NEAR(int(c & 0xFF), 128, 24);
  EXPECT_NEAR(int((c >> 8) & 0xFF), 128, 24);
}

TEST(GifReduce, IndexedPicturesPassUnchangedAndBadOnesFail) {
  TGifPixels p;
  ASSERT_TRUE(p.Create(5, 5, 4));
  p.SetIndex(2, 2, 9);
  TGifPixels out;
  ASSERT_TRUE(ReduceColors(p, TReductionMethod::Histogram, out));
  EXPECT_EQ(out.Depth, 4);
  EXPECT_EQ(out.Index(2, 2), 9);
  p.Bits.pop_back();
  EXPECT_FALSE(ReduceColors(p, TReductionMethod::Histogram, out));
}

TEST(GifPixels, PackedBmpRoundTripAndLimits) {
  TGifPixels p;
  ASSERT_TRUE(p.Create(13, 7, 4));
  for (int i = 0; i < 16; ++i) p.Palette[size_t(i)] = uint32_t(i * 0x111111);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) p.SetIndex(x, y, (x * y) % 16);
  const std::vector<uint8_t> bmp = p.ToPackedBmp();
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp.size(), 14u + 40 + 64 + 8 * 7);
  TGifPixels back;
  ASSERT_TRUE(TGifPixels::FromPackedBmp(bmp.data(), bmp.size(), back));
  EXPECT_EQ(back.Bits, p.Bits);
  EXPECT_EQ(back.Palette, p.Palette);
  // Cut anywhere: refused, never read past the end.
  for (size_t n = 0; n < bmp.size(); ++n) EXPECT_FALSE(TGifPixels::FromPackedBmp(bmp.data(), n, back)) << n;
  // A header that asks for 2^31 x 2^31 pixels.
  std::vector<uint8_t> hostile = bmp;
  hostile[18] = hostile[19] = hostile[20] = 0xFF, hostile[21] = 0x7F;
  hostile[22] = hostile[23] = hostile[24] = 0xFF, hostile[25] = 0x7F;
  EXPECT_FALSE(TGifPixels::FromPackedBmp(hostile.data(), hostile.size(), back));
  EXPECT_EQ(BytesPerScanline(13, 4, 32), 8u);
  EXPECT_EQ(BytesPerScanline(uint64_t(1) << 40, 8, 32), 0u);
  EXPECT_FALSE(p.Create(70000, 70000, 24));
}

TEST(GifPixels, TopDownAnd32BitSources) {
  // A 2 x 2 top-down 32-bit BMP without file header.
  std::vector<uint8_t> dib(40, 0);
  dib[0] = 40, dib[4] = 2;
  const int32_t h = -2;
  std::memcpy(&dib[8], &h, 4);
  dib[12] = 1, dib[14] = 32;
  const uint8_t rows[] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  dib.insert(dib.end(), rows, rows + 16);
  TGifPixels p;
  ASSERT_TRUE(TGifPixels::FromPackedBmp(dib.data(), dib.size(), p));
  EXPECT_EQ(p.Depth, 24);
  EXPECT_EQ(p.Color(0, 0), Rgb(3, 2, 1));   // first stored row is the top
  EXPECT_EQ(p.Color(1, 1), Rgb(12, 11, 10));
}
