// Reading GIF files (87a and 89a) into the data model, and decoding one
// frame into an indexed picture. Reading keeps every frame's encoded data
// as it is and decodes nothing; DecodeGifFrame does the LZW work on demand.
// Example:  TGifFile f; if (!ReadGif(bytes.data(), bytes.size(), f)) DecodeGifFrame(f.Frames[0], pixels);
// Tested by tests/media/GifReader_test.cpp and GifImageMagick_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/GifModel.h"
#include "media/GifPixels.h"
#include "media/GifTypes.h"

namespace qv::media {

// Resets `file` and reads size bytes. On error the frames read before the
// failure stay in `file`.
TGifError ReadGif(const uint8_t* data, size_t size, TGifFile& file, const TGifReadOptions& options = {});

// Decodes a frame into `pixels`: depth 1 for 1 bit per pixel, 4 for 2..4,
// 8 for 5..8 (other counts are WrongColorCount); the palette is the
// frame's table, entries it lacks gray 128. Marks the frame corrupted when
// decoding finds damage. A frame of more than options.MaxPixels pixels is
// TooLarge; a frame of width or height 0 gives an empty picture.
TGifError DecodeGifFrame(TGifFrame& frame, TGifPixels& pixels, const TGifReadOptions& options = {},
                         const TGifProgress& progress = {});

}  // namespace qv::media
