// TWin32FileSource: a TByteSource over a file opened by its exact UTF-16
// name (CreateFileW), read with 64-bit positions. Opened for reading only and
// shared for reading, writing and deletion, so reading a tag never blocks a
// rename or another program. Windows only.
// Tested by tests/media/win32/Win32FileSource_test.cpp.
#pragma once

#include <string>

#include "media/ByteSource.h"

namespace qv::media {

class TWin32FileSource final : public TByteSource {
public:
  explicit TWin32FileSource(const std::wstring& path);
  ~TWin32FileSource() override;

  bool isOpen() const { return m_handle != nullptr; }
  // GetLastError of the failed open (0 when open).
  unsigned long openError() const { return m_error; }
  uint64_t size() const override { return m_size; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override;

private:
  void* m_handle = nullptr;  // HANDLE; nullptr when not open
  uint64_t m_size = 0;
  unsigned long m_error = 0;
};

}  // namespace qv::media
