// The six colour-reduction methods.
#include "media/GifReduce.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace qv::media {

namespace {

constexpr uint32_t kGray128 = 0x808080;

uint32_t rgb(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }
int red(uint32_t c) { return int(c & 0xFF); }
int green(uint32_t c) { return int((c >> 8) & 0xFF); }
int blue(uint32_t c) { return int((c >> 16) & 0xFF); }

TLevelGrid makeGrid(std::initializer_list<uint8_t> levels) {
  TLevelGrid g;
  g.Count = int(levels.size());
  std::copy(levels.begin(), levels.end(), g.Levels.begin());
  for (int v = 0; v < 256; ++v) {
    int best = 0;
    for (int i = 1; i < g.Count; ++i)
      if (std::abs(v - g.Levels[size_t(i)]) < std::abs(v - g.Levels[size_t(best)])) best = i;
    g.Nearest[size_t(v)] = uint8_t(best);
  }
  return g;
}

// Reads every pixel of a 24-bit picture as (x, y, colour).
template <class F>
void forEachPixel(const TGifPixels& p, F&& f) {
  for (int y = 0; y < p.Height; ++y) {
    const uint8_t* row = p.Row(y);
    for (int x = 0; x < p.Width; ++x) f(x, y, rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
  }
}

// --- Histogram

constexpr int kHashSlots = 5191;
constexpr int kMaxHistogramColors = 2049;

struct THistSlot {
  uint32_t Color = 0;
  uint32_t Count = 0;
  uint8_t Index = 0;
  bool Used = false;
};

size_t histHash(uint32_t c) {
  const uint64_t r = uint64_t(red(c)), g = uint64_t(green(c)), b = uint64_t(blue(c));
  return size_t((r + g) * (b + g) * (r + b) % kHashSlots);
}

// The slot holding the colour, or the empty slot where it would go.
size_t histFind(const std::vector<THistSlot>& table, uint32_t c) {
  size_t h = histHash(c);
  while (table[h].Used && table[h].Color != c) h = (h + 1) % kHashSlots;
  return h;
}

void reduceHistogram(const TGifPixels& src, TGifPixels& out) {
  std::vector<THistSlot> table(kHashSlots);
  uint8_t maskR = 255, maskG = 255, maskB = 255;
  auto masked = [&](uint32_t c) { return rgb(red(c) & maskR, green(c) & maskG, blue(c) & maskB); };
  for (;;) {
    std::fill(table.begin(), table.end(), THistSlot{});
    int colors = 0;
    bool fits = true;
    for (int y = 0; y < src.Height && fits; ++y) {
      const uint8_t* row = src.Row(y);
      for (int x = 0; x < src.Width; ++x) {
        const uint32_t c = masked(rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
        const size_t h = histFind(table, c);
        if (table[h].Used) {
          ++table[h].Count;
        } else if (colors < kMaxHistogramColors) {
          table[h] = THistSlot{c, 1, 0, true};
          ++colors;
        } else {
          fits = false;
          break;
        }
      }
    }
    if (fits) break;
    // Too many colours: drop one more low bit and count again.
    if (maskR < maskG) maskG = uint8_t(maskG << 1);
    else if (maskB < maskR) maskR = uint8_t(maskR << 1);
    else maskB = uint8_t(maskB << 1);
  }

  std::vector<size_t> slots;
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].Used) slots.push_back(i);
  std::stable_sort(slots.begin(), slots.end(),
                   [&](size_t a, size_t b) { return table[a].Count > table[b].Count; });
  const size_t chosen = std::min<size_t>(256, slots.size());
  out.Palette.assign(256, kGray128);
  for (size_t i = 0; i < chosen; ++i) {
    out.Palette[i] = table[slots[i]].Color;
    table[slots[i]].Index = uint8_t(i);
  }
  for (size_t i = chosen; i < slots.size(); ++i) {
    const uint32_t c = table[slots[i]].Color;
    long best = -1;
    size_t bestIndex = 0;
    for (size_t k = 0; k < chosen; ++k) {
      const long dr = red(c) - red(out.Palette[k]), dg = green(c) - green(out.Palette[k]),
                 db = blue(c) - blue(out.Palette[k]);
      const long d = dr * dr + dg * dg + db * db;
      if (best < 0 || d < best) {
        best = d;
        bestIndex = k;
      }
    }
    table[slots[i]].Index = uint8_t(bestIndex);
  }
  forEachPixel(src, [&](int x, int y, uint32_t c) { out.Row(y)[x] = table[histFind(table, masked(c))].Index; });
}

// --- Median cut

struct TBox {
  std::vector<int> Cells;  // cell = r << 8 | g << 4 | b, levels 0..15
};

int level(int cell, int channel) { return (cell >> (8 - 4 * channel)) & 0x0F; }

void reduceQuantize(const TGifPixels& src, TGifPixels& out) {
  std::vector<uint32_t> histogram(4096, 0);
  auto cellOf = [](uint32_t c) { return ((red(c) >> 4) << 8) | ((green(c) >> 4) << 4) | (blue(c) >> 4); };
  forEachPixel(src, [&](int, int, uint32_t c) { ++histogram[size_t(cellOf(c))]; });
  std::vector<TBox> boxes(1);
  for (int cell = 0; cell < 4096; ++cell)
    if (histogram[size_t(cell)] > 0) boxes[0].Cells.push_back(cell);

  while (boxes.size() < 256) {
    int bestBox = -1, bestChannel = 0, bestExtent = -1;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].Cells.size() < 2) continue;
      for (int ch = 0; ch < 3; ++ch) {
        int lo = 15, hi = 0;
        for (int cell : boxes[i].Cells) {
          lo = std::min(lo, level(cell, ch));
          hi = std::max(hi, level(cell, ch));
        }
        if (hi - lo > bestExtent) {
          bestExtent = hi - lo;
          bestBox = int(i);
          bestChannel = ch;
        }
      }
    }
    if (bestBox < 0) break;
    std::vector<int>& cells = boxes[size_t(bestBox)].Cells;
    std::sort(cells.begin(), cells.end(), [&](int a, int b) {
      const int la = level(a, bestChannel), lb = level(b, bestChannel);
      return la != lb ? la < lb : a < b;
    });
    uint64_t total = 0;
    for (int cell : cells) total += histogram[size_t(cell)];
    uint64_t sum = 0;
    size_t cut = 1;
    for (; cut < cells.size(); ++cut) {
      sum += histogram[size_t(cells[cut - 1])];
      if (sum * 2 >= total) break;
    }
    cut = std::min(cut, cells.size() - 1);
    TBox upper;
    upper.Cells.assign(cells.begin() + std::ptrdiff_t(cut), cells.end());
    cells.resize(cut);
    boxes.push_back(std::move(upper));
  }

  out.Palette.assign(256, kGray128);
  std::vector<uint8_t> boxOfCell(4096, 0);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TBox& box = boxes[i];
    if (box.Cells.empty()) continue;
    int mean[3];
    for (int ch = 0; ch < 3; ++ch) {
      int sum = 0;
      for (int cell : box.Cells) sum += level(cell, ch);
      mean[ch] = (sum * 16 + 15) / int(box.Cells.size());
    }
    out.Palette[i] = (mean[0] <= 16 && mean[1] <= 16 && mean[2] <= 16) ? 0 : rgb(mean[0], mean[1], mean[2]);
    for (int cell : box.Cells) boxOfCell[size_t(cell)] = uint8_t(i);
  }
  forEachPixel(src, [&](int x, int y, uint32_t c) { out.Row(y)[x] = boxOfCell[size_t(cellOf(c))]; });
}

