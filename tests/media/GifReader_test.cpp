// GIF reading on hand-assembled files: signatures, tables, extensions,
// comments, looping, interlace order, and damaged or hostile input, which
// must end in an error value or a frame marked corrupted, never a crash.
#include "media/GifReader.h"

#include <gtest/gtest.h>

#include "GifBuilder.h"

using namespace qv::media;
using namespace qv::test;

namespace {

// A 4 x 2 frame of a 4-colour file, pixels 0 1 2 3 / 3 2 1 0.
Bytes SmallGif(const Bytes& beforeImage = {}, const char* version = "GIF89a") {
  Bytes b = GifHeader(4, 2, 4, version);
  b << beforeImage << ImageDescriptor(0, 0, 4, 2) << LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b.push_back(';');
  return b;
}

TGifError Read(const Bytes& b, TGifFile& f, const TGifReadOptions& o = {}) { return ReadGif(b.data(), b.size(), f, o); }

std::vector<int> Indexes(const TGifPixels& p) {
  std::vector<int> v;
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) v.push_back(p.Index(x, y));
  return v;
}

}  // namespace

TEST(GifReader, SignatureAndVersionIgnoreCase) {
  TGifFile f;
  EXPECT_FALSE(Read(SmallGif({}, "gif89A"), f));
  EXPECT_EQ(f.Version, TGifVersion::V89a);
  EXPECT_FALSE(Read(SmallGif({}, "GIF87a"), f));
  EXPECT_EQ(f.Version, TGifVersion::V87a);
  for (const char* bad : {"GIF90a", "GIX89a", "\x89PNG\r\n"}) {
    SCOPED_TRACE(bad);
    const TGifError e = Read(SmallGif({}, bad), f);
    EXPECT_EQ(e.Code, TGifErrorCode::UnknownVersion);
    EXPECT_EQ(e.Text(), "Unknown GIF version");
  }
  EXPECT_FALSE(ReadGif(nullptr, 0, f));  // nothing at all: an empty picture
  EXPECT_TRUE(f.Frames.empty());
}

TEST(GifReader, HeaderAndTrailerOnlyHasNoFrames) {
  Bytes b = GifHeader(20, 10, 2);
  b.push_back(';');
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  EXPECT_TRUE(f.Frames.empty());
  EXPECT_EQ(f.ScreenWidth, 20);
  EXPECT_EQ(f.Header->GlobalTable.Count, 2);
}

TEST(GifReader, DecodesPixelsAndBackground) {
  Bytes b = GifHeader(4, 2, 4, "GIF89a", 2);
  b << ImageDescriptor(0, 0, 4, 2) << LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b.push_back(';');
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  EXPECT_EQ(f.Background, 0x3C2814u);  // entry 2: (20, 40, 60)
  ASSERT_EQ(f.Frames.size(), 1u);
  TGifPixels p;
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(p.Depth, 4);
  EXPECT_EQ(Indexes(p), (std::vector<int>{0, 1, 2, 3, 3, 2, 1, 0}));
  EXPECT_EQ(p.Palette[1], 0x1E140Au);
  EXPECT_EQ(p.Palette[4], 0x808080u);  // past the table: gray
  EXPECT_FALSE(f.Frames[0].Corrupted);
}

TEST(GifReader, DepthFollowsBitsPerPixel) {
  for (auto [colors, depth] : {std::pair{2, 1}, {4, 4}, {16, 4}, {32, 8}, {256, 8}}) {
    SCOPED_TRACE(colors);
    int bits = 1;
    while ((1 << bits) < colors) ++bits;
    Bytes b = GifHeader(3, 1, colors);
    b << ImageDescriptor(0, 0, 3, 1) << LiteralCodes(std::max(bits, 2), {1, 0, 1});
    TGifFile f;
    ASSERT_FALSE(Read(b, f));
    TGifPixels p;
    ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
    EXPECT_EQ(p.Depth, depth);
    EXPECT_EQ(Indexes(p), (std::vector<int>{1, 0, 1}));
  }
}

