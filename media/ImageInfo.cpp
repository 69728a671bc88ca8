// The EXIF directory walker and the 35 mm focal length summary.
#include "media/ImageInfo.h"

#include <algorithm>
#include <cmath>

#include "media/ImgData.h"
#include "media/TagFormat.h"

namespace qv::media {

// ---- tEndInd --------------------------------------------------------------

void tEndInd::SetBlock(TByteSource* source, uint64_t start, uint64_t length) {
  m_source = source;
  m_start = start;
  m_length = source ? length : 0;
}

bool tEndInd::Read16(uint64_t pos, uint16_t& v) {
  return BlockContains(pos, 2) && m_source->u16(m_start + pos, Order(), v);
}

bool tEndInd::Read32(uint64_t pos, uint32_t& v) {
  return BlockContains(pos, 4) && m_source->u32(m_start + pos, Order(), v);
}

bool tEndInd::ReadUpTo(uint64_t pos, uint64_t n, std::string& out) {
  out.clear();
  if (pos >= m_length) return n == 0 && pos == m_length;
  n = std::min(n, m_length - pos);
  out.resize(size_t(n));
  if (!m_source->read(m_start + pos, out.data(), size_t(n))) {
    out.clear();
    return false;
  }
  return true;
}

// ---- TImageInfo -----------------------------------------------------------

namespace {

int32_t RoundToInt(double v) {
  if (!std::isfinite(v) || v >= 2147483647.0 || v <= -2147483648.0) return 0;
  return int32_t(std::nearbyint(v));  // half to even, as the original rounding
}

bool IsEffectTag(uint16_t tag) {
  switch (tag) {
    case 0x0100: case 0xA002: case 0x0101: case 0xA003: case 0x010F: case 0x0110: case 0x9000:
    case 0x014A: case 0x8769: case 0xA005: case 0x8825: case 0x927C:
      return true;
    default:
      return false;
  }
}

// ASCII values end at their first zero byte: padding zeros (common in
// camera strings) would otherwise print as dots.
std::string_view AsciiValue(std::string_view raw) { return raw.substr(0, raw.find('\0')); }

}  // namespace

TImageInfo::TImageInfo(TimgData* owner, int buildSetting) : Owner(owner), BuildSetting(buildSetting) {
  ExifTagTable();  // builds the tables (and their descriptions) once
}

void TImageInfo::Reset(bool tiffFlag, int32_t blockBase) {
  Entries.clear();
  ExifVersion.clear();
  CameraMake.clear();
  CameraModel.clear();
  PixelHeight = PixelWidth = 0;
  MakerNoteRaw.clear();
  TiffFlag = tiffFlag;
  MakerNotePos = 0;
  MakerNoteOffset = 0;
  BlockBase = blockBase;
  RawBudget = kMaxRawBytes;
  BigEndian = false;
  ClearBlock();
  m_visited.clear();
  m_directories = 0;
}

void TImageInfo::SetOwnerStatus(std::string_view text) {
  if (Owner) Owner->StatusText = text;
}

int TImageInfo::AddEntry(TTagEntry entry) {
  if (entry.Tag != 0 && Entries.size() < kMaxEntries) Entries.push_back(std::move(entry));
  return EntryCount() - 1;
}

void TImageInfo::WalkIfdAt(uint32_t start, TIfdKind kind, int depth) {
  if (depth > kMaxDepth || m_directories >= kMaxDirectories) return;
  ++m_directories;
  m_visited.insert(start);

  uint16_t count = 0;
  if (!Read16(start, count) || !BlockContains(uint64_t(start) + 2, uint64_t(count) * 12)) {
    SetOwnerStatus("Illegally sized directory");
    return;
  }
  std::string table;
  if (!ReadUpTo(uint64_t(start) + 2, uint64_t(count) * 12, table)) return;
  const ByteOrder order = Order();

  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(table.data()) + 12 * i;
    const uint16_t tag = load16(p, order);
    const uint16_t type = load16(p + 2, order);
    const uint64_t bytes = uint64_t(load32(p + 4, order)) * TiffTypeSize(type);
    if (bytes == 0) continue;
    const bool inlineValue = bytes <= 4;
    const uint64_t valuePos = inlineValue ? uint64_t(start) + 2 + 12 * i + 8 : load32(p + 8, order);

    const TTagEntry& row = LookupTagRow(tag, kind);
    if (row.Tag == 0 && !IsEffectTag(tag)) continue;  // would not be stored: skip the read

    std::string raw;
    if (inlineValue) {
      raw.assign(reinterpret_cast<const char*>(p + 8), size_t(bytes));
    } else {
      ReadUpTo(valuePos, std::min({bytes, kMaxValueBytes, RawBudget}), raw);
    }
    RawBudget -= std::min<uint64_t>(RawBudget, raw.size());

    std::string text;
    if (type == 2) {
      text = AsciiValue(raw);
    } else if (type == 7) {
      text = '"' + std::string(raw.substr(0, raw.find('\0'))) + '"';
    } else {
      text = FormatTagValue(raw, type, row.DecodeList, row.FormatText, order);
    }
    if (row.Tag != 0 && row.Formatter) text = row.Formatter({text, raw, order});
    else text = PrintableText(text);
    if (tag == 0x9286) text = UserCommentText(raw, order);

    switch (tag) {
      case 0x0100: case 0xA002: PixelWidth = RoundToInt(NumericTagValue(raw, type, order)); break;
      case 0x0101: case 0xA003: PixelHeight = RoundToInt(NumericTagValue(raw, type, order)); break;
      case 0x010F: CameraMake = text.substr(0, 32); break;
      case 0x0110: CameraModel = text.substr(0, 40); break;
      case 0x9000: ExifVersion = raw.substr(0, 6); break;
      case 0x014A: case 0x8769: case 0xA005: case 0x8825: {
        uint32_t sub = 0;
        if (Read32(valuePos, sub) && !m_visited.count(sub))
          WalkIfdAt(sub, tag == 0x8825 ? TIfdKind::Gps : TIfdKind::Main, depth + 1);
        break;
      }
      case 0x927C:
        MakerNoteRaw = raw;
        MakerNoteOffset = uint32_t(valuePos);
        MakerNotePos = int32_t(int64_t(valuePos) + BlockBase);
        DecodeMakerNote();
        break;
    }

    if (row.Tag == 0) continue;
    TTagEntry e = row;
    e.ValueText = std::move(text);
    e.ByteCount = int32_t(raw.size());
    e.RawBytes = std::move(raw);
    e.RawPos = int32_t(int64_t(valuePos) + BlockBase);
    e.ValueType = type;
    AddEntry(std::move(e));
  }
  // The next-directory offset is not followed: IFD1 holds the thumbnail.
}

