// TIPTCdata: the IPTC datasets of a JPEG's APP13 section (the Photoshop
// resource block) as TTagEntry records, with find, set, append, remove and
// value operations by dataset name. The reader creates one for the first
// APP13 section of a JPEG; its datasets are parsed only on request
// (ReadIptcBlock, ReadIptcFile). Reads stay inside the block.
// Tested by tests/media/Iptc_test.cpp.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "media/TagEntry.h"

namespace qv::media {

class TimgData;

// The 49 known datasets: record, dataset number, name, description and the
// dataset's maximum length (in ByteCount). "SKIP" rows are never stored.
std::span<const TTagEntry> IptcTagTable();

// Datasets whose values accumulate (SuppCategory 20, Keywords 25).
bool IsRepeatableDataset(unsigned dataset);

// Both texts read as comma texts (items separated by commas or spaces
// outside double quotes); the new items not already there (ASCII case
// ignored) are added; the result is written back as a comma text.
std::string JoinIptcValues(std::string_view oldText, std::string_view newText);

class TIPTCdata {
public:
  // More datasets than any real block holds; the rest are ignored.
  static constexpr int kMaxDatasets = 2000;

  explicit TIPTCdata(TimgData* owner) : Owner(owner) {}
  virtual ~TIPTCdata() = default;
  TIPTCdata(const TIPTCdata&) = delete;
  TIPTCdata& operator=(const TIPTCdata&) = delete;

  virtual int FindIptcTag(std::string_view name) const;
  virtual void RemoveIptcTag(std::string_view name);
  virtual int SetIptcTag(std::string_view name, std::string_view value);
  virtual int AppendIptcTag(std::string_view name, std::string_view value);
  virtual int AddIptcValue(std::string_view name, std::string_view value);
  virtual std::string IptcTagValue(std::string_view name, std::string_view defaultValue) const;
  // Has the owner load the file, then parses its IPTC section into this
  // object (the owner keeps its IPTC object alive across loads, so this is
  // safe when this object is the owner's own). True when a dataset was found.
  virtual bool ReadIptcFile(const std::string& path);
  // Parses the IPTC section of the owner's last load into this object; true
  // when a dataset was found. (UTF-16 paths: media/win32/ImgDataFile.h.)
  bool ReadLoadedIptc();

  int EntryCount() const { return int(Entries.size()); }
  TTagEntry Entry(int index) const;  // empty entry outside the list
  int AddIptcEntry(const TTagEntry& entry);
  void Clear() { Entries.clear(); }
  // Parses an APP13 section (its bytes from the length field on).
  void ReadIptcBlock(std::string_view block);

  TimgData* Owner = nullptr;
  std::vector<TTagEntry> Entries;
};

}  // namespace qv::media
