// TTagEntry: the record shared by the photo reader's constant tag tables and
// by the tag lists it builds per image (EXIF, GPS, maker notes, IPTC). The
// script interpreter reads an entry's ValueText by its Name.
// Tested through tests/media/TagTables_test.cpp and the reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/ByteSource.h"

namespace qv::media {

// What a value formatter sees: the value text built so far, the raw bytes as
// stored and the byte order they were stored in (UTF-16 tags need the bytes).
struct TFormatInput {
  std::string_view text;
  std::string_view raw;
  ByteOrder order = ByteOrder::Little;
};

// Replaces a value text; never fails (bad input gives a neutral text).
using TTagFormatter = std::string (*)(const TFormatInput&);

struct TTagEntry {
  int32_t Id = 0;             // 0: table or EXIF/GPS entry; 1: maker-note entry
  uint16_t ValueType = 0;     // TIFF type number of the stored value
  uint16_t RecordNumber = 0;  // IPTC record; 0 for EXIF tags
  uint16_t Tag = 0;           // 0 marks the empty entry, never stored
  std::string Name;
  std::string Description;
  std::string DecodeList;     // "number:text,number:text,..."
  std::string ValueText;
  std::string RawBytes;       // the value's bytes as stored in the file
  int32_t RawPos = 0;         // block position of the value
  std::string FormatText;
  int32_t ByteCount = 0;      // raw byte count (IPTC table: maximum length)
  TTagFormatter Formatter = nullptr;
};

}  // namespace qv::media
