// GIF writing: the file layout and extension upkeep, and read-write-read
// round trips of every ImageMagick test file (image data kept byte for
// byte).
#include "media/GifWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "media/GifReader.h"

using namespace qv::media;

namespace {

TGifPixels Stripes(int w, int h, int depth) {
  TGifPixels p;
  EXPECT_TRUE(p.Create(w, h, depth));
  for (size_t i = 0; i < p.Palette.size(); ++i) p.Palette[i] = uint32_t(i * 0x010203);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetIndex(x, y, (x + y) % (1 << depth));
  return p;
}

// A file of one encoded frame.
TGifFile OneFrame(int depth = 4) {
  TGifFile f;
  f.Frames.emplace_back();
  EXPECT_FALSE(EncodeGifFrame(f, f.Frames[0], Stripes(6, 3, depth)));
  f.Version = TGifVersion::V87a;
  return f;
}

std::vector<uint8_t> Write(TGifFile& f) {
  std::vector<uint8_t> out;
  EXPECT_FALSE(WriteGif(f, out));
  return out;
}

bool Contains(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

}  // namespace

TEST(GifWriter, NothingToWrite) {
  TGifFile f;
  std::vector<uint8_t> out;
  TGifError e = WriteGif(f, out);
  EXPECT_EQ(e.Code, TGifErrorCode::NoDataToWrite);
  EXPECT_EQ(e.Text(), "No GIF Data to write");
  f.Frames.emplace_back();  // a frame never encoded
  EXPECT_EQ(WriteGif(f, out).Code, TGifErrorCode::NoDataToWrite);
  TGifPixels empty;
  EXPECT_EQ(EncodeGifFrame(f, f.Frames[0], empty).Code, TGifErrorCode::NoDataToWrite);
  TGifPixels trueColour;
  ASSERT_TRUE(trueColour.Create(2, 2, 24));
  EXPECT_EQ(EncodeGifFrame(f, f.Frames[0], trueColour).Code, TGifErrorCode::EncodingError);
}

TEST(GifWriter, OneBitPictureHasTwoColoursAndCodeSizeTwo) {
  TGifFile f = OneFrame(1);
  const std::vector<uint8_t> out = Write(f);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 6), "GIF87a");
  EXPECT_EQ(out[10], 0x80);  // global table of 2 entries
  EXPECT_EQ(f.Header->GlobalTable.Count, 2);
  // Header, 2 x 3 table bytes, then ',' and the descriptor, then the data.
  ASSERT_GT(out.size(), 13u + 6 + 10);
  EXPECT_EQ(out[19], ',');
  EXPECT_EQ(out[28], 0);  // no local table
  EXPECT_EQ(out[29], 2);  // minimum code size
  EXPECT_EQ(out.back(), ';');
}

TEST(GifWriter, VersionFollowsExtensions) {
  TGifFile f = OneFrame();
  EXPECT_EQ(Write(f)[4], '7');
  f.Frames[0].DelayMs = 1234;
  f.Frames[0].Disposal = 2;
  const std::vector<uint8_t> out = Write(f);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 6), "GIF89a");
  // Delay 123 (1/100 s), disposal in bits 2..4, no transparency.
  EXPECT_TRUE(Contains(out, {'!', 0xF9, 4, 2 << 2, 123, 0, 0, 0}));
  TGifFile back;
  ASSERT_FALSE(ReadGif(out.data(), out.size(), back));
  EXPECT_EQ(back.Frames[0].DelayMs, 1230);
  EXPECT_EQ(back.Frames[0].Disposal, 2);
  // An image comment alone also needs 89a.
  TGifFile commented = OneFrame();
  commented.Header->Comment = {"hello"};
  const std::vector<uint8_t> c = Write(commented);
  EXPECT_EQ(c[4], '9');
  EXPECT_TRUE(Contains(c, {'!', 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0, ';'}));
}

