// Photo metadata part of metadump: the reader's status, every EXIF, GPS and
// maker-note entry as Name=ValueText (maker entries prefixed "Maker:"), the
// JPEG comment and the IPTC datasets ("IPTC:Name=value").
#include <string_view>

#include "bench/metadump/dump.h"
#include "media/ImgData.h"
#include "media/IptcData.h"

namespace qv::metadump {

namespace {

bool IsPhotoName(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string ext(path.substr(dot));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".tif" || ext == ".tiff" ||
         ext == ".nef";
}

}  // namespace

bool DumpPhoto(const std::string& path, std::FILE* out) {
  if (!IsPhotoName(path)) return false;
  static qv::media::TimgData reader(255);  // one reader for every file, as the program does
  reader.LoadImageMetadata(path);
  std::fprintf(out, "status=%s\n", reader.StatusText.c_str());
  if (const qv::media::TImageInfo* info = reader.ExifInfo()) {
    for (const qv::media::TTagEntry& e : info->Entries)
      std::fprintf(out, "%s%s=%s\n", e.Id == 1 ? "Maker:" : "", e.Name.c_str(), e.ValueText.c_str());
  }
  if (reader.CommentSection && reader.CommentSection->Bytes.size() >= 2) {
    const std::string& b = reader.CommentSection->Bytes;
    std::fprintf(out, "Comment=%s\n", b.substr(2).c_str());
  }
  if (qv::media::TIPTCdata* iptc = reader.IptcInfo()) {
    iptc->ReadIptcBlock(reader.IptcSection->Bytes);
    for (const qv::media::TTagEntry& e : iptc->Entries)
      std::fprintf(out, "IPTC:%s=%s\n", e.Name.c_str(), e.ValueText.c_str());
  }
  return true;
}

}  // namespace qv::metadump
