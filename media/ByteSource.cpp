// Bounds-checked byte sources: memory and stdio files.
#include "media/ByteSource.h"

#include <cstring>
#include <filesystem>

namespace qv::media {

bool TByteSource::read(uint64_t offset, void* dst, size_t n) {
  if (n == 0) return contains(offset, 0);
  if (!contains(offset, n)) return false;
  if (!readAt(offset, dst, n)) return false;
  m_bytesRead += n;
  return true;
}

bool TByteSource::u16(uint64_t offset, ByteOrder order, uint16_t& v) {
  uint8_t b[2];
  if (!read(offset, b, 2)) return false;
  v = load16(b, order);
  return true;
}

bool TByteSource::u32(uint64_t offset, ByteOrder order, uint32_t& v) {
  uint8_t b[4];
  if (!read(offset, b, 4)) return false;
  v = load32(b, order);
  return true;
}

bool TMemorySource::readAt(uint64_t offset, void* dst, size_t n) {
  std::memcpy(dst, m_data + offset, n);
  return true;
}

namespace {
int seek64(std::FILE* f, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<long long>(offset), SEEK_SET);
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}
}  // namespace

TStdioFileSource::TStdioFileSource(const std::string& path) {
  m_file = std::fopen(path.c_str(), "rb");
  if (!m_file) return;
#ifdef _WIN32
  if (_fseeki64(m_file, 0, SEEK_END) == 0) m_size = static_cast<uint64_t>(_ftelli64(m_file));
#else
  if (fseeko(m_file, 0, SEEK_END) == 0) m_size = static_cast<uint64_t>(ftello(m_file));
#endif
}

TStdioFileSource::~TStdioFileSource() {
  if (m_file) std::fclose(m_file);
}

bool TStdioFileSource::readAt(uint64_t offset, void* dst, size_t n) {
  if (!m_file || seek64(m_file, offset) != 0) return false;
  return std::fread(dst, 1, n, m_file) == n;
}

namespace {
bool stdioIsFile(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p(path);
  return std::filesystem::exists(p, ec) && !std::filesystem::is_directory(p, ec);
}

std::unique_ptr<TByteSource> stdioOpen(const std::string& path) {
  auto source = std::make_unique<TStdioFileSource>(path);
  if (!source->isOpen()) return nullptr;
  return source;
}
}  // namespace

const TPathOpener kStdioPaths{stdioIsFile, stdioOpen};

}  // namespace qv::media
