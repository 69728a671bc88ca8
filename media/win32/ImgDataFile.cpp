// The photo reader's path entries under Windows, through the wide-name stream.
#include "media/win32/ImgDataFile.h"

#include <filesystem>
#include <memory>

#include "base/CodePage.h"
#include "media/win32/QwFileStream.h"

namespace qv::media {

namespace {

// A byte source over a wide-name stream it owns.
class TStreamSource final : public TByteSource {
public:
  explicit TStreamSource(std::unique_ptr<TQwFileStream> stream) : m_stream(std::move(stream)) {
    const int64_t size = m_stream->Size();
    m_size = size < 0 ? 0 : static_cast<uint64_t>(size);
  }
  uint64_t size() const override { return m_size; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override {
    if (m_stream->Seek(static_cast<int64_t>(offset), SeekOrigin::Begin) != static_cast<int64_t>(offset)) return false;
    auto* out = static_cast<uint8_t*>(dst);
    while (n > 0) {
      const size_t got = m_stream->Read(out, n);
      if (got == 0) return false;
      out += got;
      n -= got;
    }
    return true;
  }

private:
  std::unique_ptr<TQwFileStream> m_stream;
  uint64_t m_size = 0;
};

bool isFile(const std::wstring& path) {
  std::error_code ec;
  const std::filesystem::path p(path);
  return std::filesystem::exists(p, ec) && !std::filesystem::is_directory(p, ec);
}

std::unique_ptr<TByteSource> openWide(const std::wstring& path) {
  try {
    // Others may go on reading and writing the file while its tags are read.
    return std::make_unique<TStreamSource>(std::make_unique<TQwFileStream>(path, fmOpenRead | fmShareDenyNone));
  } catch (const EFileStreamError&) {
    return nullptr;
  }
}

std::wstring wideOf(const std::string& cp1252) {
  const std::u16string wide = base::Cp1252ToUtf16(cp1252);
  return std::wstring(wide.begin(), wide.end());
}

bool cp1252IsFile(const std::string& path) { return isFile(wideOf(path)); }
std::unique_ptr<TByteSource> cp1252Open(const std::string& path) { return openWide(wideOf(path)); }

}  // namespace

const TPathOpener kCp1252Paths{cp1252IsFile, cp1252Open};

bool LoadImageMetadata(TimgData& reader, const std::wstring& path) {
  reader.Reset();
  if (!isFile(path)) return false;
  // The name only chooses the reader by its extension; a file that is not a
  // photo is not opened.
  const std::string name = base::Utf16ToCp1252(std::u16string(path.begin(), path.end()));
  if (!TimgData::ReadsName(name)) return reader.LoadImageMetadata(nullptr, name);
  const std::unique_ptr<TByteSource> source = openWide(path);
  return reader.LoadImageMetadata(source.get(), name);
}

bool ReadIptcFile(TIPTCdata& iptc, const std::wstring& path) {
  iptc.Clear();
  if (!iptc.Owner) return false;
  LoadImageMetadata(*iptc.Owner, path);
  return iptc.ReadLoadedIptc();
}

}  // namespace qv::media
