// libFuzzer target: a JPEG file through the marker walk, the EXIF walker,
// the maker notes and the IPTC reader.
#include "fuzz/photo/PhotoFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::media::fuzz::LoadAndUse(data, size, "fuzz.jpg");
  return 0;
}
