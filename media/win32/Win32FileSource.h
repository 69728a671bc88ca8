// TWin32FileSource: a TByteSource over a file opened by its exact UTF-16
// name (CreateFileW), read with 64-bit positions. Opened for reading only and
// shared for reading, writing and deletion, so reading a tag never blocks a
// rename or another program. Windows only.
// Parsers make many small reads; each positioned ReadFile costs about 50 us
// under Wine, so the source reads whole blocks (the file's head first, where
// nearly all tags lie) and serves small reads from them. The head is read at
// the first need (size or bytes) by one plain ReadFile from the start, and a
// file shorter than the head takes its size from that read: no size call.
// Tested by tests/media/win32/Win32FileSource_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "media/ByteSource.h"

namespace qv::media {

class TWin32FileSource final : public TByteSource {
public:
  // Bytes of one block read (the head block is the first).
  static constexpr size_t kBlockSize = 64 * 1024;

  explicit TWin32FileSource(const std::wstring& path);
  ~TWin32FileSource() override;

  bool isOpen() const { return m_handle != nullptr; }
  // GetLastError of the failed open (0 when open).
  unsigned long openError() const { return m_error; }
  // 0 when the file's head cannot be read.
  uint64_t size() const override;
  // The file's last-write time (FILETIME as a number); false when unknown.
  bool lastWriteTime(int64_t& time) const;
  // ReadFile calls made so far (tests and benchmarks).
  unsigned systemReads() const { return m_systemReads; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override;

private:
  // Bytes [offset, offset + n) of the file, from disk.
  bool readFile(uint64_t offset, void* dst, size_t n);
  struct TBlock {
    std::unique_ptr<uint8_t[]> data;
    uint64_t at = 0;
    size_t size = 0;  // 0 while empty
    bool holds(uint64_t offset, size_t n) const { return offset >= at && offset - at <= size && n <= size - (offset - at); }
  };
  bool load(TBlock& block, uint64_t at);
  // Reads the head and learns the size, once; false when the head cannot
  // be read.
  bool loadHead() const;

  void* m_handle = nullptr;  // HANDLE; nullptr when not open
  unsigned long m_error = 0;
  // The head stays; the other block follows reads beyond it (ID3v1 at the
  // end, a maker note or a thumbnail past the head).
  mutable TBlock m_head;
  TBlock m_far;
  mutable uint64_t m_size = 0;
  mutable bool m_headTried = false;
  mutable bool m_headRead = false;
  mutable unsigned m_systemReads = 0;
};

}  // namespace qv::media
