// Bounds-checked random-access byte sources that every media parser reads
// through: memory, a stdio file, and (media/win32) a Win32 file opened by its
// UTF-16 name. Reads never go past the source; multi-byte reads name their
// byte order. Not thread-safe: one source per parse.
// Tested by tests/media/ByteSource_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qv::media {

enum class ByteOrder { Little, Big };

class TByteSource {
public:
  virtual ~TByteSource() = default;
  TByteSource() = default;
  TByteSource(const TByteSource&) = delete;
  TByteSource& operator=(const TByteSource&) = delete;

  virtual uint64_t size() const = 0;

  // Reads exactly n bytes at offset. False, with dst untouched in meaning, when
  // [offset, offset + n) is not wholly inside the source or the read fails.
  bool read(uint64_t offset, void* dst, size_t n);

  // True when [offset, offset + n) lies inside the source (cannot wrap).
  bool contains(uint64_t offset, uint64_t n) const {
    const uint64_t s = size();
    return offset <= s && n <= s - offset;
  }

  // Multi-byte reads; false when out of bounds.
  bool u8(uint64_t offset, uint8_t& v) { return read(offset, &v, 1); }
  bool u16(uint64_t offset, ByteOrder order, uint16_t& v);
  bool u32(uint64_t offset, ByteOrder order, uint32_t& v);

  // Bytes handed out so far (benchmarks report bytes read per file).
  uint64_t bytesRead() const { return m_bytesRead; }

protected:
  virtual bool readAt(uint64_t offset, void* dst, size_t n) = 0;

private:
  uint64_t m_bytesRead = 0;
};

// A borrowed block of memory; the caller keeps it alive.
class TMemorySource final : public TByteSource {
public:
  TMemorySource(const void* data, size_t size)
      : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
  explicit TMemorySource(const std::vector<uint8_t>& v) : TMemorySource(v.data(), v.size()) {}
  uint64_t size() const override { return m_size; }
  const uint8_t* data() const { return m_data; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override;

private:
  const uint8_t* m_data;
  size_t m_size;
};

// A file read through stdio with 64-bit positions. Opened by an 8-bit path
// (host builds, tools); Windows code opens by UTF-16 name (media/win32).
class TStdioFileSource final : public TByteSource {
public:
  explicit TStdioFileSource(const std::string& path);
  ~TStdioFileSource() override;
  bool isOpen() const { return m_file != nullptr; }
  uint64_t size() const override { return m_size; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override;

private:
  std::FILE* m_file = nullptr;
  uint64_t m_size = 0;
};

// How a reader's 8-bit path entry reaches the file system. kStdioPaths takes
// the path as the system's own 8-bit name; Windows code gives the opener of
// media/win32/ImgDataFile.h, which reads it as cp1252 and opens the file by
// its UTF-16 name. The portable library so opens files without linking
// anything of Win32.
struct TPathOpener {
  bool (*IsFile)(const std::string& path);                        // a file, not a folder
  std::unique_ptr<TByteSource> (*Open)(const std::string& path);  // null when it cannot be
};
extern const TPathOpener kStdioPaths;

// Byte-order helpers for values already in memory.
inline uint16_t load16(const uint8_t* p, ByteOrder o) {
  return o == ByteOrder::Little ? uint16_t(p[0] | (p[1] << 8)) : uint16_t((p[0] << 8) | p[1]);
}
inline uint32_t load32(const uint8_t* p, ByteOrder o) {
  return o == ByteOrder::Little
             ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24)
             : (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace qv::media