// --- Fixed grids, triplets, grayscale

void reduceTruncate(const TGifPixels& src, TGifPixels& out, int levelsR, int levelsG, int levelsB) {
  const TLevelGrid &gr = LevelGrid(levelsR), &gg = LevelGrid(levelsG), &gb = LevelGrid(levelsB);
  out.Palette.assign(256, kGray128);
  for (int r = 0; r < levelsR; ++r)
    for (int g = 0; g < levelsG; ++g)
      for (int b = 0; b < levelsB; ++b)
        out.Palette[size_t((r * levelsG + g) * levelsB + b)] =
            rgb(gr.Levels[size_t(r)], gg.Levels[size_t(g)], gb.Levels[size_t(b)]);
  forEachPixel(src, [&](int x, int y, uint32_t c) {
    out.Row(y)[x] = uint8_t((gr.Nearest[size_t(red(c))] * levelsG + gg.Nearest[size_t(green(c))]) * levelsB +
                            gb.Nearest[size_t(blue(c))]);
  });
}

void reduceTriplets(const TGifPixels& src, TGifPixels& out) {
  out.Palette.assign(256, 0);
  for (int i = 0; i < 64; ++i) {
    out.Palette[size_t(i)] = rgb(4 * i, 0, 0);
    out.Palette[size_t(64 + i)] = rgb(0, 4 * i, 0);
    out.Palette[size_t(128 + i)] = rgb(0, 0, 4 * i);
  }
  forEachPixel(src, [&](int x, int y, uint32_t c) {
    switch ((x + y) % 3) {
      case 0: out.Row(y)[x] = uint8_t(red(c) >> 2); break;
      case 1: out.Row(y)[x] = uint8_t((green(c) >> 2) | 64); break;
      default: out.Row(y)[x] = uint8_t((blue(c) >> 2) | 128); break;
    }
  });
}

