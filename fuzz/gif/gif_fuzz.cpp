// libFuzzer target: any bytes as a GIF file, read with and without the
// load-corrupted option, every frame decoded (pixel budget kept small so a
// run stays fast), then written back and read again. A frame that decoded
// must survive the round trip unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/GifReader.h"
#include "media/GifWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qv::media;
  TGifReadOptions options;
  options.MaxPixels = uint64_t(1) << 20;
  options.LoadCorrupted = size > 0 && (data[size - 1] & 1) == 0;
  TGifFile file;
  (void)ReadGif(data, size, file, options);
  (void)file.Header->Comment.size();
  std::vector<TGifPixels> decoded;
  for (TGifFrame& frame : file.Frames) {
    TGifPixels pixels;
    if (DecodeGifFrame(frame, pixels, options)) pixels = TGifPixels{};
    decoded.push_back(std::move(pixels));
  }
  std::vector<uint8_t> written;
  if (WriteGif(file, written)) return 0;
  TGifFile again;
  if (ReadGif(written.data(), written.size(), again, options)) std::abort();
  if (again.Frames.size() != file.Frames.size()) std::abort();
  for (size_t i = 0; i < again.Frames.size(); ++i) {
    if (again.Frames[i].Item->Encoded != file.Frames[i].Item->Encoded) std::abort();
    TGifPixels pixels;
    if (DecodeGifFrame(again.Frames[i], pixels, options)) continue;
    if (!decoded[i].Empty() && pixels.Bits != decoded[i].Bits) std::abort();
  }
  return 0;
}
