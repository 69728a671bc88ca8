// Internal to the GIF picture: how a frame's bitmap is read for encoding,
// kept replaceable so tests can offer bits that cannot be read. Not for
// other users. Tested by tests/controls/picture/QxGifImage_test.cpp.
#pragma once

#include "framework/Bitmap.h"
#include "media/GifPixels.h"

namespace qv::controls::detail {

using TBitmapPixelsReader = bool (*)(const qv::fw::TBitmap& bitmap, qv::media::TGifPixels& out);

// The bitmap's pixels as the codec sees them (1/4/8 bits as they are,
// anything else as 24 bits); false when they cannot be read.
bool ReadBitmapPixels(const qv::fw::TBitmap& bitmap, qv::media::TGifPixels& out);
// The reader in use (ReadBitmapPixels unless replaced); main thread only.
TBitmapPixelsReader& BitmapPixelsReader();

}  // namespace qv::controls::detail
