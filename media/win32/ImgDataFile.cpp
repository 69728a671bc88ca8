// The photo reader's path entries under Windows: every file is opened by its
// UTF-16 name through the wide-name stream; an 8-bit path is cp1252, the
// program's code page, turned into UTF-16 first.
// Tested by tests/media/win32/ImgDataFile_test.cpp.
#include <filesystem>
#include <memory>

#include "base/CodePage.h"
#include "media/ImgData.h"
#include "media/win32/QwFileStream.h"

namespace qv::media {

namespace {

// A byte source over an open wide-name stream.
class TStreamSource final : public TByteSource {
public:
  explicit TStreamSource(TQwFileStream& stream) : m_stream(stream) {
    const int64_t size = stream.Size();
    m_size = size < 0 ? 0 : static_cast<uint64_t>(size);
  }
  uint64_t size() const override { return m_size; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override {
    if (m_stream.Seek(static_cast<int64_t>(offset), SeekOrigin::Begin) != static_cast<int64_t>(offset)) return false;
    auto* out = static_cast<uint8_t*>(dst);
    while (n > 0) {
      const size_t got = m_stream.Read(out, n);
      if (got == 0) return false;
      out += got;
      n -= got;
    }
    return true;
  }

private:
  TQwFileStream& m_stream;
  uint64_t m_size = 0;
};

}  // namespace

bool TimgData::LoadImageMetadata(const std::wstring& path) {
  Reset();
  std::error_code ec;
  const std::filesystem::path p(path);
  if (!std::filesystem::exists(p, ec) || std::filesystem::is_directory(p, ec)) return false;
  // The name only chooses the reader by its extension.
  const std::string name = base::Utf16ToCp1252(std::u16string(path.begin(), path.end()));
  std::unique_ptr<TQwFileStream> stream;
  try {
    // Others may go on reading and writing the file while its tags are read.
    stream = std::make_unique<TQwFileStream>(path, fmOpenRead | fmShareDenyNone);
  } catch (const EFileStreamError&) {
    return LoadImageMetadata(nullptr, name);
  }
  TStreamSource source(*stream);
  return LoadImageMetadata(&source, name);
}

bool TimgData::LoadImageMetadata(const std::string& path) {
  const std::u16string wide = base::Cp1252ToUtf16(path);
  return LoadImageMetadata(std::wstring(wide.begin(), wide.end()));
}

}  // namespace qv::media
