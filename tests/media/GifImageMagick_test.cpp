// Differential checks against ImageMagick. Reading: every file of data/gif
// was made by ImageMagick (make_gif_files.sh) and expected.txt holds, per
// frame, what it reads: size, offset, delay, disposal and a hash of the
// RGBA pixels. Writing (host build only, when ImageMagick is installed):
// pictures we encode are read back by ImageMagick pixel for pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "media/GifReader.h"
#include "media/GifReduce.h"
#include "media/GifWriter.h"

using namespace qv::media;

namespace {

std::string dataDir() { return std::string(QV_MEDIA_TEST_DATA) + "/gif"; }

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint64_t fnv(const std::vector<uint8_t>& data) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

// The transparent index of a frame's graphic control extension, or -1.
int transparentIndex(const TGifFrame& f) {
  int index = -1;
  for (const TExtension& e : f.Extensions)
    if (e.Kind == TExtensionKind::GraphicControl && e.Fixed.size() >= 6) index = (e.Fixed[1] & 1) ? e.Fixed[4] : -1;
  return index;
}

// RGBA rows top-down, see-through pixels as 0,0,0,0 (as the script counts).
std::vector<uint8_t> rgba(const TGifPixels& p, int transparent) {
  std::vector<uint8_t> out;
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) {
      if (p.Index(x, y) == transparent) {
        out.insert(out.end(), {0, 0, 0, 0});
        continue;
      }
      const uint32_t c = p.Color(x, y);
      out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 255});
    }
  return out;
}

}  // namespace

TEST(GifImageMagick, EveryFrameReadsAsImageMagickReadsIt) {
  std::ifstream expected(dataDir() + "/expected.txt");
  ASSERT_TRUE(expected.good());
  std::string line;
  int checked = 0;
  std::string lastName;
  TGifFile file;
  while (std::getline(expected, line)) {
    std::istringstream in(line);
    std::string name, hash;
    int frame = 0, w = 0, h = 0, x = 0, y = 0, delay = 0, disposal = 0;
    in >> name >> frame >> w >> h >> x >> y >> delay >> disposal >> hash;
    SCOPED_TRACE(line);
    if (name != lastName) {
      const std::vector<uint8_t> bytes = readFile(dataDir() + "/" + name);
      ASSERT_FALSE(bytes.empty());
      ASSERT_FALSE(ReadGif(bytes.data(), bytes.size(), file));
      lastName = name;
    }
    ASSERT_LT(size_t(frame), file.Frames.size());
    TGifFrame& f = file.Frames[size_t(frame)];
    TGifPixels pixels;
    ASSERT_FALSE(DecodeGifFrame(f, pixels));
    EXPECT_FALSE(f.Corrupted);
    EXPECT_EQ(pixels.Width, w);
    EXPECT_EQ(pixels.Height, h);
    EXPECT_EQ(f.Left, x);
    EXPECT_EQ(f.Top, y);
    EXPECT_EQ(f.DelayMs, delay * 10);
    if (disposal != 0) {
      EXPECT_EQ(f.Disposal, disposal);
    }
    char ours[17];
    std::snprintf(ours, sizeof ours, "%016llx", static_cast<unsigned long long>(fnv(rgba(pixels, transparentIndex(f)))));
    EXPECT_EQ(ours, hash);
    ++checked;
  }
  EXPECT_EQ(checked, 11);
}

TEST(GifImageMagick, AnimationHeaderValues) {
  const std::vector<uint8_t> bytes = readFile(dataDir() + "/anim.gif");
  TGifFile file;
  ASSERT_FALSE(ReadGif(bytes.data(), bytes.size(), file));
  EXPECT_TRUE(file.Looping);
  EXPECT_EQ(file.RepeatCount, 2);  // ImageMagick stores "-loop 3" as 2 repeats
  EXPECT_EQ(file.Version, TGifVersion::V89a);
  const std::vector<uint8_t> comment = readFile(dataDir() + "/comment.gif");
  ASSERT_FALSE(ReadGif(comment.data(), comment.size(), file));
  // Written before the image: the frame's comment, not the picture's.
  ASSERT_EQ(file.Frames.size(), 1u);
  EXPECT_TRUE(file.Header->Comment.empty());
  EXPECT_EQ(file.Frames[0].Comment(), std::vector<std::string>{"Quorvant Pro: commentaire de test"});
}