TEST(GifReader, InterlacedRowsComeInFourPasses) {
  // Stream row r holds the value r; a 10-row picture gets its rows in the
  // order 0 8 | 4 | 2 6 | 1 3 5 7 9.
  std::vector<int> stream;
  for (int r = 0; r < 10; ++r) stream.push_back(r);
  Bytes b = GifHeader(1, 10, 16);
  b << ImageDescriptor(0, 0, 1, 10, true) << LiteralCodes(4, stream);
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  EXPECT_TRUE(f.Frames[0].Interlaced);
  TGifPixels p;
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(Indexes(p), (std::vector<int>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
  // A picture of 2 rows has no third or fourth pass rows to skip into.
  b = GifHeader(1, 2, 4);
  b << ImageDescriptor(0, 0, 1, 2, true) << LiteralCodes(2, {1, 2});
  ASSERT_FALSE(Read(b, f));
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(Indexes(p), (std::vector<int>{1, 2}));
}

TEST(GifReader, GraphicControlDelayTransparencyAndDisposal) {
  TGifFile f;
  ASSERT_FALSE(Read(SmallGif(GraphicControl(0x01 | (2 << 2), 5, 3)), f));
  const TGifFrame& frame = f.Frames[0];
  EXPECT_EQ(frame.DelayMs, 50);
  EXPECT_EQ(frame.Disposal, 2);
  EXPECT_EQ(frame.TransparentColor, 0x5A3C1Eu);  // entry 3
  ASSERT_FALSE(Read(SmallGif(GraphicControl(0x01, 0, 9)), f));  // index beyond the 4 entries
  EXPECT_EQ(f.Frames[0].TransparentColor, kGifNoColor);
  // Two blocks: the longer delay wins, the last transparency flag decides.
  ASSERT_FALSE(Read(SmallGif(GraphicControl(0x01, 7, 1) << GraphicControl(0x00, 3, 0)), f));
  EXPECT_EQ(f.Frames[0].DelayMs, 70);
  EXPECT_EQ(f.Frames[0].TransparentColor, kGifNoColor);
}

TEST(GifReader, LoopingBlocks) {
  TGifFile f;
  ASSERT_FALSE(Read(SmallGif(ApplicationExtension("NETSCAPE2.0", {1, 0xFF, 0xFF})), f));
  EXPECT_TRUE(f.Looping);
  EXPECT_EQ(f.RepeatCount, 30000);
  ASSERT_FALSE(Read(SmallGif(ApplicationExtension("ANIMEXTS1.0", {1, 4, 1})), f));
  EXPECT_EQ(f.RepeatCount, 260);
  // Another identifier, a short block or a first byte other than 1: no loop.
  for (const Bytes& ext : {ApplicationExtension("XMP DataXMP", {1, 2, 0}),
                           ApplicationExtension("NETSCAPE2.0", {1, 2}), ApplicationExtension("NETSCAPE2.0", {2, 2, 0})}) {
    ASSERT_FALSE(Read(SmallGif(ext), f));
    EXPECT_FALSE(f.Looping);
    EXPECT_EQ(f.RepeatCount, 1);
    EXPECT_TRUE(f.Frames[0].Extensions.empty());  // application blocks are not kept
  }
}

TEST(GifReader, CommentsBeforeTheTrailerJoinTheImageComment) {
  Bytes b = GifHeader(4, 2, 4);
  b << ImageDescriptor(0, 0, 4, 2) << LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b << CommentExtension({"one", "two"}) << CommentExtension({"three"});
  b.push_back(';');
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  EXPECT_EQ(f.Header->Comment, (std::vector<std::string>{"one", "two", "\r\n\r\n", "three"}));
  // A comment before the image belongs to the frame.
  ASSERT_FALSE(Read(SmallGif(CommentExtension({"frame"})), f));
  EXPECT_TRUE(f.Header->Comment.empty());
  EXPECT_EQ(f.Frames[0].Comment(), (std::vector<std::string>{"frame"}));
}

TEST(GifReader, PlainTextDiscardsWhatWasCollected) {
  Bytes text{'!', 0x01, 12, 0, 0, 0, 0, 4, 0, 2, 0, 8, 8, 1, 0, 2, 'h', 'i', 0};
  TGifFile f;
  ASSERT_FALSE(Read(SmallGif(GraphicControl(0, 9, 0) << text << CommentExtension({"kept"})), f));
  ASSERT_EQ(f.Frames[0].Extensions.size(), 1u);
  EXPECT_EQ(f.Frames[0].Extensions[0].Kind, TExtensionKind::Comment);
  EXPECT_EQ(f.Frames[0].DelayMs, 0);
}

TEST(GifReader, UnknownExtensionLabel) {
  TGifFile f;
  const TGifError e = Read(SmallGif(Bytes{'!', 0x3A, 0}), f);
  EXPECT_EQ(e.Code, TGifErrorCode::UnknownExtension);
  EXPECT_EQ(e.Text(), "Unrecognized extension block: 3a");
}

TEST(GifReader, StrayBytesAndFramesReadBeforeAFailure) {
  Bytes b = GifHeader(4, 2, 4);
  b << ImageDescriptor(0, 0, 4, 2) << LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b << ImageDescriptor(1, 1, 2, 1) << LiteralCodes(2, {3, 3});
  b << Bytes{'!', 0x3A, 0};
  TGifFile f;
  EXPECT_EQ(Read(b, f).Code, TGifErrorCode::UnknownExtension);
  EXPECT_EQ(f.Frames.size(), 2u);  // what was read stays
  EXPECT_EQ(f.Frames[1].Left, 1);
  // A byte that starts no block after an extension run: stream read error.
  b = GifHeader(4, 2, 4);
  b << GraphicControl(0, 1, 0) << Bytes{'x', 'y'};
  const TGifError e = Read(b, f);
  EXPECT_EQ(e.Code, TGifErrorCode::StreamRead);
  EXPECT_EQ(e.Text(), "Erreur de lecture du flux");
  // A stray byte after a frame ends the data quietly.
  b = SmallGif();
  b.back() = 'x';
  EXPECT_FALSE(Read(b, f));
  EXPECT_EQ(f.Frames.size(), 1u);
}

TEST(GifReader, ZeroSizeTakesTheScreenSize) {
  Bytes b = GifHeader(3, 2, 4);
  b << ImageDescriptor(0, 0, 0, 0) << LiteralCodes(2, {1, 1, 1, 2, 2, 2});
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  EXPECT_EQ(f.Frames[0].Item->Width, 3);
  EXPECT_EQ(f.Frames[0].Item->Height, 2);
}

TEST(GifReader, LocalTableOverridesTheGlobalOne) {
  Bytes b = GifHeader(2, 1, 4);
  b << ImageDescriptor(0, 0, 2, 1, false, 8) << LiteralCodes(3, {7, 6});
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  const TGifFrame& frame = f.Frames[0];
  EXPECT_TRUE(frame.HasLocalTable);
  EXPECT_EQ(frame.Item->BitsPerPixel, 3);
  EXPECT_EQ(frame.ColorTable().Count, 8);
  TGifPixels p;
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(p.Color(0, 0), 0x0707F8u);  // (255 - 7, 7, 7)
}

TEST(GifReader, CodeSizeOutOfRange) {
  Bytes b = GifHeader(4, 2, 4);
  Bytes data = LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  data[0] = 12;
  b << ImageDescriptor(0, 0, 4, 2) << data;
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  TGifPixels p;
  EXPECT_FALSE(DecodeGifFrame(f.Frames[0], p));  // loads, clamped to 9 and corrupted
  EXPECT_TRUE(f.Frames[0].Corrupted);
  EXPECT_EQ(p.Width, 4);
  TGifReadOptions strict;
  strict.LoadCorrupted = false;
  ASSERT_FALSE(Read(b, f, strict));
  const TGifError e = DecodeGifFrame(f.Frames[0], p, strict);
  EXPECT_EQ(e.Code, TGifErrorCode::CodeSizeRange);
  EXPECT_EQ(e.Text(), "GIF code size not in range 2 to 9");
}

TEST(GifReader, CodesOutOfRangeAndRunawayChainsStopDecoding) {
  // 5 is far beyond the next free code (6); then a code that points at
  // itself through the table.
  Bytes b = GifHeader(8, 8, 4);
  std::vector<std::pair<int, int>> codes{{4, 3}, {1, 3}, {7, 3}, {7, 3}};
  for (int i = 0; i < 200; ++i) codes.push_back({7, 4});
  b << ImageDescriptor(0, 0, 8, 8) << PackCodes(2, codes);
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  TGifPixels p;
  EXPECT_FALSE(DecodeGifFrame(f.Frames[0], p));
  // Codes of 12 bits that walk chains built from invalid codes.
  Bytes hostile = GifHeader(64, 64, 256);
  std::vector<std::pair<int, int>> big{{256, 9}};
  for (int i = 0; i < 5000; ++i) big.push_back({(i * 2654435761u) % 512, 9});
  hostile << ImageDescriptor(0, 0, 64, 64) << PackCodes(8, big);
  ASSERT_FALSE(Read(hostile, f));
  EXPECT_FALSE(DecodeGifFrame(f.Frames[0], p));
  TGifReadOptions strict;
  strict.LoadCorrupted = false;
  hostile = GifHeader(4, 4, 4);
  hostile << ImageDescriptor(0, 0, 4, 4) << PackCodes(2, {{4, 3}, {1, 3}});  // no end code: the data runs out
  ASSERT_FALSE(Read(hostile, f, strict));
  EXPECT_EQ(DecodeGifFrame(f.Frames[0], p, strict).Code, TGifErrorCode::CorruptData);
}

TEST(GifReader, KwKwKCodeRepeatsTheLastStringAndItsFirstPixel) {
  // 1, then code 6 (not yet in the table): "1 1", then 6 again: "1 1".
  Bytes b = GifHeader(5, 1, 4);
  b << ImageDescriptor(0, 0, 5, 1) << PackCodes(2, {{4, 3}, {1, 3}, {6, 3}, {6, 3}, {5, 4}});
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  TGifPixels p;
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(Indexes(p), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_FALSE(f.Frames[0].Corrupted);
}

TEST(GifReader, EveryTruncationEndsCleanly) {
  Bytes full = GifHeader(16, 16, 16);
  full << GraphicControl(1, 3, 2) << CommentExtension({"abc"});
  std::vector<int> pixels;
  for (int i = 0; i < 256; ++i) pixels.push_back((i * 7) % 16);
  full << ImageDescriptor(0, 0, 16, 16, true) << LiteralCodes(4, pixels);
  full << ApplicationExtension("NETSCAPE2.0", {1, 2, 0}) << ImageDescriptor(2, 2, 4, 4, false, 4)
       << LiteralCodes(2, std::vector<int>(16, 3));
  full.push_back(';');
  for (size_t n = 0; n <= full.size(); ++n) {
    TGifFile f;
    const TGifError e = ReadGif(full.data(), n, f);
    for (TGifFrame& frame : f.Frames) {
      TGifPixels p;
      (void)DecodeGifFrame(frame, p);
    }
    if (n < 13 && n > 0) {
      EXPECT_TRUE(e) << n;
    }
  }
  TGifFile f;
  ASSERT_FALSE(ReadGif(full.data(), full.size(), f));
  EXPECT_EQ(f.Frames.size(), 2u);
  // Cut inside the first frame's data: kept, marked corrupted, the
  // pixels that were there decoded.
  const size_t cut = full.size() - 120;
  ASSERT_FALSE(ReadGif(full.data(), cut, f));
  ASSERT_EQ(f.Frames.size(), 1u);
  EXPECT_TRUE(f.Frames[0].Corrupted);
  TGifPixels p;
  EXPECT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(p.Index(0, 0), 0);
  TGifReadOptions strict;
  strict.LoadCorrupted = false;
  EXPECT_EQ(ReadGif(full.data(), cut, f, strict).Code, TGifErrorCode::StreamRead);
}

TEST(GifReader, HostileSizesAreRefusedBeforeAllocating) {
  Bytes b = GifHeader(65535, 65535, 256);
  b << ImageDescriptor(0, 0, 65535, 65535) << LiteralCodes(8, {1, 2, 3});
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  TGifPixels p;
  const TGifError e = DecodeGifFrame(f.Frames[0], p);
  EXPECT_EQ(e.Code, TGifErrorCode::TooLarge);
  EXPECT_TRUE(p.Bits.empty());
  // A wide but short frame within the limit decodes; what the end code
  // leaves out is 0.
  b = GifHeader(60000, 2, 2);
  b << ImageDescriptor(0, 0, 60000, 2) << LiteralCodes(2, {1, 1});
  ASSERT_FALSE(Read(b, f));
  ASSERT_FALSE(DecodeGifFrame(f.Frames[0], p));
  EXPECT_EQ(p.Index(1, 0), 1);
  EXPECT_EQ(p.Index(59999, 1), 0);
}

TEST(GifReader, WrongColorCountOfAFrameWithoutTable) {
  // No global and no local table: bits per pixel 0 cannot be decoded.
  Bytes b = GifHeader(2, 1, 0);
  b << ImageDescriptor(0, 0, 2, 1) << LiteralCodes(2, {1, 1});
  TGifFile f;
  ASSERT_FALSE(Read(b, f));
  TGifPixels p;
  EXPECT_EQ(DecodeGifFrame(f.Frames[0], p).Code, TGifErrorCode::WrongColorCount);
}
