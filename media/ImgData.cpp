// The photo reader: file kinds, the JPEG marker walk, the EXIF header and
// the TIFF header.
#include "media/ImgData.h"

#include <cstring>

#include "media/IptcData.h"

namespace qv::media {

namespace {

enum class TFileKind { Other, Jpeg, Tiff };

TFileKind KindOfName(std::string_view name) {
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return TFileKind::Other;
  const std::string_view ext = name.substr(dot);
  for (const char* e : {".jpg", ".jpeg", ".jpe"})
    if (SameTextAscii(ext, e)) return TFileKind::Jpeg;
  for (const char* e : {".tif", ".tiff", ".nef"})
    if (SameTextAscii(ext, e)) return TFileKind::Tiff;
  return TFileKind::Other;
}

// Markers that stand alone, without a length field.
bool IsStandalone(uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD8); }

// Fill bytes and stand-alone markers tolerated between two sections: more
// means a file that is not a JPEG in any useful sense.
constexpr uint64_t kMaxFill = 65536;

}  // namespace

TimgData::TimgData(int buildSetting) : BuildSetting(buildSetting) { Reset(); }

TimgData::~TimgData() = default;

void TimgData::Reset() {
  SectionCount = 0;
  ExifSection = IptcSection = CommentSection = HeaderSection = nullptr;
  StatusText.clear();
  m_exifPresent = false;
  m_iptcPresent = false;
  BigEndian = false;
  TiffFlag = false;
  ClearBlock();
}

bool TimgData::MetadataPresent() const {
  return ExifSection != nullptr || CommentSection != nullptr || IptcSection != nullptr;
}

std::string TimgData::ExifValue(std::string_view name) const {
  const TImageInfo* info = ExifInfo();
  return info ? info->TagValueByName(name) : std::string();
}

TImageInfo& TimgData::NewExifInfo(bool tiffFlag, int32_t blockBase) {
  if (!m_exif) m_exif = std::make_unique<TImageInfo>(this, BuildSetting);
  m_exif->BuildSetting = BuildSetting;
  m_exif->Reset(tiffFlag, blockBase);
  m_exifPresent = true;
  return *m_exif;
}

TIPTCdata& TimgData::NewIptcInfo() {
  if (!m_iptc) m_iptc = std::make_unique<TIPTCdata>(this);
  m_iptc->Clear();
  m_iptcPresent = true;
  return *m_iptc;
}

bool TimgData::LoadImageMetadata(const std::string& path) {
  Reset();
  if (!Paths->IsFile(path)) return false;
  if (KindOfName(path) == TFileKind::Other) {
    StatusText = "Not an EXIF file";
    return false;
  }
  const std::unique_ptr<TByteSource> source = Paths->Open(path);
  return LoadImageMetadata(source.get(), path);
}

bool TimgData::ReadsName(std::string_view fileName) { return KindOfName(fileName) != TFileKind::Other; }

bool TimgData::LoadImageMetadata(TByteSource* source, std::string_view fileName) {
  Reset();
  StatusText = "Not an EXIF file";
  const TFileKind kind = KindOfName(fileName);
  if (kind == TFileKind::Other) return false;
  if (!source) {
    StatusText = "Illegal Exif construction";
    return false;
  }
  bool ok = false;
  if (kind == TFileKind::Jpeg) {
    TiffFlag = false;
    ok = ReadJpegMarkers(*source);
  } else {
    ok = ReadTiff(*source);
  }
  if (ok) StatusText = "<none>";
  return ok;
}

