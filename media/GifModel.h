// The data of a GIF file as the codec keeps it: the shared header
// (`TGIFData`), each frame's encoded image (`TGIFItem`, kept byte for byte
// so an unchanged frame is written back unchanged), frames with their
// extensions, and the whole file. Header and items are shared between
// pictures and frames assigned from each other. No decoded pixels here: the
// picture class caches those per frame.
// Tested by tests/media/GifReader_test.cpp and GifWriter_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/GifTypes.h"

namespace qv::media {

// Extension labels and the identifiers of the looping block.
constexpr uint8_t kGifLabelGraphicControl = 0xF9, kGifLabelPlainText = 0x01, kGifLabelApplication = 0xFF,
                  kGifLabelComment = 0xFE;
constexpr char kGifLoopNetscape[] = "NETSCAPE2.0";
constexpr char kGifLoopAnimExts[] = "ANIMEXTS1.0";

enum class TExtensionKind : uint8_t { GraphicControl = 0, PlainText = 1, Application = 2, Comment = 3 };

struct TExtension {
  TExtensionKind Kind = TExtensionKind::Comment;
  // The fixed bytes after the label: 6 (graphic control: block size,
  // packed, delay, transparent index, terminator), 13 (plain text) or 12
  // (application: block size 11 and the identifier); none for comments.
  std::vector<uint8_t> Fixed;
  // Data sub-blocks, one text line each.
  std::vector<std::string> Lines;

  uint8_t Label() const;
  static TExtension GraphicControl();  // block size 4, everything else 0
};

struct TGIFData {
  std::vector<std::string> Comment;
  uint8_t AspectRatio = 0;
  int BitsPerPixel = 0;     // of the global table
  int ColorResolution = 0;  // bits, 1..8
  TGifColorTable GlobalTable;
};

struct TGIFItem {
  // The minimum-code-size byte, the data sub-blocks and their zero
  // terminator, as in the file.
  std::vector<uint8_t> Encoded;
  int Width = 0, Height = 0;
  uint8_t Packed = 0;  // the image descriptor's packed byte
  int BitsPerPixel = 0;
  // The local table, or a copy of the global one; shared, since a file of
  // many small frames must not copy 768 bytes per frame.
  std::shared_ptr<const TGifColorTable> ColorTable = std::make_shared<TGifColorTable>();
};

struct TGifFrame {
  std::shared_ptr<TGIFItem> Item = std::make_shared<TGIFItem>();
  std::vector<TExtension> Extensions;
  int Left = 0, Top = 0;
  bool Interlaced = false;
  bool Corrupted = false;
  bool Grayscale = false;
  uint32_t TransparentColor = kGifNoColor;
  int DelayMs = 0;
  int Disposal = 0;  // 0..7
  bool HasLocalTable = false;

  bool HasEncodedData() const { return Item && !Item->Encoded.empty(); }
  const TGifColorTable& ColorTable() const { return *Item->ColorTable; }
  // The lines of the frame's comment extension, made when missing.
  std::vector<std::string>& Comment();
};

enum class TGifVersion { None = 0, V87a = 1, V89a = 2 };

struct TGifFile {
  std::shared_ptr<TGIFData> Header = std::make_shared<TGIFData>();
  std::vector<TGifFrame> Frames;
  TGifVersion Version = TGifVersion::None;
  int ScreenWidth = 0, ScreenHeight = 0;
  uint32_t Background = kGifNoColor;
  bool Looping = false;
  int RepeatCount = 1;
  bool Corrupted = false;

  // A fresh header, no frames, the defaults above.
  void Reset() { *this = TGifFile{}; }
};

}  // namespace qv::media
