// Win32 byte source: block reads on a shared read-only handle.
#include "media/win32/Win32FileSource.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace qv::media {

TWin32FileSource::TWin32FileSource(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    m_error = GetLastError();
    return;
  }
  m_handle = h;
}

TWin32FileSource::~TWin32FileSource() {
  if (m_handle) CloseHandle(m_handle);
}

bool TWin32FileSource::readFile(uint64_t offset, void* dst, size_t n) {
  if (!m_handle) return false;
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    // One ReadFile moves at most 4 GiB - 1 bytes.
    const DWORD chunk = n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(n);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    ++m_systemReads;
    if (!ReadFile(m_handle, out, chunk, &got, &at) || got == 0) return false;
    out += got;
    offset += got;
    n -= got;
  }
  return true;
}

uint64_t TWin32FileSource::size() const { return loadHead() ? m_size : 0; }

bool TWin32FileSource::lastWriteTime(int64_t& time) const {
  FILETIME written{};
  if (!m_handle || !GetFileTime(m_handle, nullptr, nullptr, &written)) return false;
  time = static_cast<int64_t>((uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
  return true;
}

bool TWin32FileSource::loadHead() const {
  if (m_headTried) return m_headRead;
  m_headTried = true;
  if (!m_handle) return false;
  m_head.data = std::make_unique_for_overwrite<uint8_t[]>(kBlockSize);
  // Nothing was read through the handle yet, so a plain read starts at 0;
  // under Wine it is cheaper than a positioned one.
  DWORD got = 0;
  ++m_systemReads;
  if (!ReadFile(m_handle, m_head.data.get(), static_cast<DWORD>(kBlockSize), &got, nullptr)) return false;
  if (got < kBlockSize) {
    // The whole file: its size is what was read.
    m_size = got;
  } else {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size) || size.QuadPart < static_cast<LONGLONG>(got)) return false;
    m_size = static_cast<uint64_t>(size.QuadPart);
  }
  m_head.at = 0;
  m_head.size = got;
  m_headRead = true;
  return true;
}

bool TWin32FileSource::load(TBlock& block, uint64_t at) {
  // The caller checked that at lies inside the file.
  const size_t n = static_cast<size_t>(std::min<uint64_t>(kBlockSize, m_size - at));
  if (!block.data) block.data = std::make_unique_for_overwrite<uint8_t[]>(kBlockSize);
  block.size = 0;
  if (!readFile(at, block.data.get(), n)) return false;
  block.at = at;
  block.size = n;
  return true;
}

bool TWin32FileSource::readAt(uint64_t offset, void* dst, size_t n) {
  if (!loadHead()) return false;
  const TBlock* from = nullptr;
  if (m_head.holds(offset, n)) {
    from = &m_head;
  } else if (m_far.holds(offset, n)) {
    from = &m_far;
  } else if (n <= kBlockSize) {
    if (!load(m_far, offset)) return false;
    from = &m_far;
  } else {
    return readFile(offset, dst, n);
  }
  std::memcpy(dst, from->data.get() + (offset - from->at), n);
  return true;
}

}  // namespace qv::media
