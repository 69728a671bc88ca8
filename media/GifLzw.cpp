// LZW decoder and encoder of GIF image data.
#include "media/GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace qv::media {

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxChain = 4096;

// Writes decoded values left to right, row after row, in plain or
// interlace order; ignores values once the last row is done.
class TPixelSink {
public:
  TPixelSink(TGifPixels& p, bool interlaced) : m_p(p), m_interlaced(interlaced) {
    m_done = p.Empty();
    if (!m_done) m_row = p.Row(0);
  }
  bool Done() const { return m_done; }
  void Put(uint8_t v) {
    if (m_done) return;
    switch (m_p.Depth) {
      case 1:
        if (v & 1) m_row[m_x >> 3] |= uint8_t(0x80 >> (m_x & 7));
        break;
      case 4: m_row[m_x >> 1] |= (m_x & 1) ? uint8_t(v & 0x0F) : uint8_t(v << 4); break;
      default: m_row[m_x] = v; break;
    }
    if (++m_x == m_p.Width) NextRow();
  }

private:
  void NextRow() {
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    m_x = 0;
    if (!m_interlaced) {
      ++m_y;
    } else {
      m_y += kStep[m_pass];
      while (m_y >= m_p.Height && m_pass < 3) m_y = kStart[++m_pass];
    }
    if (m_y >= m_p.Height) m_done = true;
    else m_row = m_p.Row(m_y);
  }

  TGifPixels& m_p;
  bool m_interlaced;
  bool m_done = false;
  int m_x = 0, m_y = 0, m_pass = 0;
  uint8_t* m_row = nullptr;
};

// Codes of `size` bits, least-significant bit first, from the joined
// sub-blocks.
class TCodeReader {
public:
  explicit TCodeReader(const std::vector<uint8_t>& joined) : m_data(joined) {}
  // False when fewer than `size` bits remain.
  bool Read(int size, int& code) {
    while (m_bits < size) {
      if (m_pos >= m_data.size()) return false;
      m_buffer |= uint32_t(m_data[m_pos++]) << m_bits;
      m_bits += 8;
    }
    code = int(m_buffer & ((1u << size) - 1));
    m_buffer >>= size;
    m_bits -= size;
    return true;
  }
  size_t Position() const { return m_pos; }

private:
  const std::vector<uint8_t>& m_data;
  size_t m_pos = 0;
  uint32_t m_buffer = 0;
  int m_bits = 0;
};

// The data bytes of the sub-blocks after the code-size byte, up to the
// terminator or the end of what is there.
std::vector<uint8_t> JoinSubBlocks(const std::vector<uint8_t>& encoded) {
  std::vector<uint8_t> joined;
  joined.reserve(encoded.size());
  size_t pos = 1;
  while (pos < encoded.size()) {
    const size_t len = encoded[pos++];
    if (len == 0) break;
    const size_t take = std::min(len, encoded.size() - pos);
    joined.insert(joined.end(), encoded.begin() + std::ptrdiff_t(pos), encoded.begin() + std::ptrdiff_t(pos + take));
    pos += take;
  }
  return joined;
}

}  // namespace

TGifError LzwDecode(const std::vector<uint8_t>& encoded, int bitsPerPixel, bool interlaced, TGifPixels& pixels,
                    bool& corrupted, const TGifReadOptions& options, const TGifProgress& progress) {
  if (progress) progress(TGifProgressStage::Starting, 0, "");
  TGifError error;
  // Only what this decoding finds counts: a frame already marked corrupted
  // by a short copy still shows the pixels that are there.
  bool bad = false;
  if (encoded.empty()) {
    bad = true;
  } else {
    int minSize = encoded[0];
    if (minSize < 2 || minSize > 9) {
      if (!options.LoadCorrupted) error = {TGifErrorCode::CodeSizeRange, 0};
      bad = true;
      minSize = minSize < 2 ? 2 : 9;
    }
    if (!error) {
      const int clear = 1 << minSize, end = clear + 1, first = clear + 2;
      const int mask = (1 << std::min(std::max(bitsPerPixel, 0), 8)) - 1;
      int size = minSize + 1, max = 1 << size, free = first;
      bool tableFull = false;
      auto prefix = std::make_unique<std::array<uint16_t, kMaxCodes>>();
      auto suffix = std::make_unique<std::array<uint8_t, kMaxCodes>>();
      prefix->fill(0);
      suffix->fill(0);
      // A KwKwK first character, up to kMaxChain suffixes and the final
      // literal.
      std::array<uint8_t, kMaxChain + 2> stack{};
      const std::vector<uint8_t> joined = JoinSubBlocks(encoded);
      TCodeReader reader(joined);
      TPixelSink sink(pixels, interlaced);
      int oldCode = -1, firstChar = 0;
      while (!sink.Done()) {
        int code = 0;
        if (!reader.Read(size, code)) {
          bad = true;  // the data ends before the picture does
          break;
        }
        if (code == clear) {
          size = minSize + 1;
          max = 1 << size;
          free = first;
          tableFull = false;
          oldCode = -1;
          continue;
        }
        if (bad || code == end) break;
        if (oldCode < 0) {
          firstChar = code & mask;
          sink.Put(uint8_t(firstChar));
          oldCode = code;
          continue;
        }
        const int inCode = code;
        size_t sp = 0;
        if (code >= free) {
          stack[sp++] = uint8_t(firstChar);
          code = oldCode;
        }
        int steps = 0;
        while (code > mask) {
          if (++steps > kMaxChain) break;
          stack[sp++] = (*suffix)[size_t(code)];
          code = (*prefix)[size_t(code)];
        }
        if (steps > kMaxChain) {
          if (!options.LoadCorrupted) error = {TGifErrorCode::CorruptData, 0};
          bad = true;
          break;
        }
        firstChar = code & mask;
        stack[sp++] = uint8_t(firstChar);
        while (sp > 0) sink.Put(stack[--sp]);
        if (!tableFull) {
          (*prefix)[size_t(free)] = uint16_t(oldCode);
          (*suffix)[size_t(free)] = uint8_t(firstChar);
          if (++free >= max) {
            if (size < 12) {
              ++size;
              max <<= 1;
            } else {
              tableFull = true;
            }
          }
        }
        oldCode = inCode;
        if (progress) progress(TGifProgressStage::Running, int(reader.Position() * 100 / joined.size()), "");
      }
      if (!error && bad && !options.LoadCorrupted) error = {TGifErrorCode::CorruptData, 0};
    }
  }
  if (bad) corrupted = true;
  if (progress) progress(TGifProgressStage::Ending, error ? 0 : 100, error.Text());
  return error;
}

