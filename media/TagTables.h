// The constant tag tables of the photo reader (main EXIF/TIFF table, GPS
// table, JPEG marker descriptions) and their lookups by number and by name.
// The maker-note tables are in MakerNoteTables.h, the IPTC table in IptcData.h.
// Tested by tests/media/TagTables_test.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "media/TagEntry.h"

namespace qv::media {

enum class TIfdKind { Main, Gps };

// Rows in the order the tables hold them; descriptions already filled from
// the names where a row has none (see DescriptionFromName). The last row of
// ExifTagTable is "Unknown" with tag 0, the default result of a lookup.
std::span<const TTagEntry> ExifTagTable();  // 251 rows
std::span<const TTagEntry> GpsTagTable();   // 31 rows, tags 0x00..0x1E
std::span<const TTagEntry> MarkerTable();   // 30 rows: marker code and description

// The row of a tag of a main or GPS directory; the "Unknown" row when the
// table has none (a later row with the same tag wins).
const TTagEntry& LookupTagRow(uint16_t tag, TIfdKind kind);
inline TTagEntry LookupTagByNumber(uint16_t tag, TIfdKind kind) { return LookupTagRow(tag, kind); }

// Row index in ExifTagTable of the first row (Unknown excluded) whose name
// equals `name` without regard to ASCII case; -1 when none.
int TagTableIndexByName(std::string_view name);

// A name split before capitals: "ExposureTime" -> "Exposure Time",
// "GPSLatitudeRef" -> "GPSLatitude Ref" (a run of capitals stays together).
std::string DescriptionFromName(std::string_view name);

// ASCII-only case-insensitive equality (names and extensions).
bool SameTextAscii(std::string_view a, std::string_view b);

}  // namespace qv::media