void reduceGrayscale(const TGifPixels& src, TGifPixels& out) {
  out.Palette.resize(256);
  for (int i = 0; i < 256; ++i) out.Palette[size_t(i)] = rgb(i, i, i);
  forEachPixel(src, [&](int x, int y, uint32_t c) {
    out.Row(y)[x] = uint8_t((77 * red(c) + 150 * green(c) + 29 * blue(c)) >> 8);
  });
}

}  // namespace

int ColorsOfDepth(int bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

const TLevelGrid& LevelGrid(int levels) {
  static const TLevelGrid g4 = makeGrid({0, 85, 170, 255});
  static const TLevelGrid g6 = makeGrid({0, 51, 102, 153, 204, 255});
  static const TLevelGrid g7 = makeGrid({0, 43, 85, 128, 170, 213, 255});
  static const TLevelGrid g8 = makeGrid({0, 36, 73, 109, 146, 182, 219, 255});
  switch (levels) {
    case 4: return g4;
    case 6: return g6;
    case 7: return g7;
    default: return g8;
  }
}

bool ReduceColors(const TGifPixels& source, TReductionMethod method, TGifPixels& out) {
  if (source.Width < 0 || source.Height < 0 || source.Bits.size() != source.RowBytes() * size_t(source.Height))
    return false;
  if (source.Depth != 24) {
    if (source.Depth != 1 && source.Depth != 4 && source.Depth != 8) return false;
    out = source;
    return true;
  }
  TGifPixels result;
  if (!result.Create(source.Width, source.Height, 8)) return false;
  switch (method) {
    case TReductionMethod::Histogram: reduceHistogram(source, result); break;
    case TReductionMethod::Quantize: reduceQuantize(source, result); break;
    case TReductionMethod::Trunc784: reduceTruncate(source, result, 7, 8, 4); break;
    case TReductionMethod::Trunc666: reduceTruncate(source, result, 6, 6, 6); break;
    case TReductionMethod::Triplets: reduceTriplets(source, result); break;
    case TReductionMethod::Grayscale: reduceGrayscale(source, result); break;
  }
  out = std::move(result);
  return true;
}

}  // namespace qv::media
