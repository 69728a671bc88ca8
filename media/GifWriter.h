// Writing GIF files from the data model, and encoding an indexed picture
// as a frame's image. Frames that were read keep their encoded bytes, so
// writing an unchanged file gives back its image data byte for byte.
// Example:  EncodeGifFrame(file, file.Frames[0], pixels); WriteGif(file, bytes);
// Tested by tests/media/GifWriter_test.cpp and GifImageMagick_test.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "media/GifModel.h"
#include "media/GifPixels.h"
#include "media/GifTypes.h"

namespace qv::media {

// Encodes a 1/4/8-bit picture (other depths: EncodingError; an empty one:
// NoDataToWrite) as the frame's image, not interlaced, with the picture's
// palette as its table: the global table when the file has none yet, else
// a local one. The file's screen grows to hold the frame. The progress
// handler may throw to abandon the encoding; the frame is then unchanged.
TGifError EncodeGifFrame(TGifFile& file, TGifFrame& frame, const TGifPixels& pixels,
                         const TGifProgress& progress = {});

// Writes the whole file (after the count prefix, when the caller wants
// one). Every frame must already have encoded data (NoDataToWrite
// otherwise, and for a file without frames). Brings each frame's graphic
// control extension in line with its delay, transparent colour and
// disposal, drops empty comments, and raises the version to 89a when
// extensions or a comment need it.
TGifError WriteGif(TGifFile& file, std::vector<uint8_t>& out);

}  // namespace qv::media