#ifndef _WIN32
namespace {

bool haveConvert() { return std::ifstream("/usr/bin/convert").good(); }

// ImageMagick's RGB bytes of frame 0 of a GIF file, top-down.
std::vector<uint8_t> imageMagickRgb(const std::string& path) {
  const std::string command = "/usr/bin/convert '" + path + "[0]' -depth 8 rgb:- 2>/dev/null";
  std::vector<uint8_t> out;
  if (FILE* p = popen(command.c_str(), "r")) {
    uint8_t buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.insert(out.end(), buffer, buffer + n);
    pclose(p);
  }
  return out;
}

std::vector<uint8_t> rgb(const TGifPixels& p) {
  std::vector<uint8_t> out;
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) {
      const uint32_t c = p.Color(x, y);
      out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
  return out;
}

// Writes a one-frame GIF of the picture and returns its path.
std::string writeGif(const TGifPixels& p, const std::string& name) {
  TGifFile file;
  file.Frames.emplace_back();
  EXPECT_FALSE(EncodeGifFrame(file, file.Frames[0], p));
  file.Version = TGifVersion::V87a;
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(WriteGif(file, bytes));
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

}  // namespace

TEST(GifImageMagick, ImageMagickReadsWhatWeWrite) {
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick is not installed";
  std::mt19937 random(5);
  struct Case { int depth, width, height; bool noise; };
  // Noise fills the code table many times over; runs make long strings.
  for (const Case c : {Case{1, 37, 23, true}, Case{4, 61, 41, true}, Case{8, 200, 150, true},
                       Case{8, 513, 300, false}, Case{4, 1, 1, false}}) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits " << c.width << "x" << c.height);
    TGifPixels p;
    ASSERT_TRUE(p.Create(c.width, c.height, c.depth));
    for (size_t i = 0; i < p.Palette.size(); ++i) p.Palette[i] = uint32_t(random()) & 0xFFFFFF;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        p.SetIndex(x, y, c.noise ? int(random() % p.Palette.size()) : (x / 7 + y / 5) % int(p.Palette.size()));
    const std::string path = writeGif(p, "qv_gif_" + std::to_string(c.depth) + "_" + std::to_string(c.width) + ".gif");
    EXPECT_EQ(imageMagickRgb(path), rgb(p));
    std::remove(path.c_str());
  }
}

TEST(GifImageMagick, ReducedTrueColourPicturesReadBackTheSame) {
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick is not installed";
  TGifPixels source;
  ASSERT_TRUE(source.Create(90, 70, 24));
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 90; ++x) {
      uint8_t* px = source.Row(y) + 3 * x;
      px[0] = uint8_t(x * 3), px[1] = uint8_t(y * 3), px[2] = uint8_t((x * y) & 0xFF);
    }
  for (TReductionMethod m : {TReductionMethod::Histogram, TReductionMethod::Quantize, TReductionMethod::Trunc784,
                             TReductionMethod::Trunc666, TReductionMethod::Triplets, TReductionMethod::Grayscale}) {
    SCOPED_TRACE(int(m));
    TGifPixels reduced;
    ASSERT_TRUE(ReduceColors(source, m, reduced));
    const std::string path = writeGif(reduced, "qv_gif_reduced_" + std::to_string(int(m)) + ".gif");
    EXPECT_EQ(imageMagickRgb(path), rgb(reduced));
    std::remove(path.c_str());
  }
}
#endif
