// Shared body of the photo fuzz targets: one reader reused for every input,
// as the program uses it, then every value a caller can ask for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/ImgData.h"
#include "media/IptcData.h"

namespace qv::media::fuzz {

// Keeps the work observable to the optimiser.
inline volatile size_t g_sink = 0;

inline void LoadAndUse(const uint8_t* data, size_t size, std::string_view name) {
  static TimgData reader(255);
  TMemorySource src(data, size);
  reader.LoadImageMetadata(&src, name);
  reader.MetadataPresent();
  size_t total = 0;
  if (const TImageInfo* info = reader.ExifInfo()) {
    for (const TTagEntry& e : info->Entries) total += e.ValueText.size() + e.Name.size();
    total += FindExifEntry(*info, "Make").ValueText.size();
    total += reader.ExifValue("FocalLengthIn35mmFilm").size();
  }
  if (TIPTCdata* iptc = reader.IptcInfo()) {
    iptc->ReadIptcBlock(reader.IptcSection->Bytes);
    total += iptc->IptcTagValue("Keywords", "").size();
    iptc->AddIptcValue("Keywords", "a b,\"c\"");
    iptc->RemoveIptcTag("City");
  }
  g_sink = total;
}

}  // namespace qv::media::fuzz