int TImageInfo::FindTagIndex(std::string_view name) const {
  for (size_t i = 0; i < Entries.size(); ++i)
    if (SameTextAscii(Entries[i].Name, name)) return int(i);
  return -1;
}

std::string TImageInfo::TagValueByName(std::string_view name) const {
  const int i = FindTagIndex(name);
  return i < 0 ? std::string() : Entries[size_t(i)].ValueText;
}

double TImageInfo::NumericValueByName(std::string_view name) const {
  const int i = FindTagIndex(name);
  if (i < 0) return 0;
  const TTagEntry& e = Entries[size_t(i)];
  return NumericTagValue(e.RawBytes, e.ValueType, Order());
}

void TImageInfo::FocalLength35Summary() {
  if (FindTagIndex("FocalLengthIn35mmFilm") >= 0) return;
  int32_t unit = RoundToInt(NumericValueByName("FocalPlaneResolutionUnit"));
  if (unit < 1) unit = RoundToInt(NumericValueByName("ResolutionUnit"));
  const double mmPerUnit = unit == 2 ? 25.4 : unit == 3 ? 10.0 : 0.0;
  const double focal = NumericValueByName("FocalLength");
  if (mmPerUnit == 0 || focal == 0) return;
  const int32_t xres = RoundToInt(NumericValueByName("FocalPlaneXResolution"));
  const int32_t yres = RoundToInt(NumericValueByName("FocalPlaneYResolution"));
  const double width = xres > 0 ? PixelWidth * mmPerUnit / xres : 0;
  const double height = yres > 0 ? PixelHeight * mmPerUnit / yres : 0;
  if (!(width * height > 0)) return;
  const double factor = 43.26661531 / std::sqrt(width * width + height * height);
  const int row = TagTableIndexByName("FocalLengthIn35mmFilm");
  if (row < 0) return;
  TTagEntry e = ExifTagTable()[size_t(row)];
  e.ValueText = FixedText(focal * factor, 2, 5);
  e.FormatText = "%s mm";
  e.ValueType = 10;
  AddEntry(std::move(e));
}

TTagEntry FindExifEntry(const TImageInfo& info, std::string_view name) {
  const int i = info.FindTagIndex(name);
  return i < 0 ? TTagEntry{} : info.Entries[size_t(i)];
}

}  // namespace qv::media
