// The LZW encoder against the decoder: exact bytes of a tiny picture, and
// round trips over depths, sizes, interlacing and pictures that fill the
// code table many times over.
#include "media/GifLzw.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace qv::media;

namespace {

TGifPixels Picture(int w, int h, int depth, unsigned seed, bool runs) {
  TGifPixels p;
  EXPECT_TRUE(p.Create(w, h, depth));
  std::mt19937 random(seed);
  const int colors = 1 << depth;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetIndex(x, y, runs ? ((x / 9) ^ (y / 4)) % colors : int(random() % unsigned(colors)));
  return p;
}

void ExpectRoundTrip(const TGifPixels& p, bool interlaced) {
  std::vector<uint8_t> encoded;
  LzwEncode(p, interlaced, encoded);
  TGifPixels back;
  ASSERT_TRUE(back.Create(p.Width, p.Height, p.Depth));
  bool corrupted = false;
  ASSERT_FALSE(LzwDecode(encoded, p.Depth, interlaced, back, corrupted, {}));
  EXPECT_FALSE(corrupted);
  EXPECT_EQ(back.Bits, p.Bits);
  // Well-formed sub-blocks: sizes of at most 255, a zero terminator last.
  size_t pos = 1;
  while (pos < encoded.size() && encoded[pos] != 0) pos += encoded[pos] + 1u;
  EXPECT_EQ(pos, encoded.size() - 1);
}

}  // namespace

TEST(GifLzw, TwoPixelsOfAOneBitPicture) {
  TGifPixels p;
  ASSERT_TRUE(p.Create(2, 1, 1));
  std::vector<uint8_t> encoded;
  LzwEncode(p, false, encoded);
  // Minimum code size 2; codes clear 4, 0, 0, end 5 of 3 bits each.
  EXPECT_EQ(encoded, (std::vector<uint8_t>{2, 2, 0x04, 0x0A, 0}));
}

TEST(GifLzw, RoundTrips) {
  struct Case { int w, h, depth; bool runs; };
  for (const Case c : {Case{1, 1, 1, false}, Case{37, 23, 1, false}, Case{64, 64, 4, false}, Case{61, 41, 4, true},
                       Case{300, 200, 8, false}, Case{800, 60, 8, true}, Case{5, 300, 8, false}}) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " depth " << c.depth);
    const TGifPixels p = Picture(c.w, c.h, c.depth, unsigned(c.w * c.h), c.runs);
    ExpectRoundTrip(p, false);
    ExpectRoundTrip(p, true);
  }
}

TEST(GifLzw, OneColourPictureMakesLongStrings) {
  TGifPixels p;
  ASSERT_TRUE(p.Create(2000, 700, 8));
  std::fill(p.Bits.begin(), p.Bits.end(), 77);
  ExpectRoundTrip(p, false);
}

TEST(GifLzw, ProgressAndAbandon) {
  const TGifPixels p = Picture(10, 40, 4, 1, false);
  std::vector<int> percents;
  std::vector<uint8_t> encoded;
  LzwEncode(p, false, encoded, [&](TGifProgressStage stage, int percent, const std::string&) {
    if (stage == TGifProgressStage::Running) percents.push_back(percent);
  });
  ASSERT_EQ(percents.size(), 40u);
  EXPECT_EQ(percents.front(), 2);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_THROW(LzwEncode(p, false, encoded,
                         [](TGifProgressStage stage, int percent, const std::string&) {
                           if (stage == TGifProgressStage::Running && percent > 50) throw std::runtime_error("stop");
                         }),
               std::runtime_error);
}

TEST(GifLzw, DecoderReportsProgressAndFailure) {
  const TGifPixels p = Picture(30, 30, 8, 3, false);
  std::vector<uint8_t> encoded;
  LzwEncode(p, false, encoded);
  TGifPixels back;
  ASSERT_TRUE(back.Create(30, 30, 8));
  bool corrupted = false;
  std::vector<std::pair<TGifProgressStage, int>> seen;
  auto record = [&](TGifProgressStage s, int percent, const std::string&) { seen.push_back({s, percent}); };
  ASSERT_FALSE(LzwDecode(encoded, 8, false, back, corrupted, {}, record));
  EXPECT_EQ(seen.front(), std::make_pair(TGifProgressStage::Starting, 0));
  EXPECT_EQ(seen.back(), std::make_pair(TGifProgressStage::Ending, 100));
  std::string message;
  TGifReadOptions strict;
  strict.LoadCorrupted = false;
  encoded[0] = 1;
  EXPECT_TRUE(LzwDecode(encoded, 8, false, back, corrupted, strict,
                        [&](TGifProgressStage s, int, const std::string& m) {
                          if (s == TGifProgressStage::Ending) message = m;
                        }));
  EXPECT_EQ(message, "GIF code size not in range 2 to 9");
}

TEST(GifLzw, EmptyOrTerminatorOnlyDataIsCorrupt) {
  TGifPixels p;
  ASSERT_TRUE(p.Create(3, 3, 8));
  bool corrupted = false;
  EXPECT_FALSE(LzwDecode({}, 8, false, p, corrupted, {}));
  EXPECT_TRUE(corrupted);
  corrupted = false;
  EXPECT_FALSE(LzwDecode({8, 0}, 8, false, p, corrupted, {}));
  EXPECT_TRUE(corrupted);
  // Sub-block sizes that overrun what is there are cut, not followed.
  corrupted = false;
  EXPECT_FALSE(LzwDecode({8, 200, 0x00, 0x01}, 8, false, p, corrupted, {}));
  EXPECT_TRUE(corrupted);
}
