// ID3v2 part of metadump: the tag header and every field of TID3v2, as
// "id3.<name>=<value>" lines (values in cp1252, as the reader gives them).
#include "bench/metadump/dump.h"
#include "media/ID3v2.h"

namespace qv::metadump {

bool DumpId3(const std::string& path, std::FILE* out) {
  media::TStdioFileSource source(path);
  if (!source.isOpen()) return false;
  media::TID3v2 tag;
  if (!tag.LoadId3v2Tag(source) || !tag.Present) return false;
  std::fprintf(out, "id3.Version=%u\n", unsigned(tag.Version));
  std::fprintf(out, "id3.Revision=%u\n", unsigned(tag.Info.Revision));
  std::fprintf(out, "id3.Flags=0x%02X\n", unsigned(tag.Info.Flags));
  std::fprintf(out, "id3.TagSize=%u\n", unsigned(tag.TagSize));
  std::fprintf(out, "id3.FileLength=%llu\n", static_cast<unsigned long long>(tag.Info.FileLength));
  std::fprintf(out, "id3.Track=%u\n", unsigned(tag.Track));
  for (const char* key : {"TITLE", "ARTIST", "ALBUM", "TRACKSTRING", "YEAR", "GENRE", "COMMENT", "COMPOSER",
                          "ENCODER", "COPYRIGHT", "LANGUAGE", "LINK", "TSIZ"})
    std::fprintf(out, "id3.%s=%s\n", key, tag.Field(key).c_str());
  std::fprintf(out, "id3.BytesRead=%llu\n", static_cast<unsigned long long>(source.bytesRead()));
  return true;
}

}  // namespace qv::metadump
