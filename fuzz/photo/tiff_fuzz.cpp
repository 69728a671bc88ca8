// libFuzzer target: a TIFF/NEF file through the directory walker and the
// maker notes.
#include "fuzz/photo/PhotoFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::media::fuzz::LoadAndUse(data, size, "fuzz.nef");
  return 0;
}
