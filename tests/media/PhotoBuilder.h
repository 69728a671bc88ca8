// Test helpers that assemble TIFF blocks and JPEG files byte by byte, in
// either byte order, for the photo reader's tests and edge cases.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "media/ByteSource.h"

namespace qv::media::test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v, ByteOrder o) {
  if (o == ByteOrder::Big) b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
  else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
}
inline void Put32(Bytes& b, uint32_t v, ByteOrder o) {
  if (o == ByteOrder::Big) b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}
inline void Patch32(Bytes& b, size_t at, uint32_t v, ByteOrder o) {
  Bytes t;
  Put32(t, v, o);
  std::copy(t.begin(), t.end(), b.begin() + long(at));
}

// A TIFF block: header, then the directories in the order they were added,
// each followed by its out-of-line values. Directory 0 is IFD0.
class TTiff {
public:
  struct Entry {
    uint16_t tag, type;
    uint32_t count;
    Bytes data;          // value bytes in file order
    int subIfd = -1;     // LONG pointer to this directory
    bool rawOffset = false;  // data holds the 4 offset bytes as given
  };

  explicit TTiff(ByteOrder o) : order(o) {}

  int AddIfd() {
    ifds.emplace_back();
    return int(ifds.size()) - 1;
  }
  void Add(int ifd, Entry e) { ifds[size_t(ifd)].push_back(std::move(e)); }

  void Ascii(int ifd, uint16_t tag, const std::string& s, bool terminate = true) {
    Bytes d(s.begin(), s.end());
    if (terminate) d.push_back(0);
    Add(ifd, {tag, 2, uint32_t(d.size()), d});
  }
  void Undefined(int ifd, uint16_t tag, const Bytes& d, uint16_t type = 7) {
    Add(ifd, {tag, type, uint32_t(d.size()), d});
  }
  void Short(int ifd, uint16_t tag, std::vector<uint16_t> v, uint16_t type = 3) {
    Bytes d;
    for (uint16_t x : v) Put16(d, x, order);
    Add(ifd, {tag, type, uint32_t(v.size()), d});
  }
  void Long(int ifd, uint16_t tag, std::vector<uint32_t> v, uint16_t type = 4) {
    Bytes d;
    for (uint32_t x : v) Put32(d, x, order);
    Add(ifd, {tag, type, uint32_t(v.size()), d});
  }
  void Rational(int ifd, uint16_t tag, std::vector<std::pair<uint32_t, uint32_t>> v, uint16_t type = 5) {
    Bytes d;
    for (auto [n, m] : v) {
      Put32(d, n, order);
      Put32(d, m, order);
    }
    Add(ifd, {tag, type, uint32_t(v.size()), d});
  }
  void Pointer(int ifd, uint16_t tag, int sub) {
    Entry e{tag, 4, 1, {}};
    e.subIfd = sub;
    Add(ifd, std::move(e));
  }
  // An entry whose value-or-offset field is written as given.
  void RawEntry(int ifd, uint16_t tag, uint16_t type, uint32_t count, uint32_t offsetField) {
    Entry e{tag, type, count, {}};
    Put32(e.data, offsetField, order);
    e.rawOffset = true;
    Add(ifd, std::move(e));
  }

  // TIFF offset of the value of the n-th entry of a directory (after Build).
  uint32_t ValueOffset(int ifd, size_t n) const { return valueOffsets[size_t(ifd)][n]; }
  uint32_t IfdOffset(int ifd) const { return ifdOffsets[size_t(ifd)]; }

  Bytes Build(uint32_t firstOffset = 8) {
    ifdOffsets.assign(ifds.size(), 0);
    valueOffsets.assign(ifds.size(), {});
    uint32_t at = firstOffset;
    for (size_t i = 0; i < ifds.size(); ++i) {
      ifdOffsets[i] = at;
      at += 2 + 12 * uint32_t(ifds[i].size()) + 4;
      for (const Entry& e : ifds[i])
        if (!e.rawOffset && e.data.size() > 4) at += uint32_t(e.data.size() + (e.data.size() & 1));
    }
    Bytes b;
    if (order == ByteOrder::Little) b = {'I', 'I'};
    else b = {'M', 'M'};
    Put16(b, 42, order);
    Put32(b, ifds.empty() ? 0 : ifdOffsets[0], order);
    b.resize(std::max<size_t>(b.size(), firstOffset), 0);
    for (size_t i = 0; i < ifds.size(); ++i) {
      b.resize(ifdOffsets[i], 0);
      Put16(b, uint16_t(ifds[i].size()), order);
      uint32_t data = ifdOffsets[i] + 2 + 12 * uint32_t(ifds[i].size()) + 4;
      Bytes area;
      for (const Entry& e : ifds[i]) {
        Put16(b, e.tag, order);
        Put16(b, e.type, order);
        Put32(b, e.count, order);
        if (e.subIfd >= 0) {
          valueOffsets[i].push_back(uint32_t(b.size()));
          Put32(b, ifdOffsets[size_t(e.subIfd)], order);
        } else if (e.rawOffset || e.data.size() <= 4) {
          valueOffsets[i].push_back(uint32_t(b.size()));
          Bytes v = e.data;
          v.resize(4, 0);
          b.insert(b.end(), v.begin(), v.end());
        } else {
          valueOffsets[i].push_back(data);
          Put32(b, data, order);
          area.insert(area.end(), e.data.begin(), e.data.end());
          if (e.data.size() & 1) area.push_back(0);
          data += uint32_t(e.data.size() + (e.data.size() & 1));
        }
      }
      Put32(b, 0, order);
      b.insert(b.end(), area.begin(), area.end());
    }
    return b;
  }

  ByteOrder order;
  std::vector<std::vector<Entry>> ifds;
  std::vector<uint32_t> ifdOffsets;
  std::vector<std::vector<uint32_t>> valueOffsets;
};

// One JPEG marker section: marker, then the length field and the data.
inline Bytes Section(uint8_t marker, const Bytes& data) {
  Bytes b{0xFF, marker};
  const size_t len = data.size() + 2;
  b.push_back(uint8_t(len >> 8));
  b.push_back(uint8_t(len));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

inline Bytes ExifApp1(const Bytes& tiff) {
  Bytes d{'E', 'x', 'i', 'f', 0, 0};
  d.insert(d.end(), tiff.begin(), tiff.end());
  return Section(0xE1, d);
}

inline Bytes Jfif() { return Section(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}); }
inline Bytes Dqt() { return Section(0xDB, Bytes(65, 1)); }
inline Bytes Sos() { return Section(0xDA, {1, 1, 0, 0, 0x3F, 0}); }
inline Bytes Com(const std::string& s) { return Section(0xFE, Bytes(s.begin(), s.end())); }

// SOI, the sections, a start of scan with a few entropy bytes, EOI.
inline Bytes Jpeg(std::initializer_list<Bytes> sections, bool withScan = true) {
  Bytes b{0xFF, 0xD8};
  for (const Bytes& s : sections) b.insert(b.end(), s.begin(), s.end());
  if (withScan) {
    const Bytes sos = Sos();
    b.insert(b.end(), sos.begin(), sos.end());
    b.insert(b.end(), {0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xD9});
  }
  return b;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

}  // namespace qv::media::test
