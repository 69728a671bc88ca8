// Colour reduction of 24-bit pictures to 8-bit pictures with a 256-entry
// palette, by six methods: a frequency histogram (the default), median-cut
// quantization, two truncations to fixed level grids, channel triplets
// and grayscale. Portable: the picture class reads a bitmap's pixels as
// 24 bits and hands them here before encoding a GIF frame.
// Example:  TGifPixels p8; ReduceColors(p24, TReductionMethod::Histogram, p8);
// Tested by tests/media/GifReduce_test.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "media/GifPixels.h"

namespace qv::media {

enum class TReductionMethod : uint8_t {
  Histogram = 0,  // the most frequent colours; the module default
  Quantize = 1,   // median cut over a 4-bit-per-channel histogram
  Trunc784 = 2,   // 7 red x 8 green x 4 blue levels (224 colours)
  Trunc666 = 3,   // 6 x 6 x 6 levels (216 colours)
  Triplets = 4,   // each pixel keeps one channel, by position
  Grayscale = 5,
};

constexpr TReductionMethod kDefaultReduction = TReductionMethod::Histogram;

// Colours of a depth: 1 bit 2, 4 bits 16, 8 bits 256, other 0.
int ColorsOfDepth(int bits);

// Index of the nearest level of a grid of 4, 6, 7 or 8 levels for every
// byte value (the lower level on a tie); levels are the grid's values.
struct TLevelGrid {
  int Count = 0;
  std::array<uint8_t, 8> Levels{};
  std::array<uint8_t, 256> Nearest{};
};
const TLevelGrid& LevelGrid(int levels);

// Reduces a 24-bit picture (1/4/8-bit pictures are copied unchanged) to an
// 8-bit one with a 256-entry palette; unused palette entries are gray 128
// (black for triplets). False only for an empty or malformed picture.
bool ReduceColors(const TGifPixels& source, TReductionMethod method, TGifPixels& out);

}  // namespace qv::media
