// GIF reading: header, screen descriptor, tables, extensions and frames.
#include "media/GifReader.h"

#include <algorithm>
#include <cstring>

#include "media/ByteSource.h"
#include "media/GifLzw.h"

namespace qv::media {

namespace {

constexpr uint32_t kGray128 = 0x808080;

// Sequential reads over the bytes; every read is bounds-checked.
class TCursor {
public:
  TCursor(const uint8_t* data, size_t size) : m_src(data, size) {}
  bool Read(void* dst, size_t n) {
    if (!m_src.read(m_pos, dst, n)) return false;
    m_pos += n;
    return true;
  }
  bool U8(uint8_t& v) { return Read(&v, 1); }
  uint64_t Remaining() const { return m_src.size() - m_pos; }
  uint64_t Position() const { return m_pos; }
  const uint8_t* At(uint64_t pos) const { return m_src.data() + pos; }
  void Skip(uint64_t n) { m_pos += std::min(n, Remaining()); }

  // Zero bytes are skipped; 0 at the end of the data.
  uint8_t NextSeparator() {
    uint8_t b = 0;
    while (U8(b))
      if (b != 0) return b;
    return 0;
  }

private:
  TMemorySource m_src;
  uint64_t m_pos = 0;
};

bool SameIgnoringCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool ReadTable(TCursor& c, int count, TGifColorTable& table) {
  table.Clear();
  uint8_t rgb[768];
  if (!c.Read(rgb, size_t(count) * 3)) return false;
  table.Count = count;
  for (int i = 0; i < count; ++i) table.Colors[size_t(i)] = TGifRgb{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
  return true;
}

// Data sub-blocks up to their terminator, one line each.
bool ReadSubBlocks(TCursor& c, std::vector<std::string>& lines) {
  for (;;) {
    uint8_t len = 0;
    if (!c.U8(len)) return false;
    if (len == 0) return true;
    std::string line(len, '\0');
    if (!c.Read(line.data(), len)) return false;
    lines.push_back(std::move(line));
  }
}

constexpr TGifError kStreamRead{TGifErrorCode::StreamRead, 0};

// Reads one extension after its "!"; `keep` tells whether it joins the
// collection (graphic control and comment).
TGifError ReadExtension(TCursor& c, TGifFile& file, TExtension& ext, bool& keep, bool& plainText) {
  uint8_t label = 0;
  if (!c.U8(label)) return kStreamRead;
  keep = false;
  plainText = false;
  switch (label) {
    case kGifLabelGraphicControl:
      ext.Kind = TExtensionKind::GraphicControl;
      ext.Fixed.resize(6);
      if (!c.Read(ext.Fixed.data(), 6)) return kStreamRead;
      keep = true;
      return {};
    case kGifLabelComment:
      ext.Kind = TExtensionKind::Comment;
      if (!ReadSubBlocks(c, ext.Lines)) return kStreamRead;
      keep = true;
      return {};
    case kGifLabelPlainText:
      ext.Kind = TExtensionKind::PlainText;
      ext.Fixed.resize(13);
      if (!c.Read(ext.Fixed.data(), 13) || !ReadSubBlocks(c, ext.Lines)) return kStreamRead;
      plainText = true;
      return {};
    case kGifLabelApplication: {
      ext.Kind = TExtensionKind::Application;
      ext.Fixed.resize(12);
      if (!c.Read(ext.Fixed.data(), 12) || !ReadSubBlocks(c, ext.Lines)) return kStreamRead;
      const bool loopId = ext.Fixed[0] == 11 && (std::memcmp(&ext.Fixed[1], kGifLoopNetscape, 11) == 0 ||
                                                 std::memcmp(&ext.Fixed[1], kGifLoopAnimExts, 11) == 0);
      if (loopId && !ext.Lines.empty() && ext.Lines[0].size() >= 3 && ext.Lines[0][0] == 1) {
        const auto& d = ext.Lines[0];
        file.Looping = true;
        file.RepeatCount = std::min(int(uint8_t(d[1])) | (int(uint8_t(d[2])) << 8), 30000);
      }
      return {};
    }
    default: return {TGifErrorCode::UnknownExtension, label};
  }
}

// Copies the code-size byte and the sub-blocks. Cut data keeps what is
// there, with the last block's size mended and a terminator added, so the
// frame can be written back as a well-formed file.
void CopyImageData(TCursor& c, std::vector<uint8_t>& out, bool& corrupted) {
  uint8_t codeSize = 0;
  if (!c.U8(codeSize)) {
    corrupted = true;
    return;
  }
  out.push_back(codeSize);
  for (;;) {
    uint8_t len = 0;
    if (!c.U8(len)) {
      corrupted = true;
      out.push_back(0);
      return;
    }
    if (len == 0) {
      out.push_back(0);
      return;
    }
    const uint64_t take = std::min<uint64_t>(len, c.Remaining());
    if (take > 0) {
      out.push_back(uint8_t(take));
      out.insert(out.end(), c.At(c.Position()), c.At(c.Position()) + take);
      c.Skip(take);
    }
    if (take < len) {
      corrupted = true;
      out.push_back(0);
      return;
    }
  }
}

TGifError ReadImage(TCursor& c, TGifFile& file, TGifFrame& frame, const TGifReadOptions& options,
                    const std::shared_ptr<const TGifColorTable>& globalTable) {
  uint8_t d[9];
  if (!c.Read(d, 9)) return kStreamRead;
  TGIFItem& item = *frame.Item;
  frame.Left = load16(d, ByteOrder::Little);
  frame.Top = load16(d + 2, ByteOrder::Little);
  int width = load16(d + 4, ByteOrder::Little), height = load16(d + 6, ByteOrder::Little);
  const uint8_t packed = d[8];
  frame.Interlaced = (packed & 0x40) != 0;
  frame.HasLocalTable = (packed & 0x80) != 0;
  if (frame.HasLocalTable) {
    auto table = std::make_shared<TGifColorTable>();
    if (!ReadTable(c, 1 << ((packed & 7) + 1), *table)) return kStreamRead;
    item.BitsPerPixel = (packed & 7) + 1;
    item.ColorTable = std::move(table);
  }
  CopyImageData(c, item.Encoded, frame.Corrupted);
  if (frame.Corrupted && !options.LoadCorrupted) return kStreamRead;
  if (width == 0) width = file.ScreenWidth;
  if (height == 0) height = file.ScreenHeight;
  item.Width = width;
  item.Height = height;
  item.Packed = packed;
  if (!frame.HasLocalTable) item.ColorTable = globalTable;

  const TGifColorTable& table = *item.ColorTable;
  frame.DelayMs = 0;
  for (const TExtension& e : frame.Extensions) {
    if (e.Kind != TExtensionKind::GraphicControl || e.Fixed.size() < 6) continue;
    const uint8_t flags = e.Fixed[1];
    if (flags & 1) {
      if (e.Fixed[4] < table.Count) frame.TransparentColor = table.ColorRef(e.Fixed[4]);
    } else {
      frame.TransparentColor = kGifNoColor;
    }
    frame.DelayMs = std::max(frame.DelayMs, int(load16(&e.Fixed[2], ByteOrder::Little)) * 10);
    frame.Disposal = (flags >> 2) & 7;
  }
  return {};
}

void AppendComments(TGIFData& header, std::vector<TExtension>& collected) {
  for (TExtension& e : collected) {
    if (e.Kind != TExtensionKind::Comment) continue;
    if (!header.Comment.empty() && !e.Lines.empty()) header.Comment.push_back("\r\n\r\n");
    for (std::string& line : e.Lines) header.Comment.push_back(std::move(line));
  }
  collected.clear();
}

}  // namespace

TGifError ReadGif(const uint8_t* data, size_t size, TGifFile& file, const TGifReadOptions& options) {
  file.Reset();
  if (size == 0) return {};
  TCursor c(data, size);
  char signature[3], version[3];
  if (!c.Read(signature, 3)) return kStreamRead;
  if (!SameIgnoringCase(signature, "GIF", 3)) return {TGifErrorCode::UnknownVersion, 0};
  if (!c.Read(version, 3)) return kStreamRead;
  if (SameIgnoringCase(version, "87a", 3)) file.Version = TGifVersion::V87a;
  else if (SameIgnoringCase(version, "89a", 3)) file.Version = TGifVersion::V89a;
  else return {TGifErrorCode::UnknownVersion, 0};

  uint8_t screen[7];
  if (!c.Read(screen, 7)) return kStreamRead;
  TGIFData& header = *file.Header;
  file.ScreenWidth = load16(screen, ByteOrder::Little);
  file.ScreenHeight = load16(screen + 2, ByteOrder::Little);
  const uint8_t packed = screen[4];
  header.BitsPerPixel = (packed & 7) + 1;
  header.ColorResolution = ((packed >> 4) & 7) + 1;
  header.AspectRatio = screen[6];
  if (packed & 0x80) {
    if (!ReadTable(c, 1 << header.BitsPerPixel, header.GlobalTable)) return kStreamRead;
    if (screen[5] < header.GlobalTable.Count) file.Background = header.GlobalTable.ColorRef(screen[5]);
  }
  // Frames without a local table share one copy of the global table.
  const auto globalTable = std::make_shared<const TGifColorTable>(header.GlobalTable);

  std::vector<TExtension> collected;
  uint8_t sep = c.NextSeparator();
  while (sep != 0 && sep != ';' && c.Remaining() > 0) {
    while (sep == '!') {
      TExtension ext;
      bool keep = false, plainText = false;
      if (TGifError e = ReadExtension(c, file, ext, keep, plainText)) return e;
      if (plainText) collected.clear();
      if (keep) collected.push_back(std::move(ext));
      sep = c.Remaining() == 0 ? uint8_t(';') : c.NextSeparator();
    }
    if (sep == ',') {
      TGifFrame frame;
      if (header.GlobalTable.Count > 0) {
        frame.Item->BitsPerPixel = GifBitsOfCount(header.GlobalTable.Count);
        if (frame.Item->BitsPerPixel == 0) return {TGifErrorCode::WrongColorCount, 0};
      }
      frame.Extensions = std::move(collected);
      collected.clear();
      if (TGifError e = ReadImage(c, file, frame, options, globalTable)) return e;
      if (frame.Corrupted) file.Corrupted = true;
      file.Frames.push_back(std::move(frame));
      sep = c.Remaining() == 0 ? uint8_t(';') : c.NextSeparator();
      if (sep != '!' && sep != ',' && sep != ';') sep = 0;
    } else if (!header.Comment.empty() || collected.empty()) {
      if (sep != 0 && sep != ';') return kStreamRead;
    } else {
      AppendComments(header, collected);
    }
  }
  return {};
}

TGifError DecodeGifFrame(TGifFrame& frame, TGifPixels& pixels, const TGifReadOptions& options,
                         const TGifProgress& progress) {
  pixels = TGifPixels{};
  const TGIFItem& item = *frame.Item;
  const int bpp = item.BitsPerPixel;
  int depth = 0;
  if (bpp == 1) depth = 1;
  else if (bpp >= 2 && bpp <= 4) depth = 4;
  else if (bpp >= 5 && bpp <= 8) depth = 8;
  else return {TGifErrorCode::WrongColorCount, 0};
  if (uint64_t(item.Width) * uint64_t(item.Height) > options.MaxPixels ||
      !pixels.Create(item.Width, item.Height, depth))
    return {TGifErrorCode::TooLarge, 0};
  const TGifColorTable& table = frame.ColorTable();
  for (size_t i = 0; i < pixels.Palette.size(); ++i)
    pixels.Palette[i] = int(i) < table.Count ? table.ColorRef(int(i)) : kGray128;
  if (pixels.Empty()) return {};
  return LzwDecode(item.Encoded, bpp, frame.Interlaced, pixels, frame.Corrupted, options, progress);
}

}  // namespace qv::media
