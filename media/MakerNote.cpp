// Maker notes: the choice of layout by make, the walk of the note's
// directory and the maker formatters.
#include "media/MakerNote.h"

#include <algorithm>

#include "media/ImageInfo.h"
#include "media/TagFormat.h"

namespace qv::media {

namespace {

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

// ---- formatters -------------------------------------------------------------

std::string FormatNikonLens(const TFormatInput& in) {
  double v[4] = {0, 0, 0, 0};
  std::string_view text = in.text;
  for (double& x : v) {
    const size_t sep = text.find(", ");
    x = RationalValue(text.substr(0, sep));
    text = sep == std::string_view::npos ? std::string_view() : text.substr(sep + 2);
  }
  return FixedText(v[0], 1) + "-" + FixedText(v[1], 1) + "(mm)  F" + FixedText(v[2], 1) + "-F" +
         FixedText(v[3], 1);
}

std::string FormatNikonColorMode(const TFormatInput& in) {
  const std::string mode(in.text.substr(std::min<size_t>(1, in.text.size()), 5));
  if (mode == "MODE1") return "Mode1 (sRGB)";
  if (mode == "MODE2") return "Mode 2 (Adobe RGB)";
  if (mode == "MODE3") return "Mode 3 (sRGB): higher saturation";
  return mode;
}

std::string FormatCanonList(const TFormatInput& in) { return std::string(in.text); }

// ---- layout -----------------------------------------------------------------

bool TmsInfo::ChooseLayout(TMakerLayout& layout) const {
  const TImageInfo& p = *Parent;
  const std::string prefix = UpperAscii(std::string_view(p.CameraMake).substr(0, 5));
  const std::string_view note = p.MakerNoteRaw;
  layout = TMakerLayout{};
  if (prefix == "NIKON") {
    const std::string& model = p.CameraModel;
    const size_t space = model.find(' ');
    const size_t at = space == std::string::npos ? 0 : space + 1;
    const bool dSeries = at < model.size() && model[at] == 'D';
    if (p.ExifVersion > "0210" || (p.ExifVersion.empty() && TiffFlag && dSeries)) {
      layout.table = TMakerTable::Nikon2;
      layout.headerLength = 18;
      layout.offsets = TMakerOffsets::NoteTiffHeader;
      layout.ownHeaderOrder = true;
    } else if (StartsWith(note, "Nikon")) {
      layout.table = TMakerTable::Nikon1;
      layout.headerLength = 8;
    } else {
      layout.table = TMakerTable::Nikon2;
    }
  } else if (prefix == "OLYMP") {
    layout.table = TMakerTable::Olympus;
    layout.headerLength = 8;
  } else if (prefix == "CASIO") {
    if (StartsWith(note, "QVC")) {
      layout.table = TMakerTable::Casio2;
      layout.headerLength = 6;
    } else {
      layout.table = TMakerTable::Casio1;
    }
  } else if (prefix == "FUJIF") {
    layout.table = TMakerTable::Fuji;
    layout.headerLength = 12;
    layout.offsets = TMakerOffsets::NoteStart;
    layout.intel = true;
  } else if (prefix == "CANON") {
    layout.table = TMakerTable::Canon;
  } else if (prefix == "SEIKO") {
    layout.table = TMakerTable::Seiko;
    layout.headerLength = 8;
  } else if (prefix == "SANYO") {
    layout.table = TMakerTable::Sanyo;
    layout.headerLength = 8;
  } else if (prefix == "MINOL") {
    layout.table = TMakerTable::Minolta;
  } else {
    return false;
  }
  return true;
}

bool TmsInfo::ReadMakerNote() {
  TMakerLayout layout;
  if (!Parent || !ChooseLayout(layout)) return false;
  Parent->WalkMakerNote(layout);
  return true;
}

void TImageInfo::DecodeMakerNote() { TmsInfo(TiffFlag, this).ReadMakerNote(); }

// ---- walk -------------------------------------------------------------------

void TImageInfo::WalkMakerNote(const TMakerLayout& layout) {
  const std::span<const TMakerRow> rows = MakerNoteTable(layout.table);
  // The note is read from memory; values that leave it are read from the
  // image's block, whose window is kept aside for the walk.
  TByteSource* const mainSource = m_source;
  const uint64_t mainStart = m_start, mainLength = m_length;
  const bool mainBigEndian = BigEndian;
  const std::string note = MakerNoteRaw;
  TMemorySource noteSource(note.data(), note.size());
  SetBlock(&noteSource, 0, note.size());
  if (layout.intel) {
    BigEndian = false;
  } else if (layout.ownHeaderOrder && note.size() >= 12) {
    if (note[10] == 'I' && note[11] == 'I') BigEndian = false;
    else if (note[10] == 'M' && note[11] == 'M') BigEndian = true;
  }
  const ByteOrder order = Order();
  const uint64_t noteOffset = MakerNoteOffset;  // TIFF offset of the note's first byte

  uint16_t count = 0;
  if (Read16(layout.headerLength, count)) {
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t p = uint64_t(layout.headerLength) + 2 + 12 * uint64_t(i);
      if (!BlockContains(p, 12)) break;  // the table ends with the note
      const uint8_t* e = reinterpret_cast<const uint8_t*>(note.data()) + p;
      const uint16_t tag = load16(e, order);
      const uint16_t type = load16(e + 2, order);
      const uint64_t bytes = uint64_t(load32(e + 4, order)) * TiffTypeSize(type);

      const TMakerRow* row = nullptr;
      const TMakerRow* lastRow = nullptr;
      for (const TMakerRow& r : rows)
        if (r.tag == tag) {
          if (!row) row = &r;
          lastRow = &r;
        }
      if (!row || UpperAscii(row->description) == "SKIP") continue;  // not stored: skip unread

      std::string raw;
      const uint64_t want = std::min({bytes, kMaxValueBytes, RawBudget});
      if (bytes <= 4) {
        raw.assign(reinterpret_cast<const char*>(e + 8), size_t(bytes));
      } else {
        const uint64_t o = load32(e + 8, order);
        // The value's TIFF offset, and its position in the note.
        uint64_t tiffOffset = o;
        if (layout.offsets == TMakerOffsets::NoteTiffHeader) tiffOffset = noteOffset + 10 + o;
        else if (layout.offsets == TMakerOffsets::NoteStart) tiffOffset = noteOffset + o;
        if (tiffOffset >= noteOffset && BlockContains(tiffOffset - noteOffset, bytes)) {
          ReadUpTo(tiffOffset - noteOffset, want, raw);
        } else if (mainSource && tiffOffset <= mainLength && bytes <= mainLength - tiffOffset) {
          raw.resize(size_t(want));
          if (!mainSource->read(mainStart + tiffOffset, raw.data(), raw.size())) raw.clear();
        }
      }
      RawBudget -= std::min<uint64_t>(RawBudget, raw.size());

      std::string text;
      if (type == 2) text = '"' + std::string(raw.substr(0, raw.find('\0'))) + '"';
      else if (type == 7) text = '"' + raw + '"';
      else text = FormatTagValue(raw, type, lastRow->decodeList, "", order);
      text = row->formatter ? row->formatter({text, raw, order}) : PrintableText(text);

      TTagEntry entry;
      entry.Id = 1;
      entry.Tag = row->tag;
      entry.Name = row->name;
      entry.Description = row->description;
      entry.DecodeList = row->decodeList;
      entry.Formatter = row->formatter;
      entry.ValueType = type;
      entry.ValueText = std::move(text);
      entry.RawBytes = std::move(raw);
      AddEntry(std::move(entry));
    }
  }
  SetBlock(mainSource, mainStart, mainLength);
  BigEndian = mainBigEndian;
}

}  // namespace qv::media
