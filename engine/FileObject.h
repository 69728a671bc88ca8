// The file model: one TFileObject per listed file, and TFileListing, the
// ordered list of one folder's files (files are addressed by their 0-based
// index in list order everywhere). The scan itself goes through an
// IFolderReader; sorting is done on keys computed once per scan.
// Tested by tests/engine/FileListing_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "engine/FolderReader.h"

namespace qv::engine {

struct TFileObject {
  // cp1252 form of the long name (lossy characters as "?" when NameIsLossy).
  std::string FileName;
  std::string NewName;
  std::string ShortName;  // 8.3 name, or FileName when the system gives none
  std::string TypeName;   // shell's type name, at most 80 characters
  // Local date-times as shown (2-second resolution, kInvalidFileDateTime
  // outside 1980..2107).
  TDateTime Created = 0.0;
  TDateTime Modified = 0.0;
  TDateTime Accessed = 0.0;
  int64_t Size = 0;
  int32_t ImageIndex = -1;  // system small-icon index, -1 until fetched
  uint32_t Attributes = 0;
  uint8_t Status = 0;       // 1 when the last rename run renamed this file

  // Exact data kept from the scan, for every later file operation and undo.
  std::u16string WideName;   // the exact UTF-16 name
  bool NameIsLossy = false;  // WideName has characters cp1252 cannot hold
  int64_t CreatedRaw = 0;    // UTC file times, full precision
  int64_t ModifiedRaw = 0;
  int64_t AccessedRaw = 0;
};

// Scan attribute masks: read-only, volume and archive; with the
// "Attribut Full" option also hidden and system.
// The scanned files, in blocks of fixed size: a large folder grows without
// moving the files read so far, and never holds two copies of its list at
// once (a doubling vector peaks at three times the list's size).
class TFileStore {
public:
  size_t size() const { return m_size; }
  TFileObject& operator[](size_t i) { return m_blocks[i >> kBlockBits][i & kBlockMask]; }
  const TFileObject& operator[](size_t i) const { return m_blocks[i >> kBlockBits][i & kBlockMask]; }
  void push_back(TFileObject&& f) {
    if ((m_size & kBlockMask) == 0) {
      m_blocks.emplace_back();
      m_blocks.back().reserve(size_t{1} << kBlockBits);
    }
    m_blocks.back().push_back(std::move(f));
    ++m_size;
  }
  void clear() {
    m_blocks.clear();
    m_size = 0;
  }

private:
  static constexpr unsigned kBlockBits = 10;
  static constexpr size_t kBlockMask = (size_t{1} << kBlockBits) - 1;
  std::vector<std::vector<TFileObject>> m_blocks;
  size_t m_size = 0;
};

inline constexpr uint32_t kScanAttributes = 41;
inline constexpr uint32_t kScanAttributesFull = 47;

class TFileListing {
public:
  TFileListing();
  ~TFileListing();
  TFileListing(const TFileListing&) = delete;
  TFileListing& operator=(const TFileListing&) = delete;

  // The system side of scans; the listing does not own it. Without one a
  // scan lists nothing.
  void SetFolderReader(IFolderReader* reader) { m_reader = reader; }
  // Time zone for the shown date-times (UTC when not set).
  void SetTimeZone(TTimeZone zone);

  // Lists the files of folder that pass the mask list, in directory order;
  // returns their count (0 when the folder cannot be searched).
  size_t ScanFolder(const std::string& folder, const std::string& maskText, uint32_t attributes);
  // Same, for a folder path that cp1252 cannot hold.
  size_t ScanFolderWide(const std::u16string& folder, const std::string& maskText, uint32_t attributes);
  // Sorts on key 1..9 (high bit ignored; other keys keep the order).
  void SortFiles(uint8_t key, bool ascending);
  void ClearFiles();

  size_t Count() const { return m_order.size(); }
  TFileObject& Item(size_t i) { return m_files[m_order[i]]; }
  const TFileObject& Item(size_t i) const { return m_files[m_order[i]]; }
  TFileObject& operator[](size_t i) { return Item(i); }
  const TFileObject& operator[](size_t i) const { return Item(i); }

  // Out-of-range indexes give 0 / empty text / false.
  uint8_t GetStatus(size_t i) const;
  void SetStatus(size_t i, uint8_t value);
  std::string GetFileName(size_t i) const;
  std::string GetNewName(size_t i) const;
  bool SetNewName(size_t i, const std::string& text);

  std::string FolderPath;         // folder of the last scan, as given
  std::u16string WideFolderPath;  // the same, exact
  int64_t TotalSize = 0;
  uint8_t SortKey = 1;

private:
  struct Keys;
  void Reset();
  const std::vector<std::string>& KeysFor(uint8_t key);

  IFolderReader* m_reader = nullptr;
  TTimeZone m_zone;
  TFileStore m_files;                 // scan order
  std::vector<uint32_t> m_order;      // list order: indexes into m_files
  std::unique_ptr<Keys> m_keys;       // collation keys, per scan
};

}  // namespace qv::engine
