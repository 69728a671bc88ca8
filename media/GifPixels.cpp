// In-memory device-independent pictures and their packed-BMP form.
#include "media/GifPixels.h"

#include <algorithm>
#include <cstring>

#include "media/ByteSource.h"

namespace qv::media {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

}  // namespace

size_t BytesPerScanline(uint64_t pixels, uint64_t bits, uint64_t alignment) {
  if (alignment == 0 || bits == 0 || pixels > UINT32_MAX || bits > 64 || alignment > 64) return 0;
  const uint64_t total = pixels * bits + alignment - 1;
  const uint64_t bytes = (total - total % alignment) / 8;
  return bytes > UINT32_MAX ? 0 : size_t(bytes);
}

bool TGifPixels::Create(int width, int height, int depth, uint64_t maxBytes) {
  *this = TGifPixels{};
  if (width < 0 || height < 0) return false;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return false;
  const size_t row = BytesPerScanline(uint64_t(width), uint64_t(depth), 32);
  if (width > 0 && row == 0) return false;
  if (height > 0 && row > maxBytes / uint64_t(height)) return false;
  Width = width;
  Height = height;
  Depth = depth;
  if (depth <= 8) Palette.assign(size_t(1) << depth, 0);
  Bits.assign(row * size_t(height), 0);
  return true;
}

int TGifPixels::Index(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return -1;
  const uint8_t* r = Row(y);
  switch (Depth) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    case 8: return r[x];
    default: return -1;
  }
}

void TGifPixels::SetIndex(int x, int y, int index) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  uint8_t* r = Row(y);
  switch (Depth) {
    case 1: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      r[x >> 3] = (index & 1) ? uint8_t(r[x >> 3] | bit) : uint8_t(r[x >> 3] & ~bit);
      break;
    }
    case 4:
      r[x >> 1] = (x & 1) ? uint8_t((r[x >> 1] & 0xF0) | (index & 0x0F))
                          : uint8_t((r[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
      break;
    case 8: r[x] = uint8_t(index); break;
    default: break;
  }
}

uint32_t TGifPixels::Color(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  if (Depth == 24) {
    const uint8_t* p = Row(y) + size_t(x) * 3;
    return uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
  }
  const int i = Index(x, y);
  return size_t(i) < Palette.size() ? Palette[size_t(i)] : 0;
}

std::vector<uint8_t> TGifPixels::ToPackedBmp() const {
  const uint32_t tableBytes = Depth <= 8 ? 4u << Depth : 0;
  const uint32_t offset = 14 + 40 + tableBytes;
  std::vector<uint8_t> out;
  out.reserve(offset + Bits.size());
  out.push_back('B');
  out.push_back('M');
  put32(out, uint32_t(offset + Bits.size()));
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, uint32_t(Width));
  put32(out, uint32_t(Height));
  put16(out, 1);
  put16(out, uint32_t(Depth));
  put32(out, 0);  // no compression
  put32(out, uint32_t(Bits.size()));
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  if (Depth <= 8) {
    for (size_t i = 0; i < (size_t(1) << Depth); ++i) {
      const uint32_t c = i < Palette.size() ? Palette[i] : 0;
      out.push_back(uint8_t(c >> 16));
      out.push_back(uint8_t(c >> 8));
      out.push_back(uint8_t(c));
      out.push_back(0);
    }
  }
  out.insert(out.end(), Bits.begin(), Bits.end());
  return out;
}

bool TGifPixels::FromPackedBmp(const uint8_t* data, size_t size, TGifPixels& out, uint64_t maxBytes) {
  out = TGifPixels{};
  TMemorySource src(data, size);
  uint64_t info = 0;
  uint64_t pixelOffset = 0;
  bool fileHeader = size >= 2 && data[0] == 'B' && data[1] == 'M';
  if (fileHeader) {
    uint32_t off = 0;
    if (!src.u32(10, ByteOrder::Little, off)) return false;
    info = 14;
    pixelOffset = off;
  }
  uint32_t headerSize = 0, compression = 0, used = 0;
  uint32_t w = 0, h = 0;
  uint16_t planes = 0, bits = 0;
  if (!src.u32(info, ByteOrder::Little, headerSize) || headerSize < 40 || !src.contains(info, headerSize)) return false;
  if (!src.u32(info + 4, ByteOrder::Little, w) || !src.u32(info + 8, ByteOrder::Little, h) ||
      !src.u16(info + 12, ByteOrder::Little, planes) || !src.u16(info + 14, ByteOrder::Little, bits) ||
      !src.u32(info + 16, ByteOrder::Little, compression) || !src.u32(info + 32, ByteOrder::Little, used))
    return false;
  const int32_t width = int32_t(w), rawHeight = int32_t(h);
  if (width < 0 || rawHeight == INT32_MIN || planes != 1 || compression != 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  const uint64_t tableCount = bits <= 8 ? (used == 0 || used > (1u << bits) ? (1u << bits) : used) : 0;
  const uint64_t tableAt = info + headerSize;
  if (!fileHeader) pixelOffset = tableAt + tableCount * 4;
  if (!src.contains(tableAt, tableCount * 4)) return false;
  const size_t srcRow = BytesPerScanline(uint64_t(width), bits, 32);
  if (width > 0 && srcRow == 0) return false;
  if (height > 0 && srcRow > (src.size() - std::min<uint64_t>(pixelOffset, src.size())) / uint64_t(height)) return false;
  if (!src.contains(pixelOffset, uint64_t(srcRow) * uint64_t(height))) return false;

  TGifPixels p;
  if (!p.Create(width, height, bits == 32 ? 24 : bits, maxBytes)) return false;
  for (uint64_t i = 0; i < tableCount; ++i) {
    const uint8_t* q = data + tableAt + i * 4;
    p.Palette[size_t(i)] = uint32_t(q[2]) | (uint32_t(q[1]) << 8) | (uint32_t(q[0]) << 16);
  }
  const size_t dstRow = p.RowBytes();
  for (int r = 0; r < height; ++r) {
    // Stored row r is picture row height-1-r (bottom-up) or r (top-down).
    const uint8_t* s = data + pixelOffset + size_t(r) * srcRow;
    const int y = topDown ? r : height - 1 - r;
    uint8_t* d = p.Row(y);
    if (bits == 32) {
      for (int x = 0; x < width; ++x) std::memcpy(d + size_t(x) * 3, s + size_t(x) * 4, 3);
    } else {
      std::memcpy(d, s, std::min(dstRow, srcRow));
    }
  }
  out = std::move(p);
  return true;
}

}  // namespace qv::media
