// The IPTC reader: dataset table, APP13 parsing and the comma-text joins of
// repeatable datasets.
#include "media/IptcData.h"

#include <algorithm>
#include <cstring>

#include "media/ImgData.h"
#include "media/TagTables.h"

namespace qv::media {

namespace {

struct TIptcRow {
  uint16_t record;
  uint16_t dataset;
  const char* name;
  const char* description;
  int32_t maxLength;
};

constexpr TIptcRow kIptcRows[] = {
    {2, 0, "SKIP", "Record Version", 64},
    {2, 3, "ObjectType", "Object Type Ref", 67},
    {2, 4, "ObjectAttr", "Object Attribute Ref", 67},
    {2, 5, "ObjectName", "Object name", 64},
    {2, 7, "EditStatus", "Edit Status", 64},
    {2, 8, "EditorialUpdate", "Editorial Update", 2},
    {2, 10, "Urgency", "Urgency", 1},
    {2, 12, "SubRef", "Subject Reference", 236},
    {2, 15, "Category", "Category", 3},
    {2, 20, "SuppCategory", "Supplemental category", 32},
    {2, 22, "FixtureID", "Fixture ID", 32},
    {2, 25, "Keywords", "Keywords", 64},
    {2, 26, "ContentLocCode", "Content Location Code", 3},
    {2, 27, "ContentLocName", "Content Location Name", 64},
    {2, 30, "ReleaseDate", "Release Date", 8},
    {2, 35, "ReleaseTime", "Release Time", 11},
    {2, 37, "ExpireDate", "Expiration Date", 8},
    {2, 38, "ExpireTime", "Expiration Time", 11},
    {2, 40, "SpecialInstru", "Special Instructions", 256},
    {2, 42, "ActionAdvised", "Action Advised", 2},
    {2, 45, "RefService", "Reference Service", 10},
    {2, 47, "RefDate", "Reference Date", 8},
    {2, 50, "RefNumber", "Reference Number", 8},
    {2, 55, "DateCreated", "Date created", 8},
    {2, 60, "TimeCreated", "Time created", 11},
    {2, 62, "DigitizeDate", "Digital Creation Date", 8},
    {2, 63, "DigitizeTime", "Digital Creation Time", 11},
    {2, 65, "OriginatingProgram", "Originating Program", 32},
    {2, 70, "ProgramVersion", "Program version", 10},
    {2, 75, "ObjectCycle", "Object Cycle", 1},
    {2, 80, "ByLine", "ByLine", 32},
    {2, 85, "ByLineTitle", "ByLine Title", 32},
    {2, 90, "City", "City", 32},
    {2, 92, "SubLocation", "Sublocation", 32},
    {2, 95, "State", "Province/State", 32},
    {2, 100, "LocationCode", "Country/Primary Location Code", 3},
    {2, 101, "LocationName", "Country/Primary Location Name", 64},
    {2, 103, "TransmissionRef", "Original Transmission Reference", 32},
    {2, 105, "ImageHeadline", "Image headline", 256},
    {2, 110, "ImageCredit", "Image credit", 32},
    {2, 115, "Source", "Source", 32},
    {2, 116, "Copyright", "Copyright Notice", 128},
    {2, 118, "Contact", "Contact", 128},
    {2, 120, "ImageCaption", "Image caption", 2000},
    {2, 122, "ImageCaptionWriter", "Image caption writer", 32},
    {2, 130, "ImageType", "Image type", 2},
    {2, 131, "Orientation", "Image Orientation", 1},
    {2, 135, "LangID", "Language ID", 3},
    {8, 10, "Subfile", "Subfile", 2},
};
static_assert(std::size(kIptcRows) == 49);

const std::vector<TTagEntry>& Table() {
  static const std::vector<TTagEntry> rows = [] {
    std::vector<TTagEntry> v;
    for (const TIptcRow& r : kIptcRows) {
      TTagEntry e;
      e.RecordNumber = r.record;
      e.Tag = r.dataset;
      e.Name = r.name;
      e.Description = r.description;
      e.ByteCount = r.maxLength;
      v.push_back(std::move(e));
    }
    return v;
  }();
  return rows;
}

const TTagEntry* RowByName(std::string_view name) {
  for (const TTagEntry& r : Table())
    if (SameTextAscii(r.Name, name)) return &r;
  return nullptr;
}

// A comma text as the original string list reads it: items separated by
// commas or by characters up to the space, a double-quoted item holding its
// text with doubled quotes for one; a zero character ends the text.
std::vector<std::string> SplitCommaText(std::string_view s) {
  std::vector<std::string> items;
  size_t p = 0;
  auto blank = [&](size_t i) { return i < s.size() && s[i] != 0 && uint8_t(s[i]) <= ' '; };
  auto end = [&](size_t i) { return i >= s.size() || s[i] == 0; };
  while (blank(p)) ++p;
  while (!end(p)) {
    std::string item;
    if (s[p] == '"') {
      ++p;
      while (!end(p)) {
        if (s[p] == '"') {
          if (p + 1 < s.size() && s[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += s[p++];
      }
    } else {
      const size_t from = p;
      while (!end(p) && uint8_t(s[p]) > ' ' && s[p] != ',') ++p;
      item.assign(s.substr(from, p - from));
    }
    items.push_back(std::move(item));
    while (blank(p)) ++p;
    if (!end(p) && s[p] == ',') {
      if (end(p + 1)) items.emplace_back();
      do ++p; while (blank(p));
    }
  }
  return items;
}

std::string TrimText(std::string_view s) {
  while (!s.empty() && uint8_t(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && uint8_t(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

std::string CommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    const std::string& s = items[i];
    const bool quote = std::any_of(s.begin(), s.end(), [](char c) {
      return uint8_t(c) <= ' ' || c == '"' || c == ',';
    });
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

}  // namespace

std::span<const TTagEntry> IptcTagTable() { return Table(); }

bool IsRepeatableDataset(unsigned dataset) { return dataset == 20 || dataset == 25; }

std::string JoinIptcValues(std::string_view oldText, std::string_view newText) {
  std::vector<std::string> items = SplitCommaText(oldText);
  for (const std::string& raw : SplitCommaText(newText)) {
    std::string item = TrimText(raw);
    const bool present = std::any_of(items.begin(), items.end(),
                                     [&](const std::string& s) { return SameTextAscii(s, item); });
    if (!present) items.push_back(std::move(item));
  }
  return CommaText(items);
}

int TIPTCdata::FindIptcTag(std::string_view name) const {
  for (size_t i = 0; i < Entries.size(); ++i)
    if (SameTextAscii(Entries[i].Name, name)) return int(i);
  return -1;
}

void TIPTCdata::RemoveIptcTag(std::string_view name) {
  const int i = FindIptcTag(name);
  if (i >= 0) Entries.erase(Entries.begin() + i);
}

int TIPTCdata::SetIptcTag(std::string_view name, std::string_view value) {
  const int i = FindIptcTag(name);
  if (i >= 0) {
    if (!value.empty()) Entries[size_t(i)].ValueText = value;
    return i;
  }
  const TTagEntry* row = RowByName(name);
  if (!row) return -1;
  TTagEntry e = *row;
  e.ValueText = value;
  Entries.push_back(std::move(e));
  return EntryCount() - 1;
}

int TIPTCdata::AppendIptcTag(std::string_view name, std::string_view value) {
  const int i = FindIptcTag(name);
  if (i < 0) return SetIptcTag(name, JoinIptcValues({}, value));
  if (!value.empty()) Entries[size_t(i)].ValueText = JoinIptcValues(Entries[size_t(i)].ValueText, value);
  return i;
}

int TIPTCdata::AddIptcValue(std::string_view name, std::string_view value) {
  const TTagEntry* row = RowByName(name);
  if (!row) return -1;
  return IsRepeatableDataset(row->Tag) ? AppendIptcTag(name, value) : SetIptcTag(name, value);
}

std::string TIPTCdata::IptcTagValue(std::string_view name, std::string_view defaultValue) const {
  const int i = FindIptcTag(name);
  return i < 0 ? std::string(defaultValue) : Entries[size_t(i)].ValueText;
}

TTagEntry TIPTCdata::Entry(int index) const {
  return index >= 0 && index < EntryCount() ? Entries[size_t(index)] : TTagEntry{};
}

int TIPTCdata::AddIptcEntry(const TTagEntry& entry) {
  if (entry.Tag != 0) Entries.push_back(entry);
  return EntryCount() - 1;
}

bool TIPTCdata::ReadIptcFile(const std::string& path) {
  Clear();
  if (!Owner) return false;
  Owner->LoadImageMetadata(path);
  return ReadLoadedIptc();
}

bool TIPTCdata::ReadLoadedIptc() {
  Clear();
  if (!Owner || !Owner->IptcSection) return false;
  ReadIptcBlock(Owner->IptcSection->Bytes);
  return EntryCount() > 0;
}

void TIPTCdata::ReadIptcBlock(std::string_view block) {
  Clear();
  const size_t n = block.size();
  // The datasets start at the first 0x1C followed by record 2 or 8 after
  // the "Photoshop 3.0" signature (or after byte 12 when it is absent).
  const size_t sig = block.find("Photoshop 3.0");
  size_t i = sig == std::string_view::npos ? 12 : sig + 13;
  for (; i + 1 < n; ++i)
    if (uint8_t(block[i]) == 0x1C && (block[i + 1] == 2 || block[i + 1] == 8)) break;
  if (i + 1 >= n) return;

  size_t pos = i + 1;  // the byte after the 0x1C marker
  for (int datasets = 0; pos + 3 < n && datasets < kMaxDatasets; ++datasets) {
    const uint8_t record = uint8_t(block[pos]);
    const uint8_t dataset = uint8_t(block[pos + 1]);
    const size_t length = size_t(uint8_t(block[pos + 2])) * 256 + uint8_t(block[pos + 3]);
    pos += 4;
    const std::string_view value = block.substr(std::min(pos, n), length);  // clamped to the block
    TTagEntry e;
    if (record == 2 || record == 8) {
      const auto& rows = Table();
      auto row = std::find_if(rows.begin(), rows.end(), [&](const TTagEntry& r) {
        return r.Tag == dataset && r.RecordNumber == record;
      });
      if (row != rows.end() && row->Name != "SKIP") {
        e = *row;
      } else {
        e.Name = "Custom_" + std::to_string(dataset);
        e.Description = e.Name;
        e.Tag = dataset;
        e.RecordNumber = record;
        e.ByteCount = 64;
      }
      e.ValueText = value;
    }
    if (IsRepeatableDataset(e.Tag)) AppendIptcTag(e.Name, e.ValueText);
    else AddIptcEntry(e);
    pos += length + 1;  // the next marker byte is skipped unread
  }
}

}  // namespace qv::media
