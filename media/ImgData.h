// TimgData: reads the metadata of one photo file at a time. A JPEG is read
// as a chain of marker sections (EXIF in APP1, IPTC in APP13, comment in
// COM); a TIFF or NEF file as one TIFF block. One reader serves every file:
// each load starts from a reset and keeps nothing of the previous file.
//
//   TimgData reader(255);
//   TStdioFileSource src(path);           // or TWin32FileSource on Windows
//   reader.LoadImageMetadata(src.isOpen() ? &src : nullptr, fileName);
//   if (const TImageInfo* info = reader.ExifInfo())
//     use(FindExifEntry(*info, "DateTimeOriginal").ValueText);
//
// Reads go through a bounds-checked byte source, each byte at most once:
// the section headers, a JPEG's EXIF block (one read), the IPTC and comment
// sections; of a TIFF file only its directories and the values they point
// at. Never raises. Not reentrant.
// Tested by tests/media/JpegReader_test.cpp and tests/media/TiffReader_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "media/ByteSource.h"
#include "media/ImageInfo.h"

namespace qv::media {

class TIPTCdata;

// One JPEG marker section. Bytes (the section from its length field on) is
// read only for the sections whose content is used: APP0, APP13 and COM.
struct tSection {
  std::string Bytes;
  int32_t Marker = 0;
  int32_t Length = 0;   // the 16-bit length field, itself included
  uint64_t Offset = 0;  // file offset of the length field
};

class TimgData : public tEndInd {
public:
  static constexpr int kMaxSections = 20;

  explicit TimgData(int buildSetting = 255);
  ~TimgData();
  TimgData(const TimgData&) = delete;
  TimgData& operator=(const TimgData&) = delete;

  // Reset, then read the file at `path`, an 8-bit path, reached through
  // Paths. False when no file is there; a file that is not a photo is not
  // opened. (UTF-16 paths: media/win32/ImgDataFile.h.)
  bool LoadImageMetadata(const std::string& path);
  // Reset, then read an existing file through `source`; `fileName` gives the
  // extension that chooses the reader. A null source stands for a file that
  // exists but cannot be opened.
  bool LoadImageMetadata(TByteSource* source, std::string_view fileName);
  void Reset();
  // True when the name's extension chooses a reader (JPEG, TIFF, NEF): any
  // other file is "Not an EXIF file" without being opened.
  static bool ReadsName(std::string_view fileName);

  // True when the last load found an EXIF, IPTC or comment section.
  bool MetadataPresent() const;

  TImageInfo* ExifInfo() { return m_exifPresent ? m_exif.get() : nullptr; }
  const TImageInfo* ExifInfo() const { return m_exifPresent ? m_exif.get() : nullptr; }
  TIPTCdata* IptcInfo() { return m_iptcPresent ? m_iptc.get() : nullptr; }
  const TIPTCdata* IptcInfo() const { return m_iptcPresent ? m_iptc.get() : nullptr; }

  // The ValueText of the EXIF entry of that name; empty when the file holds
  // no EXIF block or no such entry.
  std::string ExifValue(std::string_view name) const;

  // Steps of a load, public for tests.
  bool ReadJpegMarkers(TByteSource& source);
  void ReadExifSection(TByteSource& source, const tSection& section);
  bool ReadTiff(TByteSource& source);

  std::array<tSection, kMaxSections> Sections;
  int SectionCount = 0;
  bool TiffFlag = false;
  int BuildSetting = 255;
  const TPathOpener* Paths = &kStdioPaths;  // never null
  const tSection* ExifSection = nullptr;
  const tSection* IptcSection = nullptr;
  const tSection* CommentSection = nullptr;
  const tSection* HeaderSection = nullptr;
  std::string StatusText;

private:
  TImageInfo& NewExifInfo(bool tiffFlag, int32_t blockBase);
  TIPTCdata& NewIptcInfo();

  // Created once and reused: the accessors show them only while present.
  std::unique_ptr<TImageInfo> m_exif;
  std::unique_ptr<TIPTCdata> m_iptc;
  std::string m_exifBlock;  // a JPEG's TIFF block, reused between files
  bool m_exifPresent = false;
  bool m_iptcPresent = false;
};

}  // namespace qv::media