TEST(GifWriter, TransparentColourBecomesTheFirstMatchingIndex) {
  TGifFile f = OneFrame();
  f.Frames[0].TransparentColor = 0x020406;  // entry 2 of the stripes' palette
  std::vector<uint8_t> out = Write(f);
  EXPECT_TRUE(Contains(out, {'!', 0xF9, 4, 1, 0, 0, 2, 0}));
  TGifFile back;
  ASSERT_FALSE(ReadGif(out.data(), out.size(), back));
  EXPECT_EQ(back.Frames[0].TransparentColor, 0x020406u);
  // A colour the table lacks clears the flag.
  f.Frames[0].TransparentColor = 0xABCDEF;
  out = Write(f);
  EXPECT_TRUE(Contains(out, {'!', 0xF9, 4, 0, 0, 0}));
}

TEST(GifWriter, LoopingNeedsMoreThanOneFrame) {
  TGifFile f = OneFrame();
  f.Looping = true;
  f.RepeatCount = 513;
  const std::vector<uint8_t> netscape{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 1, 2, 0};
  EXPECT_FALSE(Contains(Write(f), netscape));
  f.Frames.emplace_back();
  ASSERT_FALSE(EncodeGifFrame(f, f.Frames[1], Stripes(2, 9, 8)));
  f.Frames[1].Left = 10;
  const std::vector<uint8_t> out = Write(f);
  EXPECT_TRUE(Contains(out, netscape));
  TGifFile back;
  ASSERT_FALSE(ReadGif(out.data(), out.size(), back));
  EXPECT_TRUE(back.Looping);
  EXPECT_EQ(back.RepeatCount, 513);
  // The second frame keeps its own table; the screen holds both frames.
  ASSERT_EQ(back.Frames.size(), 2u);
  EXPECT_FALSE(back.Frames[0].HasLocalTable);
  EXPECT_TRUE(back.Frames[1].HasLocalTable);
  EXPECT_EQ(back.Frames[1].ColorTable().Count, 256);
  EXPECT_EQ(back.ScreenWidth, 12);
  EXPECT_EQ(back.ScreenHeight, 9);
}

TEST(GifWriter, EmptyCommentsAreDroppedAndLongLinesSplit) {
  TGifFile f = OneFrame();
  f.Frames[0].Comment();  // made, left empty
  std::vector<uint8_t> out = Write(f);
  EXPECT_TRUE(f.Frames[0].Extensions.empty());
  EXPECT_EQ(out[4], '7');
  f.Header->Comment = {std::string(300, 'a')};
  out = Write(f);
  TGifFile back;
  ASSERT_FALSE(ReadGif(out.data(), out.size(), back));
  ASSERT_EQ(back.Header->Comment.size(), 2u);
  EXPECT_EQ(back.Header->Comment[0].size() + back.Header->Comment[1].size(), 300u);
}

TEST(GifWriter, ReadWriteReadKeepsEveryTestFile) {
  for (const char* name : {"anim.gif", "big_interlaced.gif", "comment.gif", "eight.gif", "four_interlaced.gif",
                           "full256.gif", "thirtytwo.gif", "transparent.gif", "two.gif"}) {
    SCOPED_TRACE(name);
    std::ifstream in(std::string(QV_MEDIA_TEST_DATA) + "/gif/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    TGifFile first, second;
    ASSERT_FALSE(ReadGif(bytes.data(), bytes.size(), first));
    std::vector<uint8_t> written;
    ASSERT_FALSE(WriteGif(first, written));
    ASSERT_FALSE(ReadGif(written.data(), written.size(), second));
    ASSERT_EQ(first.Frames.size(), second.Frames.size());
    EXPECT_EQ(first.Looping, second.Looping);
    EXPECT_EQ(first.RepeatCount, second.RepeatCount);
    for (size_t i = 0; i < first.Frames.size(); ++i) {
      TGifFrame &a = first.Frames[i], &b = second.Frames[i];
      EXPECT_EQ(a.Item->Encoded, b.Item->Encoded);
      EXPECT_EQ(a.DelayMs, b.DelayMs);
      EXPECT_EQ(a.TransparentColor, b.TransparentColor);
      EXPECT_EQ(a.Left, b.Left);
      TGifPixels pa, pb;
      ASSERT_FALSE(DecodeGifFrame(a, pa));
      ASSERT_FALSE(DecodeGifFrame(b, pb));
      EXPECT_EQ(pa.Bits, pb.Bits);
      EXPECT_EQ(pa.Palette, pb.Palette);
    }
  }
}
