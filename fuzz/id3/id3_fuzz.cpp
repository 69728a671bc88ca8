// libFuzzer target: the ID3v2 reader on arbitrary bytes (as a whole file),
// plus the frame text decoders and code-page conversions on the raw input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/CodePage.h"
#include "media/ByteSource.h"
#include "media/ID3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qv::media;
  TMemorySource src(data, size);
  TID3v2 tag;
  if (tag.LoadId3v2Tag(src)) {
    for (const char* key : {"TITLE", "artist", "Album", "TRACKSTRING", "YEAR", "GENRE", "COMMENT", "COMPOSER",
                            "ENCODER", "COPYRIGHT", "LANGUAGE", "LINK", "TSIZ", "NONE"})
      (void)tag.Field(key);
  }
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  (void)TID3v2::DecodeFrameText(raw);
  (void)TID3v2::CommentText(raw, 4);
  (void)TID3v2::CommentText(raw, 1, true);
  (void)qv::base::Utf8ToCp1252(raw);
  if (size > 0) (void)qv::base::Utf16BytesToCp1252(data, size, (data[0] & 1) != 0);
  return 0;
}
