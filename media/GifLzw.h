// The GIF variant of LZW: decoding a frame's encoded data (minimum code
// size, sub-blocks, terminator) into an indexed picture, and encoding an
// indexed picture back. Codes are packed least-significant bit first, at
// most 12 bits; the decoder bounds every read, chain walk and table index,
// so corrupt data stops decoding instead of reading or writing out of range.
// Tested by tests/media/GifLzw_test.cpp (and the ImageMagick comparisons).
#pragma once

#include <cstdint>
#include <vector>

#include "media/GifPixels.h"
#include "media/GifTypes.h"

namespace qv::media {

// Decodes into `pixels`, already made with the frame's size and a depth of
// 1, 4 or 8 and zero-filled; values are masked to `bitsPerPixel` bits.
// Rows come in interlace order when asked. Sets `corrupted` for a code
// size out of 2..9, a runaway code chain or data that ends before the
// picture does (with LoadCorrupted off the first two are errors instead).
TGifError LzwDecode(const std::vector<uint8_t>& encoded, int bitsPerPixel, bool interlaced, TGifPixels& pixels,
                    bool& corrupted, const TGifReadOptions& options, const TGifProgress& progress = {});

// Appends the encoded form of a 1/4/8-bit picture (minimum code size 2 for
// 1-bit pictures, else the depth) to `out`. The progress handler may throw
// to abandon the encoding.
void LzwEncode(const TGifPixels& pixels, bool interlaced, std::vector<uint8_t>& out,
               const TGifProgress& progress = {});

}  // namespace qv::media