bool TimgData::ReadJpegMarkers(TByteSource& source) {
  uint8_t soi[2];
  if (!source.read(0, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return false;
  uint64_t pos = 2;
  SectionCount = 0;
  while (SectionCount < kMaxSections) {
    // The marker: the first byte that is not a 0xFF fill byte (a missing
    // 0xFF prefix is not detected). End of file ends the walk. The usual
    // case, 0xFF, marker and length, is one read.
    uint8_t marker = 0;
    const uint64_t from = pos;
    uint8_t head[4];
    const bool quick =
        source.read(pos, head, 4) && head[0] == 0xFF && head[1] != 0xFF && !IsStandalone(head[1]);
    if (quick) {
      marker = head[1];
      pos += 2;
    }
    while (!quick) {
      if (!source.u8(pos++, marker)) return MetadataPresent();
      if (marker == 0xFF) {
        if (pos - from > kMaxFill) return false;
        continue;
      }
      if (!IsStandalone(marker)) break;
      if (pos - from > kMaxFill) return false;
    }
    if (marker == 0xD9) return MetadataPresent();

    tSection& s = Sections[size_t(SectionCount)];
    ++SectionCount;
    uint16_t length = 0;
    if (quick) length = load16(head + 2, ByteOrder::Big);
    else if (!source.u16(pos, ByteOrder::Big, length)) return MetadataPresent();
    if (length < 2) return false;  // cannot hold its own length: corrupt
    s.Marker = marker;
    s.Length = length;
    s.Offset = pos;
    s.Bytes.clear();
    pos += length;
    // A section cut short by the end of the file is counted but not used.
    if (!source.contains(s.Offset, length)) continue;

    if (SectionCount == 5 && !MetadataPresent()) return false;

    auto readBytes = [&] {  // the length field is known: read what follows it
      s.Bytes.resize(length);
      s.Bytes[0] = char(length >> 8);
      s.Bytes[1] = char(length & 0xFF);
      if (!source.read(s.Offset + 2, s.Bytes.data() + 2, length - 2u)) s.Bytes.clear();
    };
    switch (marker) {
      case 0xDA:
        return MetadataPresent();
      case 0xE0:
        readBytes();
        HeaderSection = &s;
        break;
      case 0xE1:
        if (SectionCount > 5 || ExifSection) {
          --SectionCount;  // dropped: the next section reuses its slot
          break;
        }
        ExifSection = &s;
        NewExifInfo(false, 9);
        ReadExifSection(source, s);
        break;
      case 0xED:
        if (!IptcSection) {
          readBytes();
          IptcSection = &s;
          NewIptcInfo();
        }
        break;
      case 0xFE:
        readBytes();
        CommentSection = &s;
        break;
      default:
        break;
    }
  }
  return MetadataPresent();
}

void TimgData::ReadExifSection(TByteSource& source, const tSection& section) {
  // After the length field: "Exif" and two zero bytes, then the TIFF block
  // (byte order, 42, offset of the first directory; offsets count from the
  // byte order). The section is small (under 64 KiB): one read, then the
  // walk runs in memory.
  if (section.Length < 16) {
    StatusText = "Incorrect Exif header";
    return;
  }
  m_exifBlock.resize(size_t(section.Length) - 2);
  if (!source.read(section.Offset + 2, m_exifBlock.data(), m_exifBlock.size()) ||
      std::memcmp(m_exifBlock.data(), "Exif\0", 5) != 0) {
    StatusText = "Incorrect Exif header";
    return;
  }
  const char* tiff = m_exifBlock.data() + 6;
  if (tiff[0] == 'I' && tiff[1] == 'I') BigEndian = false;
  else if (tiff[0] == 'M' && tiff[1] == 'M') BigEndian = true;
  else {
    StatusText = "Invalid Exif alignment marker";
    return;
  }
  TMemorySource block(tiff, m_exifBlock.size() - 6);
  TImageInfo& info = *m_exif;
  info.BigEndian = BigEndian;
  info.SetBlock(&block, 0, block.size());
  uint32_t first = 0;
  info.Read32(4, first);
  info.WalkIfd(first == 0 ? 8 : first, TIfdKind::Main);
  if (!StatusText.empty()) info.FocalLength35Summary();
  info.ClearBlock();
}

bool TimgData::ReadTiff(TByteSource& source) {
  TiffFlag = true;
  uint8_t h[8];
  const bool read = source.read(0, h, 2);
  const bool intel = read && h[0] == 'I' && h[1] == 'I';
  const bool motorola = read && h[0] == 'M' && h[1] == 'M';
  if (!intel && !motorola) {
    TiffFlag = false;
    return false;
  }
  BigEndian = motorola;
  // The first directory is where the header says (ImageMagick writes it
  // after the pixels), not necessarily right after the header.
  if (!source.read(2, h + 2, 6) || load16(h + 2, Order()) != 42) {
    TiffFlag = false;
    return false;
  }
  SectionCount = 1;
  tSection& s = Sections[0];
  s.Bytes.clear();
  s.Marker = 0;
  s.Length = 0;
  s.Offset = 0;
  ExifSection = &s;
  TImageInfo& info = NewExifInfo(true, -7);
  info.BigEndian = BigEndian;
  info.SetBlock(&source, 0, source.size());
  info.WalkIfd(load32(h + 4, Order()), TIfdKind::Main);
  info.FocalLength35Summary();
  info.ClearBlock();
  TiffFlag = false;
  return true;
}

}  // namespace qv::media
