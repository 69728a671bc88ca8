// A device-independent picture in memory, laid out like a packed BMP: rows
// bottom-up, each padded to 4 bytes, 1/4/8-bit indexes into a colour table
// or 24-bit blue-green-red. The GIF decoder writes one, the encoder and the
// colour reduction read one, and the picture class turns it into a bitmap
// through its packed-BMP form.
// Tested by tests/media/GifReduce_test.cpp (GifPixels cases).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv::media {

// Bytes of a row of `pixels` at `bits` per pixel, padded to `alignment`
// bits; 0 when the row would not fit in 32 bits.
size_t BytesPerScanline(uint64_t pixels, uint64_t bits, uint64_t alignment);

struct TGifPixels {
  int Width = 0, Height = 0;
  int Depth = 0;                  // 1, 4, 8 or 24
  std::vector<uint32_t> Palette;  // 0x00BBGGRR, 2^Depth entries for 1/4/8
  std::vector<uint8_t> Bits;      // Height rows of RowBytes(), bottom-up

  // A zero-filled picture (palette all black); false when the size is
  // negative, the depth is not 1/4/8/24 or the bytes exceed maxBytes.
  bool Create(int width, int height, int depth, uint64_t maxBytes = uint64_t(1) << 31);
  bool Empty() const { return Width <= 0 || Height <= 0; }
  size_t RowBytes() const { return BytesPerScanline(uint64_t(Width), uint64_t(Depth), 32); }
  // Picture row y (0 = top).
  uint8_t* Row(int y) { return Bits.data() + size_t(Height - 1 - y) * RowBytes(); }
  const uint8_t* Row(int y) const { return Bits.data() + size_t(Height - 1 - y) * RowBytes(); }
  // The table index at (x, y) of an indexed picture (-1 otherwise).
  int Index(int x, int y) const;
  void SetIndex(int x, int y, int index);
  // The colour at (x, y), through the table for indexed pictures.
  uint32_t Color(int x, int y) const;

  // File header, 40-byte information header, table, rows.
  std::vector<uint8_t> ToPackedBmp() const;
  // Uncompressed 1/4/8/24/32-bit packed BMPs (with or without the file
  // header; top-down rows are turned over; 32 bits become 24); false on
  // anything else, truncated data or more than maxBytes of pixels.
  static bool FromPackedBmp(const uint8_t* data, size_t size, TGifPixels& out,
                            uint64_t maxBytes = uint64_t(1) << 31);
};

}  // namespace qv::media
