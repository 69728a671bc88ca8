// Streams over files (wide names) and memory.
#include "framework/Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace qv::fw {

// --- TStream

int64_t TStream::Size() {
  const int64_t here = Position();
  const int64_t end = Seek(0, TSeekOrigin::End);
  Seek(here, TSeekOrigin::Begin);
  return end;
}

std::string TStream::ReadRest() {
  std::string out;
  char buf[65536];
  for (;;) {
    const size_t n = Read(buf, sizeof buf);
    if (n == 0) break;
    out.append(buf, n);
  }
  return out;
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    if (!source.SetPosition(0)) return 0;
    count = std::numeric_limits<int64_t>::max();
  }
  if (count < 0) return 0;
  std::vector<char> buf(65536);
  int64_t copied = 0;
  while (copied < count) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(count - copied, static_cast<int64_t>(buf.size())));
    const size_t got = source.Read(buf.data(), want);
    if (got == 0) break;
    const size_t put = Write(buf.data(), got);
    copied += static_cast<int64_t>(put);
    if (put != got) break;
  }
  return copied;
}

// --- TFileStream

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Open(const std::wstring& path, TFileMode mode) {
  Close();
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
  switch (mode) {
    case TFileMode::Read:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    case TFileMode::ReadWrite:
    case TFileMode::Append:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    case TFileMode::Create:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
  }
  m_file = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_file == INVALID_HANDLE_VALUE) {
    m_lastError = GetLastError();
    return false;
  }
  m_lastError = 0;
  m_path = path;
  if (mode == TFileMode::Append) Seek(0, TSeekOrigin::End);
  return true;
}

void TFileStream::Close() {
  if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  m_file = INVALID_HANDLE_VALUE;
}

bool TFileStream::Flush() { return IsOpen() && FlushFileBuffers(m_file); }

size_t TFileStream::Read(void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  auto* p = static_cast<char*>(buffer);
  while (total < count) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(m_file, p + total, want, &got, nullptr)) {
      m_lastError = GetLastError();
      break;
    }
    if (got == 0) break;
    total += got;
  }
  return total;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  const auto* p = static_cast<const char*>(buffer);
  while (total < count) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(m_file, p + total, want, &put, nullptr)) {
      m_lastError = GetLastError();
      break;
    }
    if (put == 0) break;
    total += put;
  }
  return total;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (!IsOpen()) return -1;
  LARGE_INTEGER dist, pos;
  dist.QuadPart = offset;
  const DWORD how = origin == TSeekOrigin::Begin ? FILE_BEGIN : origin == TSeekOrigin::Current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(m_file, dist, &pos, how)) {
    m_lastError = GetLastError();
    return -1;
  }
  return pos.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(m_file, &size)) return -1;
  return size.QuadPart;
}

bool TFileStream::SetSize(int64_t size) {
  if (!IsOpen() || size < 0) return false;
  const int64_t here = Position();
  if (Seek(size, TSeekOrigin::Begin) != size) return false;
  const bool ok = SetEndOfFile(m_file);
  if (!ok) m_lastError = GetLastError();
  Seek(std::min(here, size), TSeekOrigin::Begin);
  return ok;
}

// --- TMemoryStream

void TMemoryStream::Clear() {
  m_data.clear();
  m_position = 0;
}

bool TMemoryStream::LoadFromStream(TStream& source) {
  if (!source.SetPosition(0)) return false;
  m_data = source.ReadRest();
  m_position = 0;
  return true;
}

bool TMemoryStream::LoadFromFile(const std::wstring& path) {
  TFileStream f;
  if (!f.Open(path, TFileMode::Read)) return false;
  return LoadFromStream(f);
}

bool TMemoryStream::SaveToFile(const std::wstring& path) const {
  TFileStream f;
  if (!f.Open(path, TFileMode::Create)) return false;
  return SaveToStream(f);
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const int64_t size = Size();
  if (m_position >= size) return 0;
  const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - m_position));
  std::memcpy(buffer, m_data.data() + m_position, n);
  m_position += static_cast<int64_t>(n);
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (static_cast<uint64_t>(m_position) > m_data.max_size() - count) return 0;
  const size_t end = static_cast<size_t>(m_position) + count;
  try {
    if (end > m_data.size()) m_data.resize(end, '\0');
  } catch (const std::bad_alloc&) {
    return 0;
  }
  std::memcpy(m_data.data() + m_position, buffer, count);
  m_position = static_cast<int64_t>(end);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::Begin ? 0 : origin == TSeekOrigin::Current ? m_position : Size();
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset))
    return -1;
  m_position = base + offset;
  return m_position;
}

bool TMemoryStream::SetSize(int64_t size) {
  if (size < 0 || static_cast<uint64_t>(size) > m_data.max_size()) return false;
  try {
    m_data.resize(static_cast<size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (m_position > size) m_position = size;
  return true;
}

}  // namespace qv::fw
