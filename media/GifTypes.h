// Values shared by the GIF codec: colour tables, error codes with their
// English texts, read options and progress reports. Window-free; the
// picture class of controls/picture turns errors into exceptions.
// Tested by tests/media/GifReader_test.cpp and GifWriter_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qv::media {

// Colours are 0x00BBGGRR; this one means "no colour".
constexpr uint32_t kGifNoColor = 0x1FFFFFFF;

struct TGifRgb {
  uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const TGifRgb&) const = default;
};

// A GIF colour table: Count entries (0..256) in file order.
struct TGifColorTable {
  int Count = 0;
  std::array<TGifRgb, 256> Colors{};

  uint32_t ColorRef(int i) const {
    const TGifRgb& c = Colors[static_cast<size_t>(i)];
    return uint32_t(c.Red) | (uint32_t(c.Green) << 8) | (uint32_t(c.Blue) << 16);
  }
  // The first entry whose RGB is the colour, or -1.
  int IndexOf(uint32_t colorRef) const;
  void Clear() { *this = TGifColorTable{}; }
};

// Bits per pixel of a valid colour count (2, 4, ... 256), else 0.
int GifBitsOfCount(int count);

// Error codes are the string-table numbers of their texts.
enum class TGifErrorCode {
  None = 0,
  StreamRead = 1,  // truncated or unrecognised data between blocks
  TooLarge = 2,    // a frame larger than the decoder accepts
  UnknownVersion = 61092,
  EncodingError = 61093,
  CorruptData = 61094,
  CodeSizeRange = 61095,
  WrongColorCount = 61096,
  UnknownExtension = 61097,
  NoDataToWrite = 61098,
  CannotResize = 61099,
};

struct TGifError {
  TGifErrorCode Code = TGifErrorCode::None;
  int Detail = 0;  // the extension label of UnknownExtension

  explicit operator bool() const { return Code != TGifErrorCode::None; }
  // The message text (the stream read error is the framework's French one).
  std::string Text() const;
};

// Decoding limits and the load-corrupted-images option.
struct TGifReadOptions {
  // On: a frame with truncated data, a code size out of range or a runaway
  // code chain is kept and marked corrupted; off: it is an error.
  bool LoadCorrupted = true;
  // Frames of more pixels are refused with TooLarge: a few header bytes can
  // otherwise ask for gigabytes (65535 x 65535 x 1 byte).
  uint64_t MaxPixels = uint64_t(1) << 26;
};

enum class TGifProgressStage { Starting, Running, Ending };

// Percent 0..100; the message is an error's text at a failed end.
using TGifProgress = std::function<void(TGifProgressStage, int percent, const std::string& message)>;

}  // namespace qv::media
