// GIF writing: frame encoding, extension upkeep and the file layout.
#include "media/GifWriter.h"

#include <algorithm>

#include "media/GifLzw.h"

namespace qv::media {

namespace {

void put16(std::vector<uint8_t>& out, int v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

// Table entries 0 .. 2^bits - 1 (black past the table's count, so the
// written size always matches the packed byte).
void putTable(std::vector<uint8_t>& out, const TGifColorTable& table, int bits) {
  for (int i = 0; i < (1 << bits); ++i) {
    const TGifRgb c = i < table.Count ? table.Colors[size_t(i)] : TGifRgb{};
    out.push_back(c.Red);
    out.push_back(c.Green);
    out.push_back(c.Blue);
  }
}

// One sub-block per line, then the terminator. Longer lines go in several
// blocks rather than losing their end; empty lines are skipped, since a
// zero size would end the data early.
void putLines(std::vector<uint8_t>& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    for (size_t at = 0; at < line.size(); at += 255) {
      const size_t n = std::min<size_t>(255, line.size() - at);
      out.push_back(uint8_t(n));
      out.insert(out.end(), line.begin() + std::ptrdiff_t(at), line.begin() + std::ptrdiff_t(at + n));
    }
  }
  out.push_back(0);
}

size_t fixedSize(TExtensionKind kind) {
  switch (kind) {
    case TExtensionKind::GraphicControl: return 6;
    case TExtensionKind::PlainText: return 13;
    case TExtensionKind::Application: return 12;
    case TExtensionKind::Comment: return 0;
  }
  return 0;
}

void putExtension(std::vector<uint8_t>& out, const TExtension& e) {
  out.push_back('!');
  out.push_back(e.Label());
  std::vector<uint8_t> fixed = e.Fixed;
  fixed.resize(fixedSize(e.Kind), 0);
  out.insert(out.end(), fixed.begin(), fixed.end());
  if (e.Kind != TExtensionKind::GraphicControl) putLines(out, e.Lines);
}

// The smallest bits with 2^bits >= count (at least 1).
int bitsFor(int count) {
  int bits = 1;
  while (bits < 8 && (1 << bits) < count) ++bits;
  return bits;
}

void updateExtensions(TGifFrame& frame) {
  auto isGraphicControl = [](const TExtension& e) { return e.Kind == TExtensionKind::GraphicControl; };
  const bool needed = frame.DelayMs != 0 || frame.TransparentColor != kGifNoColor || frame.Disposal != 0;
  if (needed && std::none_of(frame.Extensions.begin(), frame.Extensions.end(), isGraphicControl))
    frame.Extensions.push_back(TExtension::GraphicControl());
  for (TExtension& e : frame.Extensions) {
    if (!isGraphicControl(e)) continue;
    e.Fixed.resize(6, 0);
    const int delay = std::clamp(frame.DelayMs / 10, 0, 0xFFFF);
    e.Fixed[2] = uint8_t(delay);
    e.Fixed[3] = uint8_t(delay >> 8);
    const int index = frame.TransparentColor == kGifNoColor ? -1 : frame.ColorTable().IndexOf(frame.TransparentColor);
    uint8_t flags = e.Fixed[1];
    if (index >= 0) {
      e.Fixed[4] = uint8_t(index);
      flags |= 1;
    } else {
      flags &= uint8_t(~1);
    }
    e.Fixed[1] = uint8_t((flags & ~0x1C) | ((frame.Disposal & 7) << 2));
  }
  frame.Extensions.erase(std::remove_if(frame.Extensions.begin(), frame.Extensions.end(),
                                        [](const TExtension& e) {
                                          return e.Kind == TExtensionKind::Comment && e.Lines.empty();
                                        }),
                         frame.Extensions.end());
}

}  // namespace

TGifError EncodeGifFrame(TGifFile& file, TGifFrame& frame, const TGifPixels& pixels, const TGifProgress& progress) {
  if (pixels.Empty()) return {TGifErrorCode::NoDataToWrite, 0};
  if (pixels.Depth != 1 && pixels.Depth != 4 && pixels.Depth != 8) return {TGifErrorCode::EncodingError, 0};
  const int count = 1 << pixels.Depth;
  auto table = std::make_shared<TGifColorTable>();
  table->Count = count;
  for (int i = 0; i < count; ++i) {
    const uint32_t c = size_t(i) < pixels.Palette.size() ? pixels.Palette[size_t(i)] : 0;
    table->Colors[size_t(i)] = TGifRgb{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
  }
  std::vector<uint8_t> encoded;
  LzwEncode(pixels, false, encoded, progress);

  TGIFItem& item = *frame.Item;
  item.Encoded = std::move(encoded);
  item.Width = pixels.Width;
  item.Height = pixels.Height;
  item.BitsPerPixel = bitsFor(count);
  frame.Interlaced = false;
  TGIFData& header = *file.Header;
  if (header.GlobalTable.Count > 0) {
    frame.HasLocalTable = true;
    item.ColorTable = std::move(table);
  } else {
    header.GlobalTable = *table;
    header.BitsPerPixel = item.BitsPerPixel;
    if (header.ColorResolution == 0) header.ColorResolution = item.BitsPerPixel;
    frame.HasLocalTable = false;
    item.ColorTable = std::move(table);
  }
  item.Packed = frame.HasLocalTable ? uint8_t(0x80 | (item.BitsPerPixel - 1)) : 0;
  file.ScreenWidth = std::max(file.ScreenWidth, frame.Left + pixels.Width);
  file.ScreenHeight = std::max(file.ScreenHeight, frame.Top + pixels.Height);
  return {};
}

TGifError WriteGif(TGifFile& file, std::vector<uint8_t>& out) {
  if (file.Frames.empty()) return {TGifErrorCode::NoDataToWrite, 0};
  for (const TGifFrame& f : file.Frames)
    if (!f.HasEncodedData()) return {TGifErrorCode::NoDataToWrite, 0};
  TGIFData& header = *file.Header;
  for (TGifFrame& f : file.Frames) {
    updateExtensions(f);
    if (!f.Extensions.empty()) file.Version = TGifVersion::V89a;
  }
  if (!header.Comment.empty()) file.Version = TGifVersion::V89a;
  int colorBits = 0;
  if (header.GlobalTable.Count > 0) {
    colorBits = GifBitsOfCount(header.GlobalTable.Count);
    if (colorBits == 0) return {TGifErrorCode::WrongColorCount, 0};
  }

  out.clear();
  out.insert(out.end(), {'G', 'I', 'F'});
  switch (file.Version) {
    case TGifVersion::V87a: out.insert(out.end(), {'8', '7', 'a'}); break;
    case TGifVersion::V89a: out.insert(out.end(), {'8', '9', 'a'}); break;
    case TGifVersion::None: out.insert(out.end(), {0, 0, 0}); break;
  }
  int width = 0, height = 0;
  for (const TGifFrame& f : file.Frames) {
    width = std::max(width, f.Left + f.Item->Width);
    height = std::max(height, f.Top + f.Item->Height);
  }
  file.ScreenWidth = std::min(width, 0xFFFF);
  file.ScreenHeight = std::min(height, 0xFFFF);
  put16(out, file.ScreenWidth);
  put16(out, file.ScreenHeight);
  // The size field follows the table actually written, so a header whose
  // bits disagree with its table cannot make a file that reads wrongly.
  out.push_back(colorBits == 0 ? uint8_t(0) : uint8_t(0x80 | ((colorBits - 1) << 4) | (colorBits - 1)));
  const int background = file.Background == kGifNoColor ? -1 : header.GlobalTable.IndexOf(file.Background);
  out.push_back(uint8_t(std::max(background, 0)));
  out.push_back(header.AspectRatio);
  if (colorBits > 0) putTable(out, header.GlobalTable, colorBits);

  if (file.Looping && file.Frames.size() > 1) {
    out.insert(out.end(), {'!', kGifLabelApplication, 11});
    out.insert(out.end(), kGifLoopNetscape, kGifLoopNetscape + 11);
    out.insert(out.end(), {3, 1});
    put16(out, file.RepeatCount);
    out.push_back(0);
  }

  for (const TGifFrame& f : file.Frames) {
    for (const TExtension& e : f.Extensions) putExtension(out, e);
    const TGIFItem& item = *f.Item;
    out.push_back(',');
    put16(out, f.Left);
    put16(out, f.Top);
    put16(out, item.Width);
    put16(out, item.Height);
    const int localBits = f.HasLocalTable ? bitsFor(f.ColorTable().Count) : 0;
    uint8_t packed = f.HasLocalTable ? uint8_t(0x80 + localBits - 1) : 0;
    if (f.Interlaced) packed |= 0x40;
    out.push_back(packed);
    if (f.HasLocalTable) putTable(out, f.ColorTable(), localBits);
    out.insert(out.end(), item.Encoded.begin(), item.Encoded.end());
  }

  if (!header.Comment.empty()) {
    out.push_back('!');
    out.push_back(kGifLabelComment);
    putLines(out, header.Comment);
  }
  out.push_back(';');
  return {};
}

}  // namespace qv::media