namespace {

// Packs codes least-significant bit first into 255-byte sub-blocks.
class TCodeWriter {
public:
  explicit TCodeWriter(std::vector<uint8_t>& out) : m_out(out) {}
  void Write(int code, int size) {
    m_buffer |= uint32_t(code) << m_bits;
    m_bits += size;
    while (m_bits >= 8) {
      m_block[m_count++] = uint8_t(m_buffer);
      m_buffer >>= 8;
      m_bits -= 8;
      if (m_count == 255) FlushBlock();
    }
  }
  void Finish() {
    if (m_bits > 0) {
      m_block[m_count++] = uint8_t(m_buffer);
      m_bits = 0;
      if (m_count == 255) FlushBlock();
    }
    FlushBlock();
    m_out.push_back(0);
  }

private:
  void FlushBlock() {
    if (m_count == 0) return;
    m_out.push_back(uint8_t(m_count));
    m_out.insert(m_out.end(), m_block.begin(), m_block.begin() + std::ptrdiff_t(m_count));
    m_count = 0;
  }
  std::vector<uint8_t>& m_out;
  std::array<uint8_t, 255> m_block{};
  size_t m_count = 0;
  uint32_t m_buffer = 0;
  int m_bits = 0;
};

constexpr int kHashSlots = 17777;

struct THashEntry {
  int16_t Prefix = -1;  // -1: empty slot
  uint16_t Code = 0;
  uint8_t Suffix = 0;
};

}  // namespace

void LzwEncode(const TGifPixels& pixels, bool interlaced, std::vector<uint8_t>& out, const TGifProgress& progress) {
  if (progress) progress(TGifProgressStage::Starting, 0, "");
  const int depth = pixels.Depth == 1 || pixels.Depth == 4 ? pixels.Depth : 8;
  const int s = depth == 1 ? 3 : depth + 1;
  out.push_back(uint8_t(s - 1));
  const int clear = 1 << (s - 1), end = clear + 1;
  int size = s, max = 1 << s;
  // The last code given to a string; the next one is lastCode + 1.
  int lastCode = end;
  std::vector<THashEntry> table(kHashSlots);
  TCodeWriter writer(out);
  writer.Write(clear, size);

  int length = 0, prefix = 0;
  int64_t hash = 0;
  static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  int y = 0, pass = 0;
  for (int row = 0; row < pixels.Height; ++row) {
    for (int x = 0; x < pixels.Width; ++x) {
      const int p = pixels.Index(x, y);
      ++length;
      if (length == 1) {
        prefix = p;
        hash = int64_t(p) * 301 + 903;
        continue;
      }
      hash = (int64_t(p) + length + 4) * hash % kHashSlots;
      size_t slot = size_t(hash);
      bool found = false;
      while (table[slot].Prefix >= 0) {
        if (table[slot].Prefix == prefix && table[slot].Suffix == p) {
          prefix = table[slot].Code;
          found = true;
          break;
        }
        if (++slot == size_t(kHashSlots)) slot = 0;
      }
      if (found) continue;
      writer.Write(prefix, size);
      ++lastCode;
      table[slot] = THashEntry{int16_t(prefix), uint16_t(lastCode), uint8_t(p)};
      prefix = p;
      hash = int64_t(p) * 301 + 903;
      length = 1;
      if (lastCode == max) {
        max <<= 1;
        ++size;
      } else if (lastCode > 4093) {
        // The table is nearly full: finish this string and start afresh.
        writer.Write(prefix, size);
        writer.Write(clear, size);
        length = 0;
        lastCode = end;
        size = s;
        max = 1 << s;
        std::fill(table.begin(), table.end(), THashEntry{});
      }
    }
    if (interlaced) {
      y += kStep[pass];
      while (y >= pixels.Height && pass < 3) y = kStart[++pass];
    } else {
      ++y;
    }
    if (progress) progress(TGifProgressStage::Running, int(int64_t(row + 1) * 100 / pixels.Height), "");
  }
  // A string just written before a reset has nothing left to write.
  if (length > 0) writer.Write(prefix, size);
  writer.Write(end, size);
  writer.Finish();
  if (progress) progress(TGifProgressStage::Ending, 100, "");
}

}  // namespace qv::media
