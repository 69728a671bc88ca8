// TImageInfo: the EXIF directory walker. It reads the image file directories
// of one TIFF block (the body of a JPEG APP1 section, or a TIFF/NEF file),
// follows the EXIF, interoperability, sub-image and GPS directories, hands
// the maker note to TmsInfo and keeps one TTagEntry per known tag, with a
// value text ready for a file name.
//
//   TImageInfo* info = reader.ExifInfo();          // after LoadImageMetadata
//   std::string v = FindExifEntry(*info, "Model").ValueText;
//
// The block is read through a bounds-checked window of a byte source (TIFF
// offset 0 = the TIFF header); nothing outside it is ever read, and each
// directory is walked once per image. Walks are capped in depth, directory
// count, stored entries and raw bytes, so crafted files cannot recurse deeply
// or eat memory. Not reentrant; one per reader, reused for every file.
// Tested by tests/media/ExifWalker_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "media/ByteSource.h"
#include "media/MakerNote.h"
#include "media/TagEntry.h"
#include "media/TagTables.h"

namespace qv::media {

class TimgData;

// Byte-order state and the block being read, shared by the readers. The
// block is a window [start, start + length) of a byte source; positions
// given to the readers are offsets inside that window.
class tEndInd {
public:
  bool BigEndian = false;

  ByteOrder Order() const { return BigEndian ? ByteOrder::Big : ByteOrder::Little; }
  void SetBlock(TByteSource* source, uint64_t start, uint64_t length);
  void ClearBlock() { SetBlock(nullptr, 0, 0); }
  uint64_t BlockLength() const { return m_length; }
  // True when [pos, pos + n) lies inside the block (cannot wrap).
  bool BlockContains(uint64_t pos, uint64_t n) const { return pos <= m_length && n <= m_length - pos; }

  // False (value untouched) outside the block.
  bool Read16(uint64_t pos, uint16_t& v);
  bool Read32(uint64_t pos, uint32_t& v);
  // Up to n bytes from pos (fewer when the block ends first, none outside).
  bool ReadUpTo(uint64_t pos, uint64_t n, std::string& out);

protected:
  TByteSource* m_source = nullptr;
  uint64_t m_start = 0;
  uint64_t m_length = 0;
};

class TImageInfo : public tEndInd {
public:
  // Limits against crafted files (real cameras stay far below them).
  static constexpr int kMaxDepth = 8;
  static constexpr int kMaxDirectories = 64;
  static constexpr size_t kMaxEntries = 4096;
  static constexpr uint64_t kMaxValueBytes = 256000;    // one value, as the TIFF block held
  static constexpr uint64_t kMaxRawBytes = 4u << 20;    // all values of one image

  TImageInfo(TimgData* owner, int buildSetting);
  virtual ~TImageInfo() = default;
  TImageInfo(const TImageInfo&) = delete;
  TImageInfo& operator=(const TImageInfo&) = delete;

  // Empties the list and the per-image state, so one object serves each file.
  void Reset(bool tiffFlag, int32_t blockBase);

  // Walks the directory whose entry count lies at TIFF offset `start`.
  void WalkIfd(uint32_t start, TIfdKind kind) { WalkIfdAt(start, kind, 0); }

  // Appends a copy when the entry's Tag is not 0 (and the list is not full);
  // returns EntryCount() - 1.
  int AddEntry(TTagEntry entry);
  int EntryCount() const { return int(Entries.size()); }

  double NumericValueByName(std::string_view name) const;
  void FocalLength35Summary();

  // Index of the first entry whose Name equals `name` (ASCII case ignored),
  // in storage order; -1 when none.
  virtual int FindTagIndex(std::string_view name) const;
  virtual std::string TagValueByName(std::string_view name) const;

  void SetOwnerStatus(std::string_view text);

  std::vector<TTagEntry> Entries;
  TimgData* Owner = nullptr;
  std::string ExifVersion;   // raw bytes of tag 0x9000, at most 6
  std::string CameraMake;    // at most 32 characters
  std::string CameraModel;   // at most 40 characters
  int32_t PixelHeight = 0;
  int32_t PixelWidth = 0;
  int BuildSetting = 255;
  std::string MakerNoteRaw;
  bool TiffFlag = false;
  int32_t MakerNotePos = 0;      // block position of the note (TIFF offset + BlockBase)
  uint32_t MakerNoteOffset = 0;  // TIFF offset of the note's first byte
  int32_t BlockBase = 0;         // block position of TIFF offset 0: 9 in JPEG, -7 in TIFF

  // Raw bytes still allowed for this image (shared with the maker-note walk).
  uint64_t RawBudget = kMaxRawBytes;

  // Maker-note walk (MakerNote.cpp): the note's directory read with the
  // layout of its make into entries of this list. Offsets that leave the note
  // are resolved in the TIFF block; what lies outside both reads as empty.
  void DecodeMakerNote();
  // Walks the maker note (MakerNoteRaw) with the given layout.
  void WalkMakerNote(const TMakerLayout& layout);

private:
  void WalkIfdAt(uint32_t start, TIfdKind kind, int depth);

  std::unordered_set<uint32_t> m_visited;
  int m_directories = 0;
};

// A copy of the entry of that name in the image's list, or the empty entry.
TTagEntry FindExifEntry(const TImageInfo& info, std::string_view name);

}  // namespace qv::media
