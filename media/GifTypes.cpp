// Error texts and colour-table helpers of the GIF codec.
#include "media/GifTypes.h"

#include <cstdio>

namespace qv::media {

int TGifColorTable::IndexOf(uint32_t colorRef) const {
  for (int i = 0; i < Count; ++i)
    if (ColorRef(i) == (colorRef & 0xFFFFFF) && (colorRef >> 24) == 0) return i;
  return -1;
}

int GifBitsOfCount(int count) {
  for (int bits = 1; bits <= 8; ++bits)
    if (count == (1 << bits)) return bits;
  return 0;
}

std::string TGifError::Text() const {
  switch (Code) {
    case TGifErrorCode::None: return "";
    case TGifErrorCode::StreamRead: return "Erreur de lecture du flux";
    case TGifErrorCode::TooLarge: return "GIF image too large";
    case TGifErrorCode::UnknownVersion: return "Unknown GIF version";
    case TGifErrorCode::EncodingError: return "GIF image encoding error";
    case TGifErrorCode::CorruptData: return "GIF encoded data is corrupt";
    case TGifErrorCode::CodeSizeRange: return "GIF code size not in range 2 to 9";
    case TGifErrorCode::WrongColorCount: return "Wrong number of colors; must be a power of 2";
    case TGifErrorCode::UnknownExtension: {
      char text[64];
      std::snprintf(text, sizeof text, "Unrecognized extension block: %.2x", static_cast<unsigned>(Detail & 0xFF));
      return text;
    }
    case TGifErrorCode::NoDataToWrite: return "No GIF Data to write";
    case TGifErrorCode::CannotResize: return "Cannot change the Size of a GIF image";
  }
  return "";
}

}  // namespace qv::media
