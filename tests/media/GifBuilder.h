// Hand-assembled GIF files for the codec's tests: headers, tables,
// extensions and image data written code by code, so tests can make what
// no encoder would (odd code sizes, runaway chains, cut blocks). The
// literal encoder is independent of the codec: it sends one code per pixel
// and clears before the code size would grow.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, int v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

// "GIF89a", screen descriptor and a global table of `colors` entries
// (entry i = (i*10, i*20, i*30) mod 256); no table when colors is 0.
inline Bytes GifHeader(int width, int height, int colors, const char* version = "GIF89a", int background = 0) {
  Bytes b(version, version + 6);
  Put16(b, width);
  Put16(b, height);
  int bits = 0;
  while ((1 << bits) < colors) ++bits;
  b.push_back(colors ? uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1)) : uint8_t(0));
  b.push_back(uint8_t(background));
  b.push_back(0);
  for (int i = 0; i < colors; ++i) {
    b.push_back(uint8_t(i * 10));
    b.push_back(uint8_t(i * 20));
    b.push_back(uint8_t(i * 30));
  }
  return b;
}

// Codes of the given sizes, least-significant bit first, in sub-blocks of
// at most `blockSize` bytes, after the minimum-code-size byte, with the
// terminator.
inline Bytes PackCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codes, size_t blockSize = 255) {
  Bytes data;
  uint32_t buffer = 0;
  int bits = 0;
  for (auto [code, size] : codes) {
    buffer |= uint32_t(code) << bits;
    bits += size;
    while (bits >= 8) {
      data.push_back(uint8_t(buffer));
      buffer >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) data.push_back(uint8_t(buffer));
  Bytes out{uint8_t(minCodeSize)};
  for (size_t at = 0; at < data.size(); at += blockSize) {
    const size_t n = std::min(blockSize, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

// One literal code per pixel; a clear code before the table would make
// the decoder widen its codes.
inline Bytes LiteralCodes(int minCodeSize, const std::vector<int>& pixels) {
  const int clear = 1 << minCodeSize, size = minCodeSize + 1;
  // After a clear, the decoder adds an entry from the second code on; it
  // widens when its next free code reaches 2^size.
  const int room = (1 << size) - (clear + 2);
  std::vector<std::pair<int, int>> codes{{clear, size}};
  int sinceClear = 0;
  for (int p : pixels) {
    if (sinceClear == room) {
      codes.push_back({clear, size});
      sinceClear = 0;
    }
    codes.push_back({p, size});
    ++sinceClear;
  }
  codes.push_back({clear + 1, size});
  return PackCodes(minCodeSize, codes);
}

// "," and a 9-byte image descriptor, then a local table when localColors
// is not 0 (entry i = (255 - i, i, 7)).
inline Bytes ImageDescriptor(int left, int top, int width, int height, bool interlaced = false, int localColors = 0) {
  Bytes b{','};
  Put16(b, left);
  Put16(b, top);
  Put16(b, width);
  Put16(b, height);
  int bits = 0;
  while ((1 << bits) < localColors) ++bits;
  uint8_t packed = interlaced ? 0x40 : 0;
  if (localColors) packed |= uint8_t(0x80 | (bits - 1));
  b.push_back(packed);
  for (int i = 0; i < localColors; ++i) {
    b.push_back(uint8_t(255 - i));
    b.push_back(uint8_t(i));
    b.push_back(7);
  }
  return b;
}

inline Bytes GraphicControl(int flags, int delay, int transparentIndex) {
  Bytes b{'!', 0xF9, 4, uint8_t(flags)};
  Put16(b, delay);
  b.push_back(uint8_t(transparentIndex));
  b.push_back(0);
  return b;
}

inline Bytes CommentExtension(std::initializer_list<std::string> lines) {
  Bytes b{'!', 0xFE};
  for (const std::string& l : lines) {
    b.push_back(uint8_t(l.size()));
    b.insert(b.end(), l.begin(), l.end());
  }
  b.push_back(0);
  return b;
}

inline Bytes ApplicationExtension(const std::string& id11, const Bytes& firstBlock) {
  Bytes b{'!', 0xFF, 11};
  b.insert(b.end(), id11.begin(), id11.end());
  b.push_back(uint8_t(firstBlock.size()));
  b.insert(b.end(), firstBlock.begin(), firstBlock.end());
  b.push_back(0);
  return b;
}

inline Bytes& operator<<(Bytes& a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes operator<<(Bytes&& a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return std::move(a);
}

}  // namespace qv::test
